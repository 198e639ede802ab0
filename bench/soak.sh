#!/usr/bin/env bash
# Soak: ROUNDS rounds (200 unless given) of "Add All PDF File(s) In Folder" on a small tree, the
# list cleared, and a join of three small PDF files by "Join!" through the pdftk bridge, all
# through Form1's real handlers. Prints the process's handle and object counts after the first 10
# rounds and after the last; --check makes a grown count a failure. Needs a display.
# Usage: bench/soak.sh WINDOWS_BUILD_DIR [ROUNDS] [--check]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
rounds=${2:-200}
check=${3:-}

work=$build/soak
rm -rf "$work"
mkdir -p "$work/output"
/usr/bin/python3 -B "$root/tests/e2e/samplepdf.py" "$work" tree/a.pdf tree/sub/b.pdf \
  tree/sub/deeper/c.pdf tree/other/d.pdf inputs/one.pdf inputs/two.pdf inputs/three.pdf
winPath() { echo "Z:${1//\//\\}"; }
exec "$root/tools/wine-run.sh" "$build" "$build/bin/bench_soak.exe" "$rounds" \
  "$(winPath "$work/tree")" "$(winPath "$work/output")" "$(winPath "$work/inputs")\\one.pdf" \
  "$(winPath "$work/inputs")\\two.pdf" "$(winPath "$work/inputs")\\three.pdf" $check
