#!/usr/bin/env bash
# Takes the README's picture of the main window from a real run on a private Xvfb display.
# Usage: tools/screenshot.sh [OUTPUT.png]   (default docs/main-window.png; builds first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}
output=${1:-$root/docs/main-window.png}

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/windows" -j"$(nproc)" --target folianto >/dev/null

. "$root/tools/xvfb.sh"
start_private_display
"$root/tools/wine-run.sh" "$build/windows" "$build/windows/bin/folianto.exe" &
program=$!

window=
for _ in $(seq 150); do
  window=$(xdotool search --onlyvisible --name '^Folianto$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "The Folianto window did not appear" >&2; exit 1; }

# Keep the pointer (and the list's tooltip) out of the picture, and let the window paint.
xdotool mousemove 0 0
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
mkdir -p "$(dirname "$output")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
echo "Saved $output (${WIDTH}x${HEIGHT})"

kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
