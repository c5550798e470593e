"""The module computes what the program computes: for the same station and
epochs, the core's extended-precision displacement (the test-only
_core.displacement_longdouble) printed exactly to 9 decimals is the
program's CSV text, and the public float64 results are those long doubles
rounded once to nearest, bit for bit.

The stations' coordinates are binary fractions with short decimal texts, so
that the program's reading of the text (extended precision) and the
module's float64 argument are the same number; the epochs carry 7 decimals
of a second, which the program's strict reading keeps."""

import numpy as np
import pytest

import havorkastilo
from havorkastilo import _core
from conftest import fixed, run_csv, same_bits

STATIONS = [
    (46.0625, 14.5, 300.25),
    (-33.875, -70.625, 512.5),
    (89.9375, 179.75, 0.0),
    (0.0, -179.9921875, -25.0),
    (-89.5, 0.5, 4000.0),
    (12.3447265625, 101.0009765625, 1234.125),
]

COLUMNS = ["dn_m", "de_m", "du_m", "dx_m", "dy_m", "dz_m"]


def check_rows(program, station, start, end, step, times, ephemeris):
    lat, lon, h = station
    option = "-mp" if ephemeris == "precise" else "-ms"
    rows = run_csv(program, f"-pc{lat!r},{lon!r},{h!r}", f"-e1{start}", f"-e2{end}",
                   f"-ed{step}", option)
    assert len(rows) == len(times)
    ticks = havorkastilo._times.to_ticks(times)
    precise = ephemeris == "precise"
    exact = _core.displacement_longdouble(lat, lon, h, ticks, precise, 1)
    for k, row in enumerate(rows):
        got = [fixed(c[k], 9) for c in exact]
        want = [row[c] for c in COLUMNS]
        assert got == want, f"{station} at {row['utc']} ({ephemeris})"
        assert np.datetime_as_string(times[k], unit="ns")[:-2] + "Z" == row["utc"]
    enu = havorkastilo.displacement(lat, lon, times, h, ephemeris=ephemeris)
    xyz = havorkastilo.displacement(lat, lon, times, h, ephemeris=ephemeris, frame="ecef")
    north, east, up, x, y, z = (c.astype(np.float64) for c in exact)
    for mine, core in zip((*enu, *xyz), (east, north, up, x, y, z)):
        assert same_bits(mine, core)


@pytest.mark.parametrize("ephemeris", ["series", "precise"])
@pytest.mark.parametrize("station", STATIONS)
def test_rows_of_a_span_with_fractions_of_a_second(program, station, ephemeris):
    # 2 days in 3-hour steps from a start with 7 decimals of a second: the
    # program's epochs (start plus steps, exact here) and the module's
    # conversion of each time are the same long doubles.
    start = np.datetime64("2019-03-10T07:13:42.123456700", "ns")
    times = start + np.arange(17) * np.timedelta64(3, "h")
    check_rows(program, station, "2019-03-10/07:13:42.1234567", "2019-03-12/07:13:42.1234567",
               "03:00:00", times, ephemeris)


@pytest.mark.parametrize("ephemeris", ["series", "precise"])
@pytest.mark.parametrize("epoch", [
    "1901-01-01T00:00:00.000000000",
    "1901-01-01T00:00:00.000000100",
    "1969-12-31T23:59:59.999999900",
    "2016-12-31T23:59:59.500000000",
    "2017-01-01T00:00:00.000000000",
    "2100-02-28T23:59:59.999999900",
    "2100-03-01T12:00:00.000000000",
    "2199-12-31T23:59:59.999999900",
])
def test_single_epochs_at_the_edges(program, epoch, ephemeris):
    # The ends of the span, the day before 1970 (negative ticks), a leap
    # second's day and 2100, which is no leap year.
    t = np.datetime64(epoch, "ns")
    text = epoch.replace("T", "/")[:-2]
    check_rows(program, STATIONS[0], text, text, "01:00:00", np.array([t]), ephemeris)


def test_epoch_of_ticks_is_the_programs_sum():
    # m * 60 + s + h * 3600 in extended precision, s the double of the
    # decimal seconds: numpy.longdouble is the same x87 type.
    t = np.datetime64("2019-03-10T07:13:42.1234567", "ns")
    day, sod = _core.epoch_of_ticks(int(havorkastilo._times.to_ticks(t)))
    want = np.longdouble(13 * 60) + np.longdouble(float("42.1234567")) + np.longdouble(7 * 3600)
    assert day == 58552
    assert sod == want
