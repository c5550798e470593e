#!/usr/bin/env python3
"""The Python module against PySolid (Debian: python3-pysolid), side by side
in one run, for the targets of the module:

  - a year at 60 s at one station (525,600 epochs);
  - an exact 1000 x 1000 grid at one epoch (PySolid with a step_size below
    the pixel size, so that it computes every node);
  - 10^6 (point, time) pairs: all distinct, and 1000 stations x 1000 epochs;
  - the peak memory of a 2000 x 2000 grid against its output's size.

Each timing is the best of --repeat runs (PySolid's slow grid runs once).
Run it with the module importable, e.g.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_vs_pysolid.py

and on a quiet machine: the load average is printed with the results.
"""

import argparse
import datetime as dt
import os
import resource
import subprocess
import sys
import time
import warnings

import numpy as np

import havorkastilo
import havorkastilo.pysolid as mine


def best(f, repeat):
    times = []
    for _ in range(repeat):
        t = time.perf_counter()
        f()
        times.append(time.perf_counter() - t)
    return min(times)


def pysolid_or_none():
    try:
        import pysolid
    except ImportError:
        return None
    return pysolid


def quiet(f):
    def run():
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            return f()
    return run


def memory_child():
    """In a child process: the peak resident memory added by a 2000 x 2000
    grid, numpy's peak allocation during the call (tracemalloc), and the
    size of its three outputs, in MB."""
    import tracemalloc
    lat = np.linspace(30, 60, 2000)[:, None]
    lon = np.linspace(-10, 40, 2000)[None, :]
    havorkastilo.displacement(lat[:2], lon[:, :2], "2020-01-01")  # imports and warms up
    before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    tracemalloc.start()
    d = havorkastilo.displacement(lat, lon, "2020-01-01T00:00Z")
    peak = tracemalloc.get_traced_memory()[1] / 2**20
    after = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    print(f"{after - before:.1f} {peak:.1f} {3 * d.up.nbytes / 2**20:.1f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--skip-pysolid-grid", action="store_true",
                        help="leave out PySolid's exact 1000 x 1000 grid (some minutes)")
    parser.add_argument("--memory-child", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.memory_child:
        memory_child()
        return
    pysolid = pysolid_or_none()
    print(f"machine: {os.cpu_count()} processors, affinity {len(os.sched_getaffinity(0))}, "
          f"load average {os.getloadavg()[0]:.2f}")
    r = args.repeat

    # A year at 60 s at one station.
    t0, t1 = dt.datetime(2020, 1, 1), dt.datetime(2020, 12, 31, 23, 59)
    times = np.arange("2020-01-01", "2021-01-01", np.timedelta64(60, "s"), dtype="datetime64[s]")
    ours = best(lambda: havorkastilo.displacement(34.0, -118.0, times), r)
    call = best(lambda: mine.calc_solid_earth_tides_point(34.0, -118.0, t0, t1, verbose=False), r)
    print(f"year at 60 s ({times.size} epochs): displacement {ours:.3f} s "
          f"({times.size / ours / 1e6:.2f} M rows/s), havorkastilo.pysolid point call {call:.3f} s")
    if pysolid:
        theirs = best(quiet(lambda: pysolid.calc_solid_earth_tides_point(
            34.0, -118.0, t0, t1, verbose=False)), r)
        print(f"  PySolid {theirs:.3f} s: displacement {theirs / ours:.1f}x, "
              f"point call {theirs / call:.1f}x")

    # An exact 1000 x 1000 grid at one epoch.
    atr = {"LENGTH": 1000, "WIDTH": 1000, "X_FIRST": -118.5, "Y_FIRST": 34.5,
           "X_STEP": 0.001, "Y_STEP": -0.001}
    when = dt.datetime(2020, 12, 25, 14, 7, 44)
    grid = best(lambda: mine.calc_solid_earth_tides_grid(when, atr, verbose=False), r)
    print(f"exact 1000 x 1000 grid: {grid:.3f} s ({1e6 / grid / 1e6:.2f} M nodes/s)")
    if pysolid and not args.skip_pysolid_grid:
        # 1 m is far below the pixel (about 100 m): every node is computed.
        theirs = best(quiet(lambda: pysolid.calc_solid_earth_tides_grid(
            when, atr, step_size=1, verbose=False)), 1)
        print(f"  PySolid exact {theirs:.3f} s ({1e6 / theirs / 1e6:.3f} M nodes/s): "
              f"{theirs / grid:.1f}x")

    # 10^6 (point, time) pairs.
    rng = np.random.default_rng(1)
    n = 10**6
    lat, lon = rng.uniform(-90, 90, n), rng.uniform(-180, 180, n)
    pair_times = np.datetime64("2020-01-01", "ns") + rng.integers(0, 86400 * 10**9, n).astype(
        "timedelta64[ns]")
    distinct = best(lambda: havorkastilo.displacement(lat, lon, pair_times), r)
    stations = best(lambda: havorkastilo.displacement(lat[:1000, None], lon[:1000, None],
                                                      np.sort(pair_times[:1000])[None, :]), r)
    serial = best(lambda: havorkastilo.displacement(lat, lon, pair_times, threads=1), 1)
    print(f"10^6 distinct pairs: {distinct:.3f} s ({serial:.3f} s on one thread); "
          f"1000 stations x 1000 epochs: {stations:.3f} s")

    # Memory.
    out = subprocess.run([sys.executable, __file__, "--memory-child"], capture_output=True,
                         text=True, check=True).stdout.split()
    print(f"2000 x 2000 grid: peak resident memory grew by {out[0]} MB, numpy allocated at "
          f"most {out[1]} MB, for outputs of {out[2]} MB")


if __name__ == "__main__":
    main()
