"""Broadcasting and shapes: every element of a broadcast is the value of its
own point and time computed alone, in whatever order and sharing the
module chooses."""

import numpy as np
import pytest

import havorkastilo
from conftest import same_bits

T0 = np.datetime64("2021-06-01T00:00:00", "ns")


def one_by_one(lat, lon, time, height, **options):
    """The broadcast computed one element at a time."""
    b = np.broadcast(np.asarray(lat), np.asarray(lon), np.asarray(time), np.asarray(height))
    out = [np.empty(b.shape) for _ in range(3)]
    for index, (la, lo, t, h) in zip(np.ndindex(*b.shape), b):
        d = havorkastilo.displacement(la, lo, t, h, **options)
        for o, v in zip(out, d):
            o[index] = v
    return out


CASES = {
    "one point, many times": ((45.0, 15.0, T0 + np.arange(7) * np.timedelta64(1, "h"), 0.0)),
    "a grid at one time": ((np.linspace(-60, 60, 5)[:, None], np.linspace(0, 350, 6)[None, :],
                            T0, 100.0)),
    "stations by times": ((np.array([10.0, 20.0, 30.0])[:, None],
                           np.array([1.0, 2.0, 3.0])[:, None],
                           T0 + np.arange(4) * np.timedelta64(10, "m"), np.array([[0.0], [5.0], [9.0]]))),
    "times by stations": ((np.array([10.0, 20.0, 30.0]), np.array([1.0, 2.0, 3.0]),
                           (T0 + np.arange(4) * np.timedelta64(10, "m"))[:, None], 0.0)),
    "three axes": ((np.array([0.0, 45.0])[:, None, None], np.array([7.0, 8.0, 9.0])[None, :, None],
                    (T0 + np.arange(5) * np.timedelta64(7, "s"))[None, None, :],
                    np.array([0.0, 1.0, 2.0])[:, None])),
    "pairs": ((np.linspace(-80, 80, 9), np.linspace(-170, 170, 9),
               T0 + np.arange(9) * np.timedelta64(1, "D"), np.linspace(0, 800, 9))),
}


@pytest.mark.parametrize("name", CASES)
@pytest.mark.parametrize("frame", ["enu", "ecef"])
def test_broadcast_is_each_element_alone(name, frame):
    lat, lon, time, height = CASES[name]
    d = havorkastilo.displacement(lat, lon, time, height, frame=frame)
    shape = np.broadcast_shapes(np.shape(lat), np.shape(lon), np.shape(time), np.shape(height))
    for got, want in zip(d, one_by_one(lat, lon, time, height, frame=frame)):
        assert got.shape == shape and got.dtype == np.float64
        assert same_bits(got, want)


def test_named_fields_and_frames():
    d = havorkastilo.displacement(45.0, 15.0, T0)
    assert type(d).__name__ == "ENU" and d._fields == ("east", "north", "up")
    x = havorkastilo.displacement(45.0, 15.0, T0, frame="ecef")
    assert type(x).__name__ == "ECEF" and x._fields == ("x", "y", "z")


@pytest.mark.parametrize("lat, lon", [(46.0, 14.5), (-72.0, -160.0), (3.0, 200.0)])
def test_local_frame_is_the_earth_fixed_one_rotated(lat, lon):
    # An independent check of the two frames: east, north, up from x, y, z
    # by the rotation of the geodetic local frame.
    times = T0 + np.arange(24) * np.timedelta64(1, "h")
    e, n, u = havorkastilo.displacement(lat, lon, times, 200.0)
    x, y, z = havorkastilo.displacement(lat, lon, times, 200.0, frame="ecef")
    f, l = np.radians(lat), np.radians(lon)
    east = -np.sin(l) * x + np.cos(l) * y
    north = -np.sin(f) * np.cos(l) * x - np.sin(f) * np.sin(l) * y + np.cos(f) * z
    up = np.cos(f) * np.cos(l) * x + np.cos(f) * np.sin(l) * y + np.sin(f) * z
    np.testing.assert_allclose(e, east, rtol=0, atol=1e-12)
    np.testing.assert_allclose(n, north, rtol=0, atol=1e-12)
    np.testing.assert_allclose(u, up, rtol=0, atol=1e-12)
    assert np.max(np.abs(u)) > 0.05  # a tide of centimetres, not zeros


def test_scalars_give_numpy_scalars_and_arrays_keep_their_shape():
    d = havorkastilo.displacement(45.0, 15.0, T0)
    assert all(isinstance(c, np.float64) for c in d)
    d = havorkastilo.displacement([45.0], 15.0, T0)
    assert all(c.shape == (1,) for c in d)
    d = havorkastilo.displacement(np.zeros((0, 3)), 15.0, T0)
    assert all(c.shape == (0, 3) for c in d)


def test_inputs_of_other_types_and_layouts():
    lat = np.linspace(-50, 50, 12).reshape(3, 4)
    want = havorkastilo.displacement(lat, 15.0, T0)
    # Not contiguous, float32-exact values as ints, lists.
    fortran = np.asfortranarray(lat)
    assert all(same_bits(a, b) for a, b in zip(havorkastilo.displacement(fortran, 15.0, T0), want))
    strided = np.zeros((3, 8))
    strided[:, ::2] = lat
    got = havorkastilo.displacement(strided[:, ::2], 15, T0)
    assert all(same_bits(a, b) for a, b in zip(got, want))
    got = havorkastilo.displacement(lat.tolist(), [15], T0)
    assert all(same_bits(a, b) for a, b in zip(got, want))


def test_inputs_are_not_written():
    lat = np.linspace(-50, 50, 12)
    keep = lat.copy()
    havorkastilo.displacement(lat, 15.0, T0)
    assert same_bits(lat, keep)


def test_repeated_times_tabled_or_not_give_the_same_bits():
    # Many times repeated over two stations: the times are tabled (fewer
    # time values than elements); the same times each with its own element
    # are not.  Equal inputs, equal bits.
    times = T0 + np.arange(3000) * np.timedelta64(61, "s")
    tabled = havorkastilo.displacement(np.array([10.0, 50.0])[:, None], 5.0, times[None, :])
    alone = havorkastilo.displacement(np.repeat([[10.0], [50.0]], 3000, axis=1), 5.0,
                                      np.stack([times, times]))
    assert all(same_bits(a, b) for a, b in zip(tabled, alone))


def test_sun_moon_shapes_and_distances():
    times = T0 + np.arange(6).reshape(2, 3) * np.timedelta64(1, "D")
    for ephemeris in ("series", "precise"):
        b = havorkastilo.sun_moon(times, ephemeris=ephemeris)
        assert b.sun.shape == (2, 3, 3) and b.moon.shape == (2, 3, 3)
        assert np.all(np.abs(np.linalg.norm(b.sun, axis=-1) / 1.496e11 - 1) < 0.02)
        assert np.all((np.linalg.norm(b.moon, axis=-1) > 3.5e8)
                      & (np.linalg.norm(b.moon, axis=-1) < 4.1e8))
    series = havorkastilo.sun_moon(times)
    precise = havorkastilo.sun_moon(times, ephemeris="precise")
    # The two ephemerides agree to their accuracy (0.4 degrees for the
    # Moon's direction of the series) and are not the same numbers.
    cos = np.sum(series.moon * precise.moon, axis=-1) / (
        np.linalg.norm(series.moon, axis=-1) * np.linalg.norm(precise.moon, axis=-1))
    assert np.all(np.degrees(np.arccos(np.minimum(cos, 1))) < 0.5)
    assert not np.array_equal(series.moon, precise.moon)


def test_sun_moon_matches_the_programs_distances(program):
    from conftest import run_csv
    rows = run_csv(program, "-pc46,15,0", "-e12019-01-17/12:00:00", "-e22019-01-17/12:00:00",
                   "-mp")
    b = havorkastilo.sun_moon("2019-01-17T12:00:00Z", ephemeris="precise")
    assert abs(np.linalg.norm(b.sun) / 1e3 - float(rows[0]["sun_dist_km"])) < 0.0006
    assert abs(np.linalg.norm(b.moon) / 1e3 - float(rows[0]["moon_dist_km"])) < 0.0006
