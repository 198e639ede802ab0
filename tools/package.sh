#!/usr/bin/env bash
# Builds the release archive for Windows users: folianto-VERSION-win64.zip with folianto.exe,
# HAND-M.CUR, LICENSE and README.txt, in the Windows build folder. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/windows" -j"$(nproc)" --target package
