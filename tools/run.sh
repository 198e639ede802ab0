#!/usr/bin/env bash
# Installs what is needed, builds folianto.exe (and, on Linux, the bridge to Debian's pdftk) and
# starts it under Wine. Needs an X display; without one it builds, then says what works instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}

"$root/tools/build-windows.sh" folianto pdftk_bridge

if [ -z "${DISPLAY:-}" ]; then
  echo >&2
  echo "Folianto is built ($build/windows/bin/folianto.exe), but there is no X display" \
    "to show it on. Either of these works without one:" >&2
  echo "  xvfb-run -a $0     starts it on a virtual display" >&2
  echo "  $root/tools/demo.sh     shows it at work: picks, orders and joins three files," \
    "with screenshots of every step" >&2
  exit 1
fi
exec "$root/tools/wine-run.sh" "$build/windows" "$build/windows/bin/folianto.exe"
