#!/usr/bin/env bash
# Runs every benchmark and prints one table: each figure of Folianto beside its reference,
# measured in the same run, and their ratio (best of several runs; the machine may be shared).
# Never part of the tests. FOLIANTO_BUILD_DIR chooses the build folder (default: build/); the
# benchmarks build into bench/windows under it.
# Usage: bench/run-all.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${FOLIANTO_BUILD_DIR:-$root/build}/bench
build=$work/windows
runs=${1:-9}

"$root/tools/install-deps.sh"

echo "== Building the program and the benchmarks"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIANTO_BUILD_TESTS=OFF \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" --target folianto pdftk_bridge bench_minimal_window \
  bench_floor_window bench_startup bench_list_fill bench_join bench_join_copies bench_quick_tool \
  bench_window_answer bench_soak >/dev/null

. "$root/tools/xvfb.sh"
start_private_display
wine_run() { "$root/tools/wine-run.sh" "$build" "$@"; }
results=$(mktemp)
# The large inputs of the join by copies, and the drive that reaches them.
copies=
copiesDrive=$build/wineprefix/dosdevices/s:
removeCopies() { if [ -n "$copies" ]; then rm -rf "$copies" "$copiesDrive"; copies=; fi; }
trap 'rm -f "$results"; removeCopies; stop_private_display' EXIT

# Keeps the RESULT lines for the table, shows the rest.
collect() {
  local output
  output=$("$@")
  grep -v '^RESULT ' <<<"$output" || true
  grep '^RESULT ' <<<"$output" >>"$results" || { echo "no result from: $*" >&2; exit 1; }
}

echo "== Start-up (best of $runs)"
collect wine_run "$build/bin/bench_startup.exe" "$runs"

echo "== Join of 25 small PDF files, plain and with a bookmark for each file (best of $runs)"
inputs=$work/join-inputs
outputs=$work/join-outputs
rm -rf "$inputs" "$outputs"
mkdir -p "$inputs" "$outputs"
names=()
for i in $(seq -w 1 25); do names+=("part $i.pdf"); done
/usr/bin/python3 -B "$root/tests/e2e/samplepdf.py" "$inputs" "${names[@]}"
winPath() { local p; p=$(cd "$1" && pwd); echo "Z:${p//\//\\}"; }
joinArgs=()
for name in "${names[@]}"; do joinArgs+=("$(winPath "$inputs")\\$name"); done
collect wine_run "$build/bin/bench_join.exe" "$runs" "$(winPath "$outputs")" "${joinArgs[@]}"
for joined in "$outputs"/*.pdf; do
  pages=$(qpdf --show-npages "$joined")
  [ "$pages" -eq 25 ] || { echo "$joined has $pages pages, not 25" >&2; exit 1; }
done

echo "== Join of 25 PDF files of 10 MB by copies, and by short forms (best of $runs)"
# The inputs lie on a tmpfs, another file system than the prefix's temporary folder, where no hard
# link reaches them: the join copies each. Wine tells no short names under Z:\dev, so they are
# reached through a drive of their own.
copies=$(mktemp -d /dev/shm/folianto-bench-copies.XXXXXX)
mkdir -p "$copies/inputs" "$copies/outputs"
rm -f "$copiesDrive"
ln -s "$copies" "$copiesDrive"
copyNames=()
for i in $(seq -w 1 25); do copyNames+=("part $i.pdf"); done
/usr/bin/python3 -B "$root/tests/e2e/samplepdf.py" --image-mib 10 "$copies/inputs" "${copyNames[@]}"
copyArgs=()
for name in "${copyNames[@]}"; do copyArgs+=("S:\\inputs\\$name"); done
collect wine_run "$build/bin/bench_join_copies.exe" "$runs" 'S:\outputs' "${copyArgs[@]}"
for joined in "$copies"/outputs/*.pdf; do
  pages=$(qpdf --show-npages "$joined")
  [ "$pages" -eq 25 ] || { echo "$joined has $pages pages, not 25" >&2; exit 1; }
done
removeCopies

echo "== The window's answer while a join waits 5 s for a stand-in tool (best of 3)"
collect wine_run "$build/bin/bench_window_answer.exe" 3 "$(winPath "$outputs")" "${joinArgs[0]}"

echo "== List fill of 10,000 entries and the peak working set"
collect wine_run "$build/bin/bench_list_fill.exe" 3

walk="-"
if [ -x "$root/bench/folder-walk.sh" ]; then
  echo "== Folder walk"
  walkLog=$(mktemp)
  "$root/bench/folder-walk.sh" 3 | tee "$walkLog"
  walkOutput=$(cat "$walkLog")
  rm -f "$walkLog"
  findBest=$(sed -n "s/^find -name '\*.pdf': *\([0-9.]*\) s.*/\1/p" <<<"$walkOutput")
  walkBest=$(sed -n 's/^Folianto walk + append to ListView1: *\([0-9.]*\) s.*/\1/p' <<<"$walkOutput")
  floorBest=$(sed -n 's/^Under Wine, one bare search of every folder: *\([0-9.]*\) s.*/\1/p' <<<"$walkOutput")
  if [ -n "$findBest" ] && [ -n "$walkBest" ] && [ -n "$floorBest" ]; then
    awk -v f="$walkBest" -v r="$floorBest" 'BEGIN { printf "RESULT folderwalk %.3f %.3f ms\n", f * 1000, r * 1000 }' >>"$results"
    awk -v f="$walkBest" -v r="$findBest" 'BEGIN { printf "RESULT folderwalk-find %.3f %.3f ms\n", f * 1000, r * 1000 }' >>"$results"
  else
    echo "could not read the folder walk's figures" >&2
  fi
fi

echo "== Soak: 200 rounds of adding a folder, clearing the list and joining three files"
collect "$root/bench/soak.sh" "$build" 200

echo "== Size and imports"
exe=$build/bin/folianto.exe
minimal=$build/bin/bench_minimal_window.exe
echo "RESULT size $(stat -c %s "$exe") $(stat -c %s "$minimal") bytes" >>"$results"
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -f | paste -sd' ')
system="ADVAPI32.dll COMCTL32.dll COMDLG32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll SHELL32.dll USER32.dll"
foreign=()
for dll in $imports; do
  grep -qiw -- "$dll" <<<"$system" || foreign+=("$dll")
done

echo
echo "== Results"
cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}, $(wine --version 2>/dev/null), $(date -u +%Y-%m-%d)"
echo
/usr/bin/python3 - "$results" <<'PY'
import sys
rows = {
    "startup-floor": ("Start-up against the floor", "the same nine controls bare", "<= 1.05x"),
    "startup": ("  the same start-up against an empty window", "minimal Win32 window",
                "context (the floor itself takes more than 1.3x here)"),
    "join": ("Join of 25 small PDFs via \"Join!\"", "same pdftk command line run directly",
             "<= +10 ms"),
    "join-wait": ("  the same join by RunAndWait alone", "same pdftk command line run directly",
                  "<= +5 ms"),
    "join-beyond": ("\"Join!\" beyond RunAndWait, 25 entries",
                    "RunAndWait alone; both with a tool that ends at once", "<= 1.4x"),
    "answer": ("The window's answer while a join waits (95th percentile)",
               "the idle window, same run", "<= 16 ms (a frame at 60 Hz)"),
    "answer-longest": ("  the same, the longest answer", "the idle window, same run", "reported"),
    "bookmarks": ("Join of 25 with a bookmark for each file", "the plain join via \"Join!\"",
                  "<= 4x"),
    "bookmarks-floor": ("  its floor: the three runs of the tool, directly",
                        "the plain join's one run, directly",
                        "context: join, outline read, outline written"),
    "join-copies": ("Join of 25 PDFs of 10 MB whose names need copies",
                    "the same join by short forms", "<= 1.5x"),
    "listfill": ("List fill, 10,000 entries", "bare LVM_INSERTITEMW loop, redraw off", "<= 1.2x"),
    "folderwalk": ("Folder walk + append, 100,000 files",
                   "one bare directory search per folder under Wine",
                   "<= 2x (every folder is searched twice)"),
    "folderwalk-find": ("  the same walk against Linux", "find -name '*.pdf'",
                        "context: what Wine itself costs"),
    "memory": ("Peak working set after the 10,000 fill", "same fill on a bare list view",
               "reported"),
    "history": ("Working set after 1,000 undoable moves of the 10,000", "before the moves",
                "within a few MiB"),
    "size": ("Size of folianto.exe", "minimal Win32 window exe", "reported"),
    "soak-handles": ("Kernel handles after 200 soak rounds", "after the first 10 rounds",
                     "no growth"),
    "soak-windows": ("Windows after 200 soak rounds", "after the first 10 rounds", "no growth"),
}
found = {}
for line in open(sys.argv[1]):
    _, name, ours, reference, unit = line.split()
    found[name] = (float(ours), float(reference), unit)

def show(value, unit):
    if unit == "bytes":
        return f"{value / 1024:.0f} KiB"
    if unit == "MiB":
        return f"{value:.1f} MiB"
    if unit == "count":
        return f"{value:.0f}"
    return f"{value:.{2 if value < 1 else 1 if value < 10 else 0}f} ms"

# Whether a figure meets its goal, from Folianto's figure and the reference's.
goals = {
    "startup-floor": lambda ours, theirs: ours <= 1.05 * theirs,
    "join": lambda ours, theirs: ours <= theirs + 10,
    "join-wait": lambda ours, theirs: ours <= theirs + 5,
    "answer": lambda ours, theirs: ours <= 16,
    "join-beyond": lambda ours, theirs: ours <= 1.4 * theirs,
    "bookmarks": lambda ours, theirs: ours <= 4 * theirs,
    "join-copies": lambda ours, theirs: ours <= 1.5 * theirs,
    "listfill": lambda ours, theirs: ours <= 1.2 * theirs,
    "history": lambda ours, theirs: ours <= theirs + 4,
    "folderwalk": lambda ours, theirs: ours <= 2 * theirs,
    "soak-handles": lambda ours, theirs: ours <= theirs,
    "soak-windows": lambda ours, theirs: ours <= theirs,
}

print("| Benchmark | Folianto | Reference | Ratio | Goal | Met |")
print("|---|---:|---|---:|---|---|")
for name, (what, reference, goal) in rows.items():
    if name not in found:
        print(f"| {what} | - | {reference} | - | {goal} | not measured |")
        continue
    ours, theirs, unit = found[name]
    ratio = ours / theirs if theirs else 0
    extra = ""
    if name in ("join", "join-wait", "join-beyond", "bookmarks", "bookmarks-floor", "join-copies"):
        extra = f", {ours - theirs:+.0f} ms"
    met = "-" if name not in goals else ("yes" if goals[name](ours, theirs) else "no")
    print(f"| {what} | {show(ours, unit)} | {reference}: {show(theirs, unit)} | "
          f"{ratio:.2f}x{extra} | {goal} | {met} |")
PY
echo
echo "Imported DLLs of folianto.exe: $imports"
if [ ${#foreign[@]} -eq 0 ]; then
  echo "All of them are Windows system DLLs."
else
  echo "Not Windows system DLLs: ${foreign[*]}" >&2
  exit 1
fi
