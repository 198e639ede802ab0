#!/usr/bin/env bash
# Installs what is needed and builds the given targets of the Windows build (Release, mingw-w64)
# in build/windows of the clone (FOLIANTO_BUILD_DIR chooses another build folder).
# Usage: build-windows.sh TARGET...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/windows" -j"$(nproc)" --target "$@"
