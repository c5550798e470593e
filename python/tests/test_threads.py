"""Threads: any number of workers, and calls from several Python threads at
once, give the serial results bit for bit."""

import concurrent.futures
import threading

import numpy as np
import pytest

import havorkastilo
from conftest import same_bits

T0 = np.datetime64("2020-02-01T00:00:00", "ns")


def inputs(seed):
    rng = np.random.default_rng(seed)
    n = 20000  # above the threshold below which the calling thread works alone
    lat = rng.uniform(-90, 90, n)
    lon = rng.uniform(-180, 180, n)
    times = T0 + rng.integers(0, 2 * 10**14, n).astype("timedelta64[ns]")
    return lat, lon, times, rng.uniform(-100, 3000, n)


@pytest.mark.parametrize("ephemeris", ["series", "precise"])
def test_worker_counts_give_the_same_bits(ephemeris):
    lat, lon, times, h = inputs(1)
    serial = havorkastilo.displacement(lat, lon, times, h, ephemeris=ephemeris, threads=1)
    for threads in (2, 3, 16, None):
        got = havorkastilo.displacement(lat, lon, times, h, ephemeris=ephemeris, threads=threads)
        assert all(same_bits(a, b) for a, b in zip(got, serial)), threads


def test_a_grid_and_a_tabled_series_on_workers():
    lat = np.linspace(30, 60, 150)[:, None]
    lon = np.linspace(-10, 40, 200)[None, :]
    serial = havorkastilo.displacement(lat, lon, T0, threads=1)
    assert all(same_bits(a, b) for a, b in
               zip(havorkastilo.displacement(lat, lon, T0, threads=4), serial))
    times = T0 + np.arange(5000) * np.timedelta64(60, "s")
    stations = np.array([10.0, 20.0, 30.0])[:, None]
    serial = havorkastilo.displacement(stations, 5.0, times, threads=1)
    assert all(same_bits(a, b) for a, b in
               zip(havorkastilo.displacement(stations, 5.0, times, threads=5), serial))


def test_python_threads_at_once_give_the_serial_results():
    cases = [inputs(seed) for seed in range(6)]
    ephemerides = ["series", "precise"] * 3
    serial = [havorkastilo.displacement(*c, ephemeris=e, threads=1)
              for c, e in zip(cases, ephemerides)]
    start = threading.Barrier(6)

    def run(k):
        start.wait()  # all six calls begin together
        return havorkastilo.displacement(*cases[k], ephemeris=ephemerides[k], threads=2)

    for _ in range(2):
        with concurrent.futures.ThreadPoolExecutor(max_workers=6) as pool:
            results = list(pool.map(run, range(6)))
        for got, want in zip(results, serial):
            assert all(same_bits(a, b) for a, b in zip(got, want))
