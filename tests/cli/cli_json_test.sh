#!/usr/bin/env bash
# The command line's JSON, read by a real JSON parser: one document on the output
# stream and nothing else there, with the stable field names.
#   cli_json_test.sh CLI EXAMPLES
set -euo pipefail
cli=$1 examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$examples" "$work/site"
rm -rf "$work/site/PATDAT"
printf '1,123456789,a,b\r\n' > "$work/site/B-3/X1.txt"   # B-3 now fails: a value too wide

status=0
"$cli" batch "$work/site" "$work/out" --json > "$work/batch.json" 2> "$work/batch.err" || status=$?
[ "$status" -eq 2 ] || { echo "batch: exit $status, expected 2"; exit 1; }
status=0
"$cli" check "$work/site/B-1" --json > "$work/check.json" || status=$?
[ "$status" -eq 1 ] || { echo "check: exit $status, expected 1"; exit 1; }

python3 - "$work/batch.json" "$work/check.json" <<'PY'
import json, sys
batch = json.load(open(sys.argv[1], encoding="utf-8"))
check = json.load(open(sys.argv[2], encoding="utf-8"))
folder_keys = {"source", "destination", "written", "error", "counts", "findings"}
finding_keys = {"kind", "severity", "file", "line", "record", "field", "row", "text", "output", "message"}
assert set(batch) >= {"folders", "summary"}, batch.keys()
assert batch["summary"] == {"folders": 4, "converted": 3, "with_warnings": 3, "failed": 1}, batch["summary"]
for folder in batch["folders"] + [check]:
    assert set(folder) == folder_keys, folder.keys()
    for f in folder["findings"]:
        assert finding_keys <= set(f) <= finding_keys | {"count"}, f.keys()
failed = [f for f in batch["folders"] if f["error"]]
assert len(failed) == 1 and failed[0]["error"]["kind"] == "value-too-wide", failed
assert failed[0]["error"]["record"] == 1 and failed[0]["error"]["field"] == 2 and failed[0]["error"]["value"] == "123456789"
assert failed[0]["written"] is False and failed[0]["destination"].endswith("B-3.txt")
assert check["destination"] is None and check["written"] is False
assert check["findings"][0]["kind"] == "x5-value-replaced" and check["findings"][0]["message"].startswith("X5 の値")
print("JSON: 2 documents, %d findings" % sum(len(f["findings"]) for f in batch["folders"]))
PY
[ ! -e "$work/out/B-3.txt" ] || { echo "B-3.txt was written"; exit 1; }

# A reader that goes away after the first line (`| head -1`): the batch stops as Ctrl+C
# stops it, with status 2, every output complete or absent, no temporary file left.
for i in $(seq 1 40); do cp -r "$work/site/B-1" "$work/site/C-$i"; done
set +o pipefail
"$cli" batch "$work/site" "$work/piped" 2> "$work/piped.err" | head -1 > /dev/null
status=${PIPESTATUS[0]}
set -o pipefail
[ "$status" -eq 2 ] || { echo "batch into a closed pipe: exit $status, expected 2"; cat "$work/piped.err"; exit 1; }
grep -q '中断しました' "$work/piped.err" || { echo "no stop message"; cat "$work/piped.err"; exit 1; }
if ls -A "$work/piped" | grep -q '^\.~pel'; then echo "a temporary file stayed"; exit 1; fi
for f in "$work/piped"/*.txt; do  # each written whole: as the first batch wrote it (C-i: as B-1)
  name=$(basename "$f"); [ -e "$work/out/$name" ] || name=B-1.txt
  cmp "$f" "$work/out/$name" || { echo "$f incomplete"; exit 1; }
done
echo "closed pipe: the batch stopped after $(ls "$work/piped" | wc -l) of 44 folders, exit 2"
