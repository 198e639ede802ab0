#!/usr/bin/env bash
# Times "Add All PDF File(s) In Folder" on a generated tree of about 2,000 folders and 100,000
# files (one in ten a PDF, some hidden, some "~" lock files) against `find TREE -name '*.pdf'` on
# the same tree, best of several runs each, and prints both times and their ratio.
# The tree is generated once and kept. FOLIANTO_BUILD_DIR chooses the build folder (default:
# build/ in the source tree); the benchmark builds and keeps its tree in bench/ under it.
# Usage: bench/folder-walk.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${FOLIANTO_BUILD_DIR:-$root/build}/bench
runs=${1:-5}

"$root/tools/install-deps.sh"

echo "== Building the benchmark"
cmake -S "$root" -B "$work/windows" -DCMAKE_BUILD_TYPE=Release -DFOLIANTO_BUILD_TESTS=OFF \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$work/windows" --target folder_walk_bench -j"$(nproc)" >/dev/null

# Four levels below the root: 8, 64, 384 and 1,536 folders; 100,000 files dealt out among all
# 1,993. Names beginning with a dot are hidden under Wine; one folder in 40 is hidden.
tree=$work/tree
shape="levels 8 8 6 4; files 100000; v1"
if [ "$(cat "$tree/.shape" 2>/dev/null)" != "$shape" ]; then
  echo "== Generating the tree in $tree"
  rm -rf "$tree"
  mkdir -p "$tree"
  (
    cd "$tree"
    awk 'BEGIN {
      split("8 8 6 4", fan, " ")
      n = 1; folder[1] = "."; start = 1
      for (level = 1; level <= 4; ++level) {
        end = n
        for (p = start; p <= end; ++p)
          for (c = 1; c <= fan[level]; ++c) {
            name = sprintf("folder-%d-%d", level, c)
            if ((n + 1) % 40 == 0) name = "." name
            folder[++n] = folder[p] "/" name
            print folder[n] > "folders.list"
          }
        start = end + 1
      }
      for (f = 0; f < 100000; ++f) {
        d = folder[f % n + 1]
        if (f % 10 == 0) {
          name = sprintf("report-%06d.pdf", f)
          if (f % 200 == 0) name = sprintf("~$report-%06d.pdf", f)
          else if (f % 130 == 0) name = sprintf(".hidden-%06d.pdf", f)
          else if (f % 30 == 0) name = sprintf("Scan-%06d.PDF", f)
        } else {
          split("txt docx jpg png xlsx pdf.bak odt zip csv", ext, " ")
          name = sprintf("file-%06d.%s", f, ext[f % 9 + 1])
        }
        print d "/" name > "files.list"
      }
    }'
    tr '\n' '\0' <folders.list | xargs -0 mkdir -p
    tr '\n' '\0' <files.list | xargs -0 touch
    rm folders.list files.list
  )
  echo "$shape" >"$tree/.shape"
fi
echo "tree: $(find "$tree" -type d | wc -l) folders, $(find "$tree" -type f ! -name .shape | wc -l) files," \
  "$(find "$tree" -name '*.pdf' | wc -l) named *.pdf"

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.4f", b - a }'; }
best() { printf '%s\n' "$@" | sort -g | head -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== find $tree -name '*.pdf' (best of $runs)"
find "$tree" -name '*.pdf' >/dev/null  # warms the cache
findTimes=()
for _ in $(seq "$runs"); do
  start=$(now)
  find "$tree" -name '*.pdf' >/dev/null
  findTimes+=("$(since "$start")")
done
findBest=$(best "${findTimes[@]}")
# A Windows search reports every entry's attributes, so the system looks at each one; this find
# does the same.
statTimes=()
for _ in $(seq "$runs"); do
  start=$(now)
  find "$tree" -size -1G -name '*.pdf' >/dev/null
  statTimes+=("$(since "$start")")
done
statBest=$(best "${statTimes[@]}")

echo "== Folianto under Wine (best of $runs)"
. "$root/tools/xvfb.sh"
start_private_display
winTree="Z:${tree//\//\\}"
run=("$root/tools/wine-run.sh" "$work/windows" "$work/windows/bin/folder_walk_bench.exe")
output=$("${run[@]}" "$winTree" "$runs" | tr -d '\r')
echo "$output"
walkBest=$(sed -n 's/^best walk: \([0-9.]*\) s$/\1/p' <<<"$output")
clickBest=$(sed -n 's/^best walk+append: \([0-9.]*\) s$/\1/p' <<<"$output")
floorBest=$(sed -n 's/^best one bare search per folder: \([0-9.]*\) s$/\1/p' <<<"$output")
processTimes=()
for _ in $(seq 3); do
  start=$(now)
  "${run[@]}" "$winTree" once >/dev/null
  processTimes+=("$(since "$start")")
done
processBest=$(best "${processTimes[@]}")
# Wine's own processes let go of the display before it stops.
WINEPREFIX="$work/windows/wineprefix" wineserver -w

# LABEL SECONDS [NOTE], with the ratio to find.
line() {
  printf '%-52s %7.3f s   ratio %5.2f%s\n' "$1" "$2" "$(ratio "$2" "$findBest")" "${3:+   ($3)}"
}
echo
printf '%-52s %7.3f s\n' "find -name '*.pdf':" "$findBest"
line "find -size -1G -name '*.pdf' (looks at every entry):" "$statBest"
line "Folianto walk:" "$walkBest"
line "Folianto walk + append to ListView1:" "$clickBest" "goal: within 2x"
line "Under Wine, one bare search of every folder:" "$floorBest" "the least a Windows program pays"
line "Folianto whole process, one click:" "$processBest" "Wine start and window included"
