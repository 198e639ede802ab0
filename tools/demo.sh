#!/usr/bin/env bash
# A look at the program working, on a machine without a display: builds folianto.exe, the pdftk
# bridge and the test inspector, then on a private Xvfb picks three PDF files in the real open
# dialog, moves the third to the top, joins them with the real pdftk and checks the result.
# Prints where the joined PDF and the screenshots of every step are.
# FOLIANTO_BUILD_DIR chooses the build folder (default: build/ in the source tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}

"$root/tools/build-windows.sh" folianto pdftk_bridge e2e_inspector >/dev/null

status=0
"$root/tests/e2e/run-scenario.sh" "$build/windows" join_three || status=$?
shots="$build/windows/e2e/join_three"
echo
if [ "$status" -eq 0 ]; then
  echo "The demo worked."
  echo "  Joined PDF:  $shots/joined.pdf"
else
  echo "The demo failed (see the step above)."
fi
echo "  Screenshots: $shots/"
ls "$shots"/*.png 2>/dev/null | sed 's/^/    /'
exit "$status"
