"""Invalid input raises ValueError with an English message that names the
argument and quotes the value; nothing ends the interpreter."""

import datetime as dt
import subprocess
import sys

import numpy as np
import pytest

import havorkastilo
import havorkastilo.pysolid as pysolid

T = "2019-01-17T12:00:00Z"


@pytest.mark.parametrize("call, message", [
    (lambda: havorkastilo.displacement(90.5, 0.0, T),
     r"^lat: 90.5 is not a latitude in degrees from -90 to 90$"),
    (lambda: havorkastilo.displacement([0.0, -90.0000001], 0.0, T), r"^lat: -90.0000001 is not"),
    (lambda: havorkastilo.displacement(np.nan, 0.0, T), r"^lat: nan is not a latitude"),
    (lambda: havorkastilo.displacement(0.0, 360.5, T),
     r"^lon: 360.5 is not a longitude in degrees from -360 to 360$"),
    (lambda: havorkastilo.displacement(0.0, -np.inf, T), r"^lon: -inf is not a longitude"),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, 1.5e7),
     r"^height: 15000000.0 is not an ellipsoidal height in metres"),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, np.nan), r"^height: nan is not"),
    (lambda: havorkastilo.displacement("north", 0.0, T),
     r"^lat: 'north' is not a number or an array of numbers$"),
    (lambda: havorkastilo.displacement(0.0, 0.0, "2019-02-29T00:00:00"),
     r"^time: '2019-02-29T00:00:00' has no such date$"),
    (lambda: havorkastilo.displacement(0.0, 0.0, "2019-01-17T24:00:00"), r"no such time of day"),
    (lambda: havorkastilo.displacement(0.0, 0.0, "2016-12-31T23:59:60Z"),
     r"leap seconds are not counted"),
    (lambda: havorkastilo.displacement(0.0, 0.0, "17 January 2019"),
     r"^time: '17 January 2019' is not an ISO 8601 time"),
    (lambda: havorkastilo.displacement(0.0, 0.0, "2019-01-17T12:00+25:00"), r"no such UTC offset"),
    (lambda: havorkastilo.displacement(0.0, 0.0, np.datetime64("NaT")), r"^time: NaT is not a time$"),
    (lambda: havorkastilo.displacement(0.0, 0.0, np.array(["2019-01-17", "NaT"], "datetime64[s]")),
     r"^time: NaT is not a time$"),
    (lambda: havorkastilo.displacement(0.0, 0.0, 58500.5),
     r"^time: an array of float64 is not an array of times"),
    (lambda: havorkastilo.displacement(0.0, 0.0, np.array([T, 3], dtype=object)),
     r"^time: 3 \(of type int\) is not a time"),
    (lambda: havorkastilo.displacement([1.0, 2.0], [1.0, 2.0, 3.0], T),
     r"^lat \(2,\), lon \(3,\), time \(\) and height \(\): these shapes do not broadcast"),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, ephemeris="de440"),
     r"""^ephemeris: 'de440' is neither "series" nor "precise"$"""),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, frame="neu"),
     r"""^frame: 'neu' is neither "enu" nor "ecef"$"""),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, threads=0),
     r"^threads: 0 is not a number of threads from 1 to 256$"),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, threads=257), r"^threads: 257 is not"),
    (lambda: havorkastilo.displacement(0.0, 0.0, T, threads=2.0),
     r"^threads: 2.0 is not a whole number of threads$"),
    (lambda: havorkastilo.sun_moon("yesterday"), r"^time: 'yesterday' is not an ISO 8601 time"),
    (lambda: pysolid.calc_solid_earth_tides_point(34.0, -118.0, dt.datetime(2020, 1, 2),
                                                  dt.datetime(2020, 1, 1), verbose=False),
     r"^dt1: 2020-01-01T00:00:00.000000 is before dt0: 2020-01-02T00:00:00.000000$"),
    (lambda: pysolid.calc_solid_earth_tides_point(34.0, -118.0, dt.datetime(2020, 1, 1),
                                                  dt.datetime(2020, 1, 2), step_sec=0,
                                                  verbose=False),
     r"^step_sec: 0 is not a positive number of seconds$"),
    (lambda: pysolid.calc_solid_earth_tides_point(34.0, -118.0, dt.datetime(2020, 1, 1),
                                                  dt.datetime(2020, 1, 2), step_sec=1e-8,
                                                  verbose=False),
     r"^step_sec: 1e-08 is shorter than 1e-7 s$"),
    (lambda: pysolid.calc_solid_earth_tides_grid(dt.datetime(2020, 1, 1), {"LENGTH": 3},
                                                 verbose=False),
     r"^atr: the key 'WIDTH' is missing$"),
    (lambda: pysolid.calc_solid_earth_tides_grid(
        dt.datetime(2020, 1, 1), {"LENGTH": "3.5", "WIDTH": 2, "X_FIRST": 0, "Y_FIRST": 0,
                                  "X_STEP": 1, "Y_STEP": -1}, verbose=False),
     r"^atr\['LENGTH'\]: '3.5' is not a positive whole number$"),
    (lambda: pysolid.calc_solid_earth_tides_grid(
        dt.datetime(2020, 1, 1), {"LENGTH": 3, "WIDTH": 2, "X_FIRST": "west", "Y_FIRST": 0,
                                  "X_STEP": 1, "Y_STEP": -1}, verbose=False),
     r"^atr\['X_FIRST'\]: 'west' is not a number$"),
    (lambda: pysolid.calc_solid_earth_tides_grid(
        dt.datetime(2020, 1, 1), {"LENGTH": 3, "WIDTH": 2, "X_FIRST": 0, "Y_FIRST": 89,
                                  "X_STEP": 1, "Y_STEP": 1}, verbose=False),
     r"^lat: 90.5 is not a latitude"),
])
def test_messages(call, message):
    with pytest.raises(ValueError, match=message):
        call()


@pytest.mark.parametrize("lat, lon", [(90.0, 0.0), (-90.0, 0.0), (0.0, 360.0), (0.0, -360.0)])
def test_the_bounds_themselves_are_valid(lat, lon):
    assert np.isfinite(havorkastilo.displacement(lat, lon, T).up)


def test_the_heights_bounds_are_valid():
    assert np.isfinite(havorkastilo.displacement(45.0, 0.0, T, [-1e7 + 6.4e6, 1e7]).up).all()


def test_a_fault_of_the_core_is_a_value_error_in_english():
    # The point at the Earth's centre has no direction: the core reports it,
    # and the module turns its Slovenian report into English.
    with pytest.raises(ValueError, match="^the point is at the centre of the Earth"):
        havorkastilo.displacement(0.0, 0.0, T, -6378137.0)


def test_the_interpreter_goes_on_after_every_error():
    script = (
        "import havorkastilo\n"
        "for h in (-6378137.0, float('nan')):\n"
        "    try:\n"
        "        havorkastilo.displacement(0.0, 0.0, '2019-01-17', h)\n"
        "    except ValueError as e:\n"
        "        print('ValueError:', e)\n"
        "print('still here')\n"
    )
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines()[-1] == "still here"
    assert done.stdout.count("ValueError:") == 2
    assert done.stderr == ""
