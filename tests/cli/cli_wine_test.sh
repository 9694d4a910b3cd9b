#!/usr/bin/env bash
# pelmora2liq-cli.exe under Wine: converts a sample byte for byte as the window does, and
# writes its Japanese finding into a file in the code page its reader expects: the
# console's output code page when it runs on a console (one that "start" opens, its code
# page set with chcp), else the ANSI code page of the locale (932 for ja_JP, 1252 for C);
# UTF-8 with --utf8. Line ends stay LF, and there is no byte-order mark.
#   cli_wine_test.sh WINE_RUN PREFIX CLI.exe EXAMPLES EXPECTED_B1
set -euo pipefail
wine_run=$1 prefix=$2 cli=$3 examples=$4 expected=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
windows() { printf 'Z:%s' "${1//\//\\}"; }

finding='X5.txt:7: 警告: X5 の値が空欄のため、0 として出力しました。'
# The same line in a code page without Japanese (1252, 437): one "?" a character.
unshown='X5.txt:7: ??: X5 ?????????0 ??????????'

# Converts B-1, standard output into $work/stdout; with a console code page, on a new
# console through a batch file, else with no console at all. Sets $status.
convert() {  # LOCALE CONSOLE_CODE_PAGE|- [OPTION...]
  local locale=$1 console=$2
  shift 2
  rm -rf "$work/out" "$work/stdout"
  local args=(convert "$@" "$(windows "$examples/B-1")" "$(windows "$work/out/b1")")
  status=0
  if [ "$console" = - ]; then
    LANG=$locale LC_ALL=$locale "$wine_run" "$prefix" "$cli" "${args[@]}" \
      > "$work/stdout" 2> "$work/stderr" < /dev/null || status=$?
  else
    {
      printf '@echo off\nchcp %s > nul\n"%s"' "$console" "$(windows "$cli")"
      printf ' "%s"' "${args[@]}"
      printf ' > "%s"\nexit /b %%errorlevel%%\n' "$(windows "$work/stdout")"
    } > "$work/run.cmd"
    LANG=$locale LC_ALL=$locale "$wine_run" "$prefix" start /wait cmd /c "$(windows "$work/run.cmd")" \
      > "$work/stderr" 2>&1 < /dev/null || status=$?
  fi
}

# locale      console  option  the finding arrives as
cases='
ja_JP.UTF-8   -        -       cp932
ja_JP.UTF-8   -        --utf8  utf8
C             -        -       unshown
C             -        --utf8  utf8
C             932      -       cp932
ja_JP.UTF-8   437      -       unshown
ja_JP.UTF-8   65001    -       utf8
ja_JP.UTF-8   437      --utf8  utf8
'
while read -r locale console option arrives; do
  [ -n "$locale" ] || continue
  name="$locale, console ${console/-/none}, option $option"
  options=()
  [ "$option" = - ] || options+=("$option")
  convert "$locale" "$console" "${options[@]}"
  [ "$status" -eq 1 ] || { echo "$name: exit $status, expected 1 (a warning)"; cat "$work/stderr"; exit 1; }
  cmp "$work/out/b1.txt" "$expected"
  case $arrives in
    cp932) text=$(iconv -f CP932 -t UTF-8 "$work/stdout" 2>&1 || true) line=$finding ;;
    utf8) text=$(cat "$work/stdout" 2>&1 || true) line=$finding ;;
    unshown) text=$(cat "$work/stdout" 2>&1 || true) line=$unshown ;;
  esac
  grep -qxF -- "$(windows "$examples/B-1")\\$line" <<< "$text" \
    || { echo "$name: the finding did not arrive as $arrives:"; od -c "$work/stdout" | head; exit 1; }
  if grep -q $'\r' "$work/stdout"; then echo "$name: CR in the output"; exit 1; fi
  if head -c 3 "$work/stdout" | grep -q $'\xEF\xBB\xBF'; then echo "$name: byte-order mark"; exit 1; fi
  echo "$name: converted B-1 byte for byte; the finding arrived as $arrives"
done <<< "$cases"

# With standard output closed every write fails: the conversion still ends, with its code.
status=0
LANG=C LC_ALL=C "$wine_run" "$prefix" "$cli" convert "$(windows "$examples/B-1")" "$(windows "$work/closed/b1")" \
  >&- 2> "$work/stderr" < /dev/null || status=$?
[ "$status" -eq 1 ] || { echo "stdout closed: exit $status, expected 1"; cat "$work/stderr"; exit 1; }
cmp "$work/closed/b1.txt" "$expected"
echo "stdout closed: converted B-1, exit 1"
