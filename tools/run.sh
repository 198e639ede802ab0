#!/usr/bin/env bash
# Installs what is needed, builds folianto.exe (and, on Linux, the bridge to Debian's pdftk) and
# starts it under Wine. Needs an X display; without one: xvfb-run -a tools/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: run it as  xvfb-run -a $0  or from a desktop session." >&2
  exit 1
fi

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake"
cmake --build "$build/windows" -j"$(nproc)" --target folianto
[ -z "$(cmake --build "$build/windows" --target help | grep -w pdftk_bridge)" ] ||
  cmake --build "$build/windows" --target pdftk_bridge

exec "$root/tools/wine-run.sh" "$build/windows" "$build/windows/bin/folianto.exe"
