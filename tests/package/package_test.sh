#!/usr/bin/env bash
# The release package as a user gets it: unpacked on the Linux side into C:\pelmora2liq of
# a Wine prefix (a path the window accepts), with a PATDAT put beside it as the
# assessment program's installation would have it. The window program starts from there
# and shows its window; the command-line program converts the sample from there.
#   package_test.sh WINE_RUN PREFIX ZIP DRIVER.exe PATDAT EXPECTED_B1
set -euo pipefail
wine_run=$1 prefix=$(realpath -m "$2") zip=$3 driver=$4 patdat=$5 expected=$6

# What the zip holds: ASCII names without the UTF-8 flag, no top folder, no PATDAT.
python3 - "$zip" <<'PY'
import sys, zipfile
names = []
with zipfile.ZipFile(sys.argv[1]) as z:
    for info in z.infolist():
        assert not info.flag_bits & 0x800, "UTF-8 name flag on " + info.filename
        info.filename.encode("ascii")
        names.append(info.filename)
wanted = {"pelmora2liq.exe", "pelmora2liq-cli.exe", "manual.html", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt",
          "B-1/X1.txt", "B-1/X5.txt", "B-1/X100.txt", "B-1/titl01.txt"}
assert wanted <= set(names), wanted - set(names)
assert not any(n.upper().startswith("PATDAT") or "/PATDAT" in n.upper() for n in names), names
assert all("/" not in n or n.startswith("B-1/") for n in names), names
assert any(n.endswith(".png") for n in names), names
print("zip: %d entries" % len(names))
PY

"$wine_run" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true   # the prefix exists
home="$prefix/drive_c/pelmora2liq"
rm -rf "$home"
mkdir -p "$home"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$home"
cp -r "$patdat" "$home/PATDAT"
trap 'rm -rf "$home"' EXIT

PEL_PACKAGE_PROGRAM='C:\pelmora2liq\pelmora2liq.exe' "$wine_run" "$prefix" "$driver" \
  --gtest_filter='Package.*' --gtest_brief=1 >"$home.log" 2>&1 || { cat "$home.log"; exit 1; }
grep -q '1 test' "$home.log" && ! grep -q 'SKIPPED\|FAILED' "$home.log" || { cat "$home.log"; exit 1; }

status=0
"$wine_run" "$prefix" 'C:\pelmora2liq\pelmora2liq-cli.exe' convert 'C:\pelmora2liq\B-1' 'C:\pelmora2liq\out\b1' \
  >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "pelmora2liq-cli.exe: exit $status, expected 1 (one warning)"; exit 1; }
cmp "$home/out/b1.txt" "$expected"
rm -f "$home.log"
echo "the unpacked package starts its window and converts B-1 byte for byte"
