#!/usr/bin/env bash
# One point converted by a fresh process, the command-line tool against
# PROJ's cs2cs: EPSG:4326 to EPSG:2154 unless other codes are given. Each is
# run RUNS times (default 21), alternating, and the medians of the whole
# process's wall and CPU time (user + system: start, library loading, the
# first set-up and the point) are printed with the ratios (cs2cs / zrprj;
# above 1 is faster).
#
#   bench/first_call_tool.sh BUILD_DIR
#   bench/first_call_tool.sh BUILD_DIR EPSG:4326 EPSG:27700
set -euo pipefail
build=${1:?build directory holding tools/zrprj}
from=${2:-EPSG:4326}
to=${3:-EPSG:2154}
runs=${RUNS:-21}
tool="$build/tools/zrprj"
[ -x "$tool" ] || { echo "missing $tool: cmake --build $build --target zrprj" >&2; exit 1; }
command -v cs2cs > /dev/null || { echo "cs2cs (PROJ's proj-bin) is not installed" >&2; exit 1; }
# Paris: cs2cs reads EPSG:4326 latitude first, zrprj longitude first.
TIMEFORMAT='%3R %3U %3S'
timed() { { time "${@:2}" <<< "$1" > /dev/null 2> /dev/null; } 2>&1; }
zr=() pj=() zrcpu=() pjcpu=()
for ((i = 0; i < runs; ++i)); do
  read -r wall user sys < <(timed "2.3522 48.8566" "$tool" convert "$from" "$to")
  zr+=("$wall") zrcpu+=("$(echo "$user + $sys" | bc -l)")
  read -r wall user sys < <(timed "48.8566 2.3522" cs2cs "$from" "$to")
  pj+=("$wall") pjcpu+=("$(echo "$user + $sys" | bc -l)")
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
m1=$(median "${zr[@]}") m2=$(median "${pj[@]}")
c1=$(median "${zrcpu[@]}") c2=$(median "${pjcpu[@]}")
printf 'one point %s -> %s, median of %d processes: zrprj %s s, cs2cs %s s, ratio %.2f' \
  "$from" "$to" "$runs" "$m1" "$m2" "$(echo "$m2 / $m1" | bc -l)"
printf '; CPU zrprj %s s, cs2cs %s s, ratio %.2f\n' "$c1" "$c2" "$(echo "$c2 / $c1" | bc -l)"
