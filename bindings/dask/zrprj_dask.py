"""Reprojecting point tables too large for one process: pandas and Dask.

`to_crs(frame, src, dst)` reprojects a pandas DataFrame's x/y columns as
GeoPandas' `to_crs` reprojects a GeoDataFrame's geometry; on a Dask DataFrame
it does the same partition by partition, on whatever cluster the DataFrame's
client runs (here a local one of worker processes; on a real cluster the same
code). Each worker makes its transformer once per pair of systems and keeps it.

Run as a script it reprojects a synthetic track table of `--chunks` partitions
of `--rows` rows on a local cluster of `--workers` processes, and prints the
throughput per core on the cluster against one process doing the same:

    python3 bindings/dask/zrprj_dask.py --workers 2 --chunks 24 --rows 1000000
"""

import argparse
import functools
import hashlib
import time

import numpy as np
import pandas as pd

import zrprj


# A worker's sampling profiler (every 10 ms), its event loop's watchdog tick
# (20 ms) and its memory monitor (100 ms) serve interactive diagnosis; over a
# batch of reprojection they cost a worker several per cent of a core for
# nothing. Set while the cluster is made (the nannies hand it to the workers).
BATCH_CONFIG = {
    "distributed.worker.profile.enabled": False,
    "distributed.admin.tick.interval": "1s",
    "distributed.worker.memory.monitor-interval": "1s",
}


@functools.lru_cache(maxsize=64)
def _transformer(src, dst, always_xy, operation):
    # Per process: a worker makes each transformer once and keeps it.
    return zrprj.Transformer.from_crs(src, dst, always_xy=always_xy, operation=operation)


def _to_crs_frame(frame, src, dst, x, y, always_xy, operation):
    t = _transformer(src, dst, always_xy, operation)
    # One copy of each coordinate column, transformed where it lies; the
    # other columns are shared with the input, which stays as it was.
    xs = frame[x].to_numpy(dtype=np.float64, copy=True)
    ys = frame[y].to_numpy(dtype=np.float64, copy=True)
    t.transform(xs, ys, inplace=True)
    return frame.assign(**{x: xs, y: ys})


def to_crs(frame, src, dst, x="x", y="y", always_xy=True, operation=None):
    """frame (pandas or Dask DataFrame) with its x/y columns from src to dst.

    src and dst are anything zrprj.CRS takes that pickles: EPSG codes, "EPSG:n",
    WKT or PROJ text, or zrprj.CRS objects."""
    src = src._input if isinstance(src, zrprj.CRS) else src
    dst = dst._input if isinstance(dst, zrprj.CRS) else dst
    if isinstance(frame, pd.DataFrame):
        return _to_crs_frame(frame, src, dst, x, y, always_xy, operation)
    # The partitions come out with the input's columns and types by
    # construction; checking each against the metadata costs more than the
    # reprojection of a million points.
    return frame.map_partitions(_to_crs_frame, src, dst, x, y, always_xy, operation, meta=frame._meta,
                                enforce_metadata=False)


# ---- the synthetic dataset: GPS-like tracks over China, made where they are used ----

def track_chunk(index, rows):
    """Partition index of the dataset: rows points, the same every time it is made."""
    rng = np.random.default_rng(1000 + index)
    return pd.DataFrame({
        "id": np.arange(index * rows, (index + 1) * rows, dtype=np.int64),
        "x": rng.uniform(114.0, 120.0, rows),  # UTM zone 50's band
        "y": rng.uniform(18.0, 53.0, rows),
    })


def chunk_digest(frame):
    """A digest of a partition's coordinates, bit for bit."""
    h = hashlib.sha256()
    h.update(np.ascontiguousarray(frame["x"].to_numpy()).tobytes())
    h.update(np.ascontiguousarray(frame["y"].to_numpy()).tobytes())
    return h.hexdigest()


def reproject_digests_on_cluster(client, chunks, rows, src, dst):
    """Each partition made on a worker, reprojected there, and reduced to its digest."""
    import dask.dataframe as dd

    frame = dd.from_map(track_chunk, range(chunks), rows=rows, enforce_metadata=False,
                        meta=pd.DataFrame({"id": np.int64(0), "x": 0.0, "y": 0.0}, index=[]).iloc[:0])
    projected = to_crs(frame, src, dst)
    digests = projected.map_partitions(lambda part: pd.Series([chunk_digest(part)]), meta=(None, object),
                                       enforce_metadata=False)
    return list(client.compute(digests).result())


def reproject_digests_here(chunks, rows, src, dst):
    return [chunk_digest(to_crs(track_chunk(i, rows), src, dst)) for i in range(chunks)]


def _process_cpu_seconds():
    import psutil

    times = psutil.Process().cpu_times()
    return times.user + times.system


def worker_cpu_seconds(client):
    """CPU seconds the cluster's worker processes have used so far, all together.

    Throughput per core is counted against these rather than the wall clock,
    which on a shared machine measures the neighbours as much as the work."""
    return sum(client.run(_process_cpu_seconds).values())


def measure(client, chunks, rows, src, dst):
    """(points per CPU second in this process, per worker CPU second on the
    cluster, per wall second on the cluster, whether every partition agrees)."""
    points = chunks * rows
    # Both sides in their steady state: imports done, the transformer made,
    # and the allocator past its first partitions (glibc maps the first large
    # blocks afresh, page by page, before it learns to keep them).
    workers = len(client.scheduler_info()["workers"])
    reproject_digests_here(1, rows, src, dst)
    reproject_digests_on_cluster(client, workers, rows, src, dst)
    cpu = time.process_time()
    here = reproject_digests_here(chunks, rows, src, dst)
    single = points / (time.process_time() - cpu)
    cpu = worker_cpu_seconds(client)
    start = time.perf_counter()
    there = reproject_digests_on_cluster(client, chunks, rows, src, dst)
    wall = points / (time.perf_counter() - start)
    per_core = points / (worker_cpu_seconds(client) - cpu)
    return single, per_core, wall, [a == b for a, b in zip(here, there)] + [False] * (chunks - len(there))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--chunks", type=int, default=24)
    parser.add_argument("--rows", type=int, default=1_000_000)
    parser.add_argument("--memory-limit", default="400MiB", help="per worker")
    parser.add_argument("--src", default="EPSG:4326")
    parser.add_argument("--dst", default="EPSG:32650")
    args = parser.parse_args()

    import dask
    from dask.distributed import Client, LocalCluster

    points = args.chunks * args.rows
    with dask.config.set(BATCH_CONFIG), LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                      memory_limit=args.memory_limit, dashboard_address=None) as cluster, Client(cluster) as client:
        single, per_core, wall, agree = measure(client, args.chunks, args.rows, args.src, args.dst)
    same = sum(agree)
    print("%d points in %d partitions of %d rows (%.0f MiB of coordinates, %s per worker)"
          % (points, args.chunks, args.rows, points * 24 / 2**20, args.memory_limit))
    print("one process:          %12.0f points per CPU second" % single)
    print("cluster, %d workers:   %12.0f points per worker CPU second (%.0f %% of one process), %.0f per wall second"
          % (args.workers, per_core, 100 * per_core / single, wall))
    print("partitions identical to the single-process result: %d of %d" % (same, args.chunks))
    return 0 if same == args.chunks else 1


if __name__ == "__main__":
    raise SystemExit(main())
