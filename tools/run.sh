#!/usr/bin/env bash
# Installs what is needed, builds folianto.exe (and, on Linux, the bridge to Debian's pdftk) and
# starts it under Wine. Without an X display it does the program's main job on a private virtual
# display instead (tools/demo.sh): picks, orders and joins three files, and says where the joined
# PDF and the screenshots of every step are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display to show the window on: running the demo on a private virtual display" \
    "(installing and building first takes a few minutes the first time)."
  exec "$root/tools/demo.sh"
fi
"$root/tools/build-windows.sh" folianto pdftk_bridge
exec "$root/tools/wine-run.sh" "$build/windows" "$build/windows/bin/folianto.exe"
