#!/usr/bin/env bash
# Builds the release twice, from two copies of the source tree at paths of different lengths, and
# checks that folianto.exe and the archive come out the same to the byte and that the checksum
# file beside the archive holds. Each copy is a clone of the tree's commit plus its uncommitted
# changes to tracked files, so the commit's date is the release's date in both.
# Usage: reproducible.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$(cd "$1" && pwd)
work=$2
rm -rf "$work"
mkdir -p "$work"

# A folder entry comes out of the rewriter as a folder (CPack's archive holds none today).
/usr/bin/python3 - "$source/cmake/release-zip.py" "$work/folders.zip" <<'PY'
import subprocess, sys, zipfile
rewriter, archive = sys.argv[1:]
with zipfile.ZipFile(archive, "w") as made:
    made.mkdir("folianto", 0o700)
    made.writestr("folianto/README.txt", "text")
subprocess.run([sys.executable, rewriter, archive, "0"], check=True)
folder = zipfile.ZipFile(archive).getinfo("folianto/")
attributes = 0o40755 << 16 | 0x10  # a Unix folder of mode 755, and the MS-DOS folder bit
assert folder.external_attr == attributes and folder.file_size == 0, hex(folder.external_attr)
PY
git -C "$source" diff --binary HEAD >"$work/changes.patch"

copies=("$work/a" "$work/a-longer-path/b")
for copy in "${copies[@]}"; do
  git clone --quiet --shared --no-checkout "$source" "$copy"
  git -C "$copy" checkout --quiet --detach "$(git -C "$source" rev-parse HEAD)"
  [ ! -s "$work/changes.patch" ] || git -C "$copy" apply "$work/changes.patch"
  # The program alone: the package target would otherwise build the bridge and the benchmarks.
  cmake -S "$copy" -B "$copy/build" -DCMAKE_BUILD_TYPE=Release -DFOLIANTO_BUILD_TESTS=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON --toolchain "$copy/cmake/mingw-w64-x86_64.cmake"
  cmake --build "$copy/build" -j"$(nproc)" --target folianto
  cmake --build "$copy/build" --target package
done

first=${copies[0]}/build
second=${copies[1]}/build
archive=$(cd "$first" && echo folianto-*-win64.zip)
cmp "$first/bin/folianto.exe" "$second/bin/folianto.exe"
cmp "$first/$archive" "$second/$archive"
(cd "$second" && sha256sum -c "$archive.sha256")
cat "$second/$archive.sha256"
rm -rf "$work"
