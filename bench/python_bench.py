#!/usr/bin/env python3
"""The Python module on a million points against pyproj and the C++ path.

WGS 84 longitude/latitude to UTM zone 50N over 1,000,000 points uniform in the
zone's band (18 to 53 degrees north), NumPy float64 arrays:

  - pyproj's Transformer.transform (new arrays),
  - zrprj's Transformer.transform (new arrays, and in place),
  - the C++ path: CZrPJTranslator::Convert over an array of points, and the
    C interface over the columns, from the benchmark binary (Release).

Points per CPU second, the best of the repetitions (a shared machine slows
runs, never speeds them). Builds the Release tree first (as tools/bench.sh):

    python3 bench/python_bench.py [--repeat 7] [--build-dir build-bench]
"""

import argparse
import json
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
POINTS = 1_000_000


def build(build_dir):
    jobs = os.environ.get("ZRPRJ_JOBS", "2")
    log = open(build_dir / "python-bench-build.log", "w")
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release",
                    "-DZRPRJ_BUILD_BENCH=ON", "-DZRPRJ_BUILD_TESTS=OFF", "-DZRPRJ_BUILD_TOOLS=OFF",
                    "-DZRPRJ_WITH_QT=OFF"], check=True, stdout=log, stderr=log)
    subprocess.run(["cmake", "--build", str(build_dir), "-j", jobs, "--target", "zrprj_bench", "zrprj_python"],
                   check=True, stdout=log, stderr=log)


def best_rate(fn, prepare, repeat):
    """Points per CPU second of fn, the best of repeat runs; prepare runs untimed before each."""
    best = 0.0
    for _ in range(repeat):
        args = prepare()
        start = time.process_time()
        fn(*args)
        elapsed = time.process_time() - start
        best = max(best, POINTS / elapsed)
    return best


def cpp_rates(build_dir, repeat):
    out = subprocess.run([str(build_dir / "bench" / "zrprj_bench"),
                          "--benchmark_filter=_WGS84_to_UTM50N", "--benchmark_format=json",
                          "--benchmark_repetitions=%d" % repeat],
                         check=True, capture_output=True, text=True).stdout
    rates = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") == "aggregate" or "points/s" not in b:
            continue
        name = b.get("run_name", b["name"]).split("/")[0]
        rates[name] = max(rates.get(name, 0.0), b["points/s"])
    return rates


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--build-dir", default=str(ROOT / "build-bench"))
    parser.add_argument("--no-build", action="store_true")
    args = parser.parse_args()
    build_dir = pathlib.Path(args.build_dir)
    build_dir.mkdir(exist_ok=True)
    if not args.no_build:
        build(build_dir)
    sys.path.insert(0, str(build_dir / "python"))
    import numpy as np
    import pyproj
    import zrprj

    rng = np.random.default_rng(50)
    lon, lat = rng.uniform(114.0, 120.0, POINTS), rng.uniform(18.0, 53.0, POINTS)
    theirs = pyproj.Transformer.from_crs(4326, 32650, always_xy=True)
    ours = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
    px, py = theirs.transform(lon, lat)
    zx, zy = ours.transform(lon, lat)
    miss = float(np.hypot(px - zx, py - zy).max())

    fresh = lambda: (lon, lat)
    copies = lambda: (lon.copy(), lat.copy())
    rates = {
        "pyproj Transformer.transform": best_rate(theirs.transform, fresh, args.repeat),
        "zrprj Transformer.transform": best_rate(ours.transform, fresh, args.repeat),
        "zrprj Transformer.transform, in place": best_rate(lambda x, y: ours.transform(x, y, inplace=True),
                                                           copies, args.repeat),
    }
    cpp = cpp_rates(build_dir, args.repeat)
    rates["C++ CZrPJTranslator::Convert"] = cpp.get("Zr_Translator_WGS84_to_UTM50N", 0.0)
    rates["C zr_transform over columns"] = cpp.get("Zr_Columns_WGS84_to_UTM50N", 0.0)
    rates["PROJ proj_trans_generic over columns"] = cpp.get("Proj_Columns_WGS84_to_UTM50N", 0.0)

    print("1,000,000 points, WGS 84 to UTM 50N; zrprj and pyproj agree within %.3f mm" % (miss * 1e3))
    print("| path | points per CPU s | vs pyproj | vs C++ |")
    print("|---|---:|---:|---:|")
    base, native = rates["pyproj Transformer.transform"], rates["C++ CZrPJTranslator::Convert"]
    for name, rate in rates.items():
        print("| %s | {:,.0f} | %.2f | %s |".format(rate)
              % (name, rate / base, "%.2f" % (rate / native) if native else "-"))


if __name__ == "__main__":
    main()
