#!/usr/bin/env bash
# pelmora2liq-cli.exe under Wine: converts a sample byte for byte as the window does, and
# prints its Japanese findings through a pipe as UTF-8 with LF line ends.
#   cli_wine_test.sh WINE_RUN PREFIX CLI.exe EXAMPLES EXPECTED_B1
set -euo pipefail
wine_run=$1 prefix=$2 cli=$3 examples=$4 expected=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
windows() { printf 'Z:%s' "${1//\//\\}"; }

status=0
"$wine_run" "$prefix" "$cli" convert "$(windows "$examples/B-1")" "$(windows "$work/out/b1")" \
  > "$work/stdout" 2> "$work/stderr" || status=$?
[ "$status" -eq 1 ] || { echo "exit $status, expected 1 (a warning)"; cat "$work/stderr"; exit 1; }
cmp "$work/out/b1.txt" "$expected"
grep -q 'X5.txt:7: 警告: X5 の値「」は正の数ではないため、0 として出力しました。$' "$work/stdout" \
  || { echo "no UTF-8 finding on the output stream:"; od -c "$work/stdout" | head; exit 1; }
if grep -q $'\r' "$work/stdout"; then echo "CR in the output"; exit 1; fi
if head -c 3 "$work/stdout" | grep -q $'\xEF\xBB\xBF'; then echo "byte-order mark"; exit 1; fi
echo "converted B-1 byte for byte; the finding arrived as UTF-8"
