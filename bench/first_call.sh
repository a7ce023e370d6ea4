#!/usr/bin/env bash
# The first set-up in a fresh process, ours against PROJ's: each program is
# run RUNS times (default 21), alternating, and the median of the times they
# report for the call itself is printed with the ratio (PROJ / ours; above 1
# is faster). The process start and the loading of the libraries are not in
# the figure, only the call and what it reads on first use. The CPU time of
# the call is printed too: on a machine shared with other work the wall time
# also counts the waits for a core.
#
#   bench/first_call.sh BUILD_DIR                 EPSG:2154
#   bench/first_call.sh BUILD_DIR epsg 32650
#   bench/first_call.sh BUILD_DIR wkt FILE        the text in FILE
set -euo pipefail
build=${1:?build directory (configured with -DZRPRJ_BUILD_BENCH=ON)}
what=${2:-epsg}
arg=${3:-2154}
runs=${RUNS:-21}
ours="$build/bench/zr_first_call"
theirs="$build/bench/proj_first_call"
for p in "$ours" "$theirs"; do
  [ -x "$p" ] || { echo "missing $p: cmake --build $build --target zr_first_call proj_first_call" >&2; exit 1; }
done
zr=() pj=() zrcpu=() pjcpu=()
for ((i = 0; i < runs; ++i)); do
  read -r wall cpu < <("$ours" "$what" "$arg")
  zr+=("$wall") zrcpu+=("$cpu")
  read -r wall cpu < <("$theirs" "$what" "$arg")
  pj+=("$wall") pjcpu+=("$cpu")
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
m1=$(median "${zr[@]}") m2=$(median "${pj[@]}")
c1=$(median "${zrcpu[@]}") c2=$(median "${pjcpu[@]}")
printf 'first %s %s, median of %d fresh processes: ours %s us, PROJ %s us, ratio %.2f' \
  "$what" "$arg" "$runs" "$m1" "$m2" "$(echo "$m2 / $m1" | bc -l)"
printf '; CPU time ours %s us, PROJ %s us, ratio %.2f\n' "$c1" "$c2" "$(echo "$c2 / $c1" | bc -l)"
