"""Reprojection past one process: pandas frames, and a Dask cluster of two
worker processes on this machine working through a dataset larger than one
worker may hold, each partition checked bit for bit against one process."""

import os
import pathlib
import sys

import numpy as np
import pandas as pd
import pytest

import zrprj

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "bindings" / "dask"))
import zrprj_dask  # noqa: E402

distributed = pytest.importorskip("distributed")

# A worker's memory limit, and a dataset of coordinates (three float64 columns
# in, two out) larger than that: it can only go through partition by partition.
WORKER_MEMORY = 400 * 2**20
CHUNKS = int(os.environ.get("ZRPRJ_DASK_CHUNKS", "18"))
ROWS = 1_000_000


def test_to_crs_on_a_pandas_frame():
    frame = pd.DataFrame({"name": ["Beijing", "Shanghai"], "lon": [116.4074, 121.4737], "lat": [39.9042, 31.2304]})
    out = zrprj_dask.to_crs(frame, 4326, 32650, x="lon", y="lat")
    x, y = zrprj.Transformer.from_crs(4326, 32650, always_xy=True).transform(frame["lon"].to_numpy(),
                                                                            frame["lat"].to_numpy())
    np.testing.assert_array_equal(out["lon"].to_numpy(), x)
    np.testing.assert_array_equal(out["lat"].to_numpy(), y)
    assert list(out["name"]) == ["Beijing", "Shanghai"] and list(out.columns) == list(frame.columns)
    assert frame["lon"].iloc[0] == 116.4074, "to_crs changed its input"
    # zrprj.CRS objects travel as what they were made from.
    again = zrprj_dask.to_crs(frame, zrprj.CRS.from_epsg(4326), zrprj.CRS("EPSG:32650"), x="lon", y="lat")
    pd.testing.assert_frame_equal(out, again)


def test_two_workers_match_one_process_partition_by_partition():
    import dask
    from dask.distributed import Client, LocalCluster

    assert CHUNKS * ROWS * 24 > WORKER_MEMORY or "ZRPRJ_DASK_CHUNKS" in os.environ
    with dask.config.set(zrprj_dask.BATCH_CONFIG), LocalCluster(n_workers=2, threads_per_worker=1, processes=True, memory_limit=WORKER_MEMORY,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        single, per_core, wall, agree = zrprj_dask.measure(client, CHUNKS, ROWS, "EPSG:4326", "EPSG:32650")
    print("\none process %.0f points/CPU s; cluster %.0f points/worker CPU s (%.0f %%), %.0f points/wall s"
          % (single, per_core, 100 * per_core / single, wall))
    assert len(agree) == CHUNKS and all(agree), "partitions differing: %s" % [i for i, a in enumerate(agree) if not a]
    # The throughput per worker CPU second against one process is printed, not
    # asserted: under ctest's parallel jobs on a small machine it swings with
    # the neighbours (68-100 % seen), and speed is measured by the benchmark
    # (bench/python_bench.py and this test run alone), not by a unit test.
