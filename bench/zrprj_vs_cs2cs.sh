#!/usr/bin/env bash
# The command-line tool against PROJ's cs2cs on the same points: 2,000,000
# random WGS 84 points in and around UTM zone 50N projected to it, each tool
# reading the one file (latitude first, as cs2cs takes EPSG:4326) and writing
# millimetres. Prints the CPU seconds (user + system) and the peak resident
# memory of each, and the ratio cs2cs / zrprj (above 1: zrprj is faster).
# CPU time, not wall time: on a busy machine both sides wait alike.
#
#   bench/zrprj_vs_cs2cs.sh                 builds zrprj (Release) first
#   ZRPRJ_TOOL=build/tools/zrprj bench/zrprj_vs_cs2cs.sh   an existing binary
#   ZRPRJ_POINTS=200000 bench/zrprj_vs_cs2cs.sh             fewer points
#
# Not run in CI: its figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
points=${ZRPRJ_POINTS:-2000000}
build=${ZRPRJ_BENCH_BUILD_DIR:-build-bench}
tool=${ZRPRJ_TOOL:-}
if [ -z "$tool" ]; then
  mkdir -p "$build"
  log="$build/zrprj-build.log"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZRPRJ_BUILD_TESTS=OFF -DZRPRJ_WITH_QT=OFF \
    > "$log" 2>&1 || { cat "$log"; exit 1; }
  cmake --build "$build" -j"${ZRPRJ_JOBS:-2}" --target zrprj >> "$log" 2>&1 || { tail -50 "$log"; exit 1; }
  tool="$build/tools/zrprj"
fi
command -v cs2cs > /dev/null || { echo "cs2cs (PROJ's proj-bin) is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Latitude -10..80, longitude 113.5..120.5: zone 50 and a little beyond,
# printed as a survey file would hold them (7 decimals, about 1 cm).
awk -v n="$points" 'BEGIN { srand(20261208); for (i = 0; i < n; i++)
  printf "%.7f %.7f\n", -10 + 90 * rand(), 113.5 + 7 * rand() }' > "$work/points.txt"

# Runs a command; prints "CPU-seconds peak-KiB".
measure() {
  /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" < "$work/points.txt" > "$work/out" 2> /dev/null || true
  awk '{ printf "%.2f %d\n", $1 + $2, $3 }' "$work/time"
}

read -r ours oursKiB < <(measure "$tool" project EPSG:32650 --lat-first)
head -1 "$work/out" > "$work/ours-first"
read -r theirs theirsKiB < <(measure cs2cs -d 3 EPSG:4326 EPSG:32650)
head -1 "$work/out" > "$work/theirs-first"

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores;" \
  "PROJ $(cs2cs 2>&1 | head -1 | sed 's/^Rel\. //; s/,.*//')"
echo "First point: zrprj $(cat "$work/ours-first") / cs2cs $(cat "$work/theirs-first")"
printf '| %-8s | %9s | %12s |\n' tool "CPU s" "peak memory"
printf '| %-8s | %9s | %9s KiB |\n' zrprj "$ours" "$oursKiB" cs2cs "$theirs" "$theirsKiB"
awk -v a="$theirs" -v b="$ours" -v n="$points" \
  'BEGIN { printf "%d points: cs2cs / zrprj = %.2f\n", n, (b > 0 ? a / b : 0) }'
