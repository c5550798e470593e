"""Times of every accepted kind turned into ticks: whole multiples of 100 ns
since 1970-01-01T00:00:00 UTC, counted in days of 86400 s (no leap seconds,
as numpy and the program count them).

A time finer than 100 ns is rounded to the nearest tick, a tie (exactly
50 ns) to the later tick.  The valid span is 1901-01-01T00:00:00 to
2199-12-31T23:59:59.9999999 UTC.
"""

import datetime as _dt
import math
import re
import sys

import numpy as np

from . import _core

TICKS_PER_SECOND = 10_000_000
_TICKS_PER_DAY = 86400 * TICKS_PER_SECOND
_EPOCH = _dt.datetime(1970, 1, 1)
_ATTOSECONDS_PER_TICK = 10**11

# Lengths of numpy's linear datetime units in attoseconds.
_UNIT_AS = {
    "W": 7 * 86400 * 10**18,
    "D": 86400 * 10**18,
    "h": 3600 * 10**18,
    "m": 60 * 10**18,
    "s": 10**18,
    "ms": 10**15,
    "us": 10**12,
    "ns": 10**9,
    "ps": 10**6,
    "fs": 10**3,
    "as": 1,
}

_ISO = re.compile(
    r"""\s*(?P<y>\d{4})-?(?P<mo>\d{2})-?(?P<d>\d{2})
    (?:[T\s](?P<h>\d{2})(?::?(?P<mi>\d{2})(?::?(?P<s>\d{2})(?:[.,](?P<f>\d+))?)?)?
    \s*(?P<z>Z|[+-]\d{2}(?::?\d{2})?)?)?\s*$""",
    re.VERBOSE,
)


def _describe(value):
    text = repr(value)
    return text if len(text) <= 80 else text[:77] + "..."


def _span_error(name, value):
    return ValueError(
        f"{name}: {_describe(value)} is outside 1901-01-01T00:00:00 to "
        "2199-12-31T23:59:59.9999999 UTC"
    )


def _check_span(ticks, name, original):
    """Refuses ticks outside the span, quoting the first such element of
    original (an array of ticks' shape)."""
    bad = (ticks < _core.FIRST_TICK) | (ticks >= _core.END_TICK)
    if np.any(bad):
        raise _span_error(name, np.ravel(original)[np.flatnonzero(np.ravel(bad))[0]])


def _round_div(num, den):
    """num / den rounded to the nearest integer, ties upward (num an int64
    array or an int, den a positive int small enough for the products)."""
    return (2 * num + den) // (2 * den)


def _from_datetime64(a, name):
    a = np.asarray(a)
    if np.any(np.isnat(a)):
        raise ValueError(f"{name}: NaT is not a time")
    unit, count = np.datetime_data(a.dtype)
    if unit == "generic":
        raise ValueError(f"{name}: a datetime64 without a unit is not a time")
    if unit in ("Y", "M"):
        # Calendar units: checked in their own unit, then days exactly.
        per_year = 1 if unit == "Y" else 12
        v = a.astype(np.int64).astype(np.float64) * count
        bad = (v < (1901 - 1970) * per_year) | (v >= (2200 - 1970) * per_year)
        if np.any(bad):
            raise _span_error(name, np.ravel(a)[np.flatnonzero(np.ravel(bad))[0]])
        a = a.astype("datetime64[D]")
        unit, count = "D", 1
    v = a.astype(np.int64)
    length = _UNIT_AS[unit] * count  # attoseconds per unit
    # First a check in floating point that the exact arithmetic below cannot
    # overflow: anything beyond the span by far is refused here.
    approx = v.astype(np.float64) * (length / _ATTOSECONDS_PER_TICK)
    _check_span(np.where(np.abs(approx) < 2e17, 0, approx), name, a)
    g = math.gcd(length, _ATTOSECONDS_PER_TICK)
    mul, den = length // g, _ATTOSECONDS_PER_TICK // g
    if den == 1:
        ticks = v * np.int64(mul)
    else:
        # v = q den + r with 0 <= r < den; ticks = q mul + r mul / den.
        q, r = np.divmod(v, np.int64(den))
        ticks = q * np.int64(mul) + _round_div(r * np.int64(mul), np.int64(den))
    ticks = np.asarray(ticks, dtype=np.int64)
    _check_span(ticks, name, a)
    return ticks


def _from_datetime(t, name):
    if t.tzinfo is not None and t.utcoffset() is not None:
        t = t.astimezone(_dt.timezone.utc).replace(tzinfo=None)
    else:
        t = t.replace(tzinfo=None)
    d = t - _EPOCH
    ticks = (d.days * 86400 + d.seconds) * TICKS_PER_SECOND + d.microseconds * 10
    nanosecond = getattr(t, "nanosecond", 0)  # pandas.Timestamp keeps them
    ticks += _round_div(nanosecond, 100)
    if not _core.FIRST_TICK <= ticks < _core.END_TICK:
        raise _span_error(name, t)
    return ticks


def _from_string(text, name):
    m = _ISO.match(text)
    if not m:
        raise ValueError(
            f"{name}: {_describe(text)} is not an ISO 8601 time "
            "(YYYY-MM-DD, YYYY-MM-DDThh:mm:ss.sss, optionally with Z or +hh:mm)"
        )
    year, month, day = int(m["y"]), int(m["mo"]), int(m["d"])
    hour = int(m["h"] or 0)
    minute = int(m["mi"] or 0)
    second = int(m["s"] or 0)
    try:
        date = _dt.date(year, month, day)
    except ValueError:
        raise ValueError(f"{name}: {_describe(text)} has no such date") from None
    if hour > 23 or minute > 59:
        raise ValueError(f"{name}: {_describe(text)} has no such time of day")
    if second > 59:
        raise ValueError(
            f"{name}: {_describe(text)}: leap seconds are not counted (days of 86400 s)"
        )
    ticks = ((date - _EPOCH.date()).days * 86400 + hour * 3600 + minute * 60 + second)
    ticks *= TICKS_PER_SECOND
    fraction = m["f"] or ""
    if fraction:
        digits = int(fraction)
        places = len(fraction)
        if places <= 7:
            ticks += digits * 10 ** (7 - places)
        else:
            ticks += _round_div(digits, 10 ** (places - 7))
    zone = m["z"]
    if zone and zone != "Z":
        sign = -1 if zone[0] == "-" else 1
        hh = int(zone[1:3])
        mm = int(zone[-2:]) if len(zone) > 3 else 0
        if hh > 23 or mm > 59:
            raise ValueError(f"{name}: {_describe(text)} has no such UTC offset")
        ticks -= sign * (hh * 3600 + mm * 60) * TICKS_PER_SECOND
    if not _core.FIRST_TICK <= ticks < _core.END_TICK:
        raise _span_error(name, text)
    return ticks


def _pandas():
    return sys.modules.get("pandas")


def _one(x, name):
    if isinstance(x, _dt.datetime):  # pandas.Timestamp too
        return _from_datetime(x, name)
    if isinstance(x, np.datetime64):
        return int(_from_datetime64(x, name))
    if isinstance(x, str):
        return _from_string(x, name)
    if isinstance(x, _dt.date):
        return _from_datetime(_dt.datetime(x.year, x.month, x.day), name)
    pd = _pandas()
    if pd is not None and x is pd.NaT:
        raise ValueError(f"{name}: NaT is not a time")
    raise ValueError(
        f"{name}: {_describe(x)} (of type {type(x).__name__}) is not a time: give "
        "numpy.datetime64, datetime.datetime, pandas.Timestamp or an ISO 8601 string"
    )


def to_ticks(time, name="time"):
    """The ticks (an int64 array of time's shape) of a time or an array of
    times."""
    pd = _pandas()
    if pd is not None:
        if isinstance(time, (pd.Series, pd.Index)) and (
            pd.api.types.is_datetime64_any_dtype(time.dtype)
        ):
            index = pd.DatetimeIndex(time)
            if index.hasnans:
                raise ValueError(f"{name}: NaT is not a time")
            if index.tz is not None:
                index = index.tz_convert("UTC").tz_localize(None)
            return _from_datetime64(index.values, name)
    if isinstance(time, (_dt.datetime, _dt.date, str, np.datetime64)):
        return np.asarray(_one(time, name), dtype=np.int64)
    a = np.asarray(time)
    if np.issubdtype(a.dtype, np.datetime64):
        return _from_datetime64(a, name)
    if a.dtype.kind in "OUS":
        out = np.empty(a.shape, dtype=np.int64)
        flat = out.reshape(-1)
        for k, x in enumerate(a.reshape(-1)):
            flat[k] = _one(x.decode() if isinstance(x, bytes) else x, name)
        return out
    raise ValueError(
        f"{name}: an array of {a.dtype} is not an array of times: give numpy.datetime64, "
        "datetime.datetime, pandas.Timestamp or ISO 8601 strings"
    )
