#!/usr/bin/env bash
# Load figures, not tests: our add-in beside the floor (the least add-in a
# host can load, win/tests/floor_addin.cpp), each measured in fresh
# processes with the shell loaded first, as in Office, in a prefix without
# heap checking (which slows every allocation). For each: load and create,
# the first OnConnection, and a later one, as the median (minimum,
# maximum) over the processes, and ours as ratios to the floor's.
# Usage: load-figures.sh BUILD_DIR [PROCESSES]   (at least 21)
# Exits 1 when any process fails: a figure over fewer processes is no figure.
set -u -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
processes=${2:-21}
work=$(mktemp -d /tmp/frambolist-load.XXXXXX)
. "$root/win/wine-env.sh"
wine_for_build "$build"
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
new_wine_prefix "$work/prefix"
cp "$build/win/frambolist.dll" "$build/win/tests/floor_addin.dll" \
   "$build/win/tests/frambolist_load_benchmark.exe" "$work/"
for dll in frambolist floor_addin; do
  "$wine" "$regsvr32" /s 'Z:'"${work//\//\\}"'\'"$dll.dll" >/dev/null 2>&1
done
classes_to_hklm

# stats FILE COLUMN: "median (min min, max max)" of a column of numbers
stats() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END {
    printf "%.3f (min %.3f, max %.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
median() { cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for prog_id in Kworrendival.Connect Frambolist.FloorAddin; do
  : > "$work/$prog_id.txt"
  for _ in $(seq "$processes"); do
    timeout 60 "$wine" "$work/frambolist_load_benchmark.exe" --as-in-office --once "$prog_id" 2>/dev/null |
      tr -d '\r' | grep -E '^[0-9.]+ [0-9.]+ [0-9.]+$' >> "$work/$prog_id.txt" ||
      { echo "a process measuring $prog_id failed (status $?)"; exit 1; }
  done
done
ours=$work/Kworrendival.Connect.txt floor=$work/Frambolist.FloorAddin.txt
echo "$bits-bit, $(wc -l < "$ours") processes each, shell loaded, no heap checking (ms):"
for row in "1 load and create" "2 first OnConnection" "3 later OnConnection"; do
  column=${row%% *} name=${row#* }
  ratio=$(awk -v a="$(median "$ours" "$column")" -v b="$(median "$floor" "$column")" \
    'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
  echo "  $name: ours $(stats "$ours" "$column"), floor $(stats "$floor" "$column"), ratio $ratio"
done
echo "  first OnConnection minus a later one: ours $(awk -v a="$(median "$ours" 2)" -v b="$(median "$ours" 3)" 'BEGIN { printf "%.3f", a - b }')"
