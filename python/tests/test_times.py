"""Every kind of time names the same instant, fractions of a second kept to
100 ns, and the span 1901-2199 is held on both sides."""

import datetime as dt

import numpy as np
import pytest

import havorkastilo
from havorkastilo._times import to_ticks

# 2019-03-10T07:13:42.1234567Z in ticks of 100 ns since 1970: the days from
# 1970-01-01 to 2019-03-10 are 17965 (MJD 58552 - 40587).
TICKS = (17965 * 86400 + 7 * 3600 + 13 * 60 + 42) * 10**7 + 1234567


@pytest.mark.parametrize("time", [
    np.datetime64("2019-03-10T07:13:42.1234567", "ns"),
    np.datetime64(TICKS * 100, "ns").astype("datetime64[10ns]"),
    "2019-03-10T07:13:42.1234567Z",
    "2019-03-10T07:13:42.1234567",
    "2019-03-10 07:13:42,1234567",
    "20190310T071342.1234567Z",
    "2019-03-10T08:13:42.1234567+01:00",
    "2019-03-10T02:43:42.1234567-0430",
    "2019-03-10T07:13:42.12345670000Z",
    "2019-03-10T07:13:42.12345665Z",     # a tie of 50 ns goes up
    "2019-03-10T07:13:42.1234567499Z",   # below the tie, down
])
def test_the_same_instant(time):
    assert int(to_ticks(time)) == TICKS


def test_datetimes_and_timestamps():
    naive = dt.datetime(2019, 3, 10, 7, 13, 42, 123457)
    assert int(to_ticks(naive)) == TICKS + 3  # microseconds are what a datetime holds
    aware = dt.datetime(2019, 3, 10, 9, 13, 42, 123457,
                        tzinfo=dt.timezone(dt.timedelta(hours=2)))
    assert int(to_ticks(aware)) == TICKS + 3
    assert int(to_ticks(dt.date(2019, 3, 10))) == 17965 * 86400 * 10**7
    pd = pytest.importorskip("pandas", reason="pandas (python3-pandas) is not installed")
    assert int(to_ticks(pd.Timestamp("2019-03-10T07:13:42.123456700"))) == TICKS
    assert int(to_ticks(pd.Timestamp("2019-03-10T07:13:42.123456650"))) == TICKS
    assert int(to_ticks(pd.Timestamp("2019-03-10T07:13:42.123456649"))) == TICKS - 1
    assert int(to_ticks(pd.Timestamp("2019-03-10T08:13:42.1234567", tz="Europe/Ljubljana"))) == TICKS
    index = pd.date_range("2019-03-10T08:13:42.1234567", periods=3, freq=pd.Timedelta(hours=1), tz="Europe/Ljubljana")
    assert to_ticks(index).tolist() == [TICKS + k * 36 * 10**9 for k in range(3)]
    assert to_ticks(pd.Series(index.tz_localize(None))).tolist() == [
        TICKS + (k + 1) * 36 * 10**9 for k in range(3)]


def test_units_of_datetime64():
    day = 17965 * 86400 * 10**7
    assert int(to_ticks(np.datetime64("2019-03-10", "D"))) == day
    assert int(to_ticks(np.datetime64("2019-03", "M"))) == day - 9 * 86400 * 10**7
    assert int(to_ticks(np.datetime64("2019", "Y"))) == day - 68 * 86400 * 10**7
    assert int(to_ticks(np.datetime64("2019-03-10T07", "h"))) == day + 7 * 36 * 10**9
    assert int(to_ticks(np.datetime64("2019-03-10T07:13:42.123", "ms"))) == TICKS - 4567
    assert int(to_ticks(np.datetime64("2019-03-10T07:13:42.123457", "us"))) == TICKS + 3
    # Weeks count from Thursday 1970-01-01.
    assert int(to_ticks(np.datetime64(2514, "W"))) == 2514 * 7 * 86400 * 10**7


def test_rounding_to_100_ns_on_both_sides_of_1970():
    base = np.datetime64("1970-01-01T00:00:00", "ns")
    cases = {-151: -2, -150: -1, -149: -1, -51: -1, -50: 0, -49: 0, 0: 0, 49: 0, 50: 1, 149: 1,
             150: 2}
    got = to_ticks(base + np.array(list(cases), dtype="timedelta64[ns]"))
    assert got.tolist() == list(cases.values())
    # Picoseconds (their datetime64 reaches only some 106 days from 1970).
    ps = np.array([-150001, -149999, 49999, 50000], dtype="datetime64[ps]")
    assert to_ticks(ps).tolist() == [-2, -1, 0, 1]


def test_arrays_of_mixed_times_keep_their_shape():
    times = np.array([["2019-03-10T07:13:42.1234567Z", dt.datetime(2019, 3, 10)],
                      [np.datetime64("2019-03-10", "D"), "2019-03-10"]], dtype=object)
    got = to_ticks(times)
    assert got.shape == (2, 2)
    assert got.tolist() == [[TICKS, 17965 * 864 * 10**9]] + [[17965 * 864 * 10**9] * 2]
    assert to_ticks(["2019-03-10", "2019-03-11"]).tolist() == [
        17965 * 864 * 10**9, 17966 * 864 * 10**9]


def test_fractions_of_a_second_move_the_result():
    # 100 ns apart are two epochs (the Moon moves the tide by ~1e-11 m in
    # that time, which shows in the last bits), 49 ns apart round together.
    t = np.datetime64("2019-03-10T07:13:42.1234567", "ns")
    near = t + np.array([0, 49, 100], dtype="timedelta64[ns]")
    up = havorkastilo.displacement(46.0, 14.0, near).up
    assert up[0] == up[1]
    assert up[0] != up[2]


@pytest.mark.parametrize("time", [
    "1901-01-01T00:00:00Z",
    "2199-12-31T23:59:59.9999999Z",
    np.datetime64("1901-01-01T00:00:00.000000000", "ns"),
    np.datetime64("2199-12-31T23:59:59.99999995", "ns") - np.timedelta64(1, "ns"),
    "1901-01-01T01:00:00+01:00",
])
def test_first_and_last_valid_instants(time):
    havorkastilo.displacement(0.0, 0.0, time)


@pytest.mark.parametrize("time", [
    "1900-12-31T23:59:59.9999999Z",
    "2200-01-01T00:00:00Z",
    "2199-12-31T23:59:59.99999995Z",  # rounds up to 2200
    np.datetime64("2199-12-31T23:59:59.99999995", "ns"),
    "1901-01-01T00:30:00+01:00",
    np.datetime64("1900", "Y"),
    np.datetime64("2200-01", "M"),
    np.datetime64("1800-01-01", "D"),
    np.datetime64(10**18, "s"),
    dt.datetime(1900, 12, 31, 23, 59, 59, 999999),
    dt.datetime(2200, 1, 1),
])
def test_outside_the_span(time):
    with pytest.raises(ValueError, match="outside 1901-01-01T00:00:00 to 2199-12-31"):
        havorkastilo.displacement(0.0, 0.0, time)
