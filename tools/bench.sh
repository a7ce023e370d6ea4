#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the library and PROJ side by
# side over the same million points. Prints one row per case: points per
# second of ours and of PROJ, and the ratio (ours / PROJ; above 1 is faster).
# For the set-up cases the "points" are set-ups.
#
#   tools/bench.sh                         all cases
#   tools/bench.sh --benchmark_filter=UTM  arguments go to the benchmark binary
#   tools/bench.sh --benchmark_repetitions=3   the median of three runs
#
# Environment: ZRPRJ_BENCH_BUILD_DIR (default build-bench), ZRPRJ_JOBS
# (default 2), ZRPRJ_CMAKE_ARGS (extra configure arguments).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ZRPRJ_BENCH_BUILD_DIR:-build-bench}
jobs=${ZRPRJ_JOBS:-2}
log="$build/bench-build.log"
mkdir -p "$build"
# shellcheck disable=SC2086
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZRPRJ_BUILD_BENCH=ON -DZRPRJ_BUILD_TESTS=OFF \
  -DZRPRJ_BUILD_TOOLS=OFF -DZRPRJ_WITH_QT=OFF ${ZRPRJ_CMAKE_ARGS:-} > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j"$jobs" --target zrprj_bench >> "$log" 2>&1 || { tail -50 "$log"; exit 1; }

json="$build/bench.json"
"$build/bench/zrprj_bench" --benchmark_out="$json" --benchmark_out_format=json "$@" >&2

echo
echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores;" \
  "$(c++ --version | head -1); PROJ $(pkg-config --modversion proj 2>/dev/null || echo '?')"
python3 - "$json" <<'PY'
import json, sys
# Rates are per CPU second, so a busy machine skews both sides alike.
data = json.load(open(sys.argv[1]))
rate, median = {}, {}
for b in data["benchmarks"]:
    if b.get("error_occurred") or "points/s" not in b:
        continue
    name = b.get("run_name", b["name"]).split("/")[0]
    if b.get("run_type") == "aggregate":
        if b.get("aggregate_name") == "median":
            median[name] = b["points/s"]
    else:
        rate.setdefault(name, b["points/s"])
# With --benchmark_repetitions=N the median of the repetitions is shown.
rate.update(median)
cases = []
for name in rate:
    if name.startswith("Zr_") and name not in cases:
        cases.append(name[3:])
print("| case | points/s ours | points/s PROJ | ratio |")
print("|---|---:|---:|---:|")
for case in cases:
    ours = rate.get("Zr_" + case)
    proj = rate.get("Proj_" + case)
    ratio = "%.2f" % (ours / proj) if ours and proj else "-"
    fmt = lambda v: "{:,.0f}".format(v) if v else "-"
    print("| %s | %s | %s | %s |" % (case, fmt(ours), fmt(proj), ratio))
PY
