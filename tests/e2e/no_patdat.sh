#!/usr/bin/env bash
# The start-up without any PATDAT folder: the program and the driver are copied to
# drive C: of the test prefix, and the drives that could hold a PATDAT folder (Z: is the
# whole Linux file system, with the build's own PATDAT in it) are hidden for the run.
#   no_patdat.sh WINE_RUN PREFIX PROGRAM.exe DRIVER.exe
set -euo pipefail
wine_run=$1 prefix=$(realpath -m "$2") program=$3 driver=$4
"$wine_run" "$prefix" cmd /c exit 0 >/dev/null 2>&1 || true   # the prefix exists
folder="$prefix/drive_c/pel-no-patdat"
rm -rf "$folder"
mkdir -p "$folder"
cp "$program" "$driver" "$folder/"
hidden=()
restore() {
  for link in "${hidden[@]}"; do mv -T "$link.off" "$link"; done
  rm -rf "$folder"
}
trap restore EXIT
for drive in z t u; do
  link="$prefix/dosdevices/$drive:"
  if [ -L "$link" ]; then mv -T "$link" "$link.off"; hidden+=("$link"); fi
done
PEL_WINE_NO_TEST_DRIVES=1 "$wine_run" "$prefix" 'C:\pel-no-patdat\'"$(basename "$driver")" --gtest_filter='NoPatdat.*'
