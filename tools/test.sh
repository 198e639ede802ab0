#!/usr/bin/env bash
# Builds everything and runs every test: the portable logic natively under AddressSanitizer and
# UBSan, then the Windows build under Wine on a private Xvfb display (no display needed).
# FOLIANTO_BUILD_DIR chooses the build folder (default: build/ in the source tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FOLIANTO_BUILD_DIR:-$root/build}
jobs=$(nproc)

"$root/tools/install-deps.sh"

echo "== Native build and tests"
cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build/native" -j"$jobs"
(cd "$build/native" && ctest --output-on-failure -j"$jobs")

echo "== Windows build and tests under Wine"
cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake"
cmake --build "$build/windows" -j"$jobs"

echo "== The same Windows build with clang (compiled warning-free, not run)"
cmake -S "$root" -B "$build/windows-clang" -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/clang-mingw-w64-x86_64.cmake"
cmake --build "$build/windows-clang" -j"$jobs"

. "$root/tools/xvfb.sh"
start_private_display
# A Wine server left from an earlier run would keep its desktop on that run's display.
WINEPREFIX="$build/windows/wineprefix" wineserver -k 2>/dev/null || true
# One at a time: the window tests share the display's pointer and keyboard focus.
(cd "$build/windows" && ctest --output-on-failure)
