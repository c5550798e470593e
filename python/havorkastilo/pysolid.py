"""PySolid's two calls on the Havorkastilo core: switch with one import,

    import havorkastilo.pysolid as pysolid

The functions take PySolid's arguments with its meanings and return what it
returns (the order east, north, up, the shapes, the float64 arrays and the
array of datetime.datetime of the point call), with these differences:

- every value is the exact model (IERS Conventions 2010) in extended
  precision, not rounded through a text file, and every grid node is computed
  (step_size is accepted and needs no coarse grid);
- times keep their fractions of a second (to 100 ns);
- the end time of the point call bounds the series even when it falls on
  the day of the start (PySolid 0.2.3 then runs to the end of that day).

Times are UTC; naive datetimes mean UTC, as in PySolid.  The Sun and the Moon
come from the short analytic series, as in PySolid's code.
"""

import datetime as _dt

import numpy as np

from . import displacement as _displacement
from ._times import TICKS_PER_SECOND, to_ticks

__all__ = ["calc_solid_earth_tides_point", "calc_solid_earth_tides_grid"]

_TICKS_PER_DAY = 86400 * TICKS_PER_SECOND
_PREFIX = "havorkastilo.pysolid:"


def _ticks_of(value, name):
    ticks = to_ticks(value, name)
    if ticks.ndim != 0:
        raise ValueError(f"{name}: one time is expected, not an array of shape {ticks.shape}")
    return int(ticks)


def _iso(ticks):
    return np.datetime_as_string(np.datetime64(ticks * 100, "ns"), unit="us")


def _positive(value, name, unit):
    try:
        v = float(value)
    except (TypeError, ValueError):
        raise ValueError(f"{name}: {value!r} is not a number of {unit}") from None
    if not (v > 0 and np.isfinite(v)):
        raise ValueError(f"{name}: {value!r} is not a positive number of {unit}")
    return v


def calc_solid_earth_tides_point(lat, lon, dt0, dt1, step_sec=60, display=False, verbose=True):
    """Solid Earth tide at one point over a span of time, as PySolid's call.

    Parameters
    ----------
    lat, lon : float
        Latitude and longitude of the point, degrees (GRS80, height 0).
    dt0, dt1 : datetime.datetime (or any time `havorkastilo.displacement` takes)
        Start and end of the span, UTC (naive means UTC), dt0 <= dt1.
    step_sec : float
        Time step in seconds.  The times are those of PySolid: on each UTC
        day from dt0's to dt1's, midnight plus whole steps before the next
        midnight, kept when dt0 <= time <= dt1.
    display : bool
        Plot east, north and up against time with matplotlib (if installed).
    verbose : bool
        Print what is computed.

    Returns
    -------
    dt_out : numpy.ndarray of datetime.datetime
        The times, naive UTC (to the microsecond).
    tide_e, tide_n, tide_u : numpy.ndarray of float64
        Displacement east, north and up (along the ellipsoid normal), metres.

    Examples
    --------
    >>> import datetime as dt
    >>> import havorkastilo.pysolid as pysolid
    >>> dt_out, e, n, u = pysolid.calc_solid_earth_tides_point(
    ...     34.0, -118.0, dt.datetime(2020, 11, 1), dt.datetime(2020, 11, 2), verbose=False)
    >>> len(dt_out), u.dtype
    (1441, dtype('float64'))
    """
    if np.ndim(lat) or np.ndim(lon):
        raise ValueError("lat, lon: one point is expected, give numbers")
    t0 = _ticks_of(dt0, "dt0")
    t1 = _ticks_of(dt1, "dt1")
    if t1 < t0:
        raise ValueError(f"dt1: {_iso(t1)} is before dt0: {_iso(t0)}")
    step = round(_positive(step_sec, "step_sec", "seconds") * TICKS_PER_SECOND)
    if step < 1:
        raise ValueError(f"step_sec: {step_sec!r} is shorter than 1e-7 s")
    first_day = t0 // _TICKS_PER_DAY
    last_day = t1 // _TICKS_PER_DAY
    per_day = np.arange(0, _TICKS_PER_DAY, step, dtype=np.int64)
    days = np.arange(first_day, last_day + 1, dtype=np.int64) * _TICKS_PER_DAY
    ticks = (days[:, None] + per_day[None, :]).reshape(-1)
    ticks = ticks[(ticks >= t0) & (ticks <= t1)]
    times = (ticks * 100).astype("datetime64[ns]")
    if verbose:
        print(f"{_PREFIX} calculate solid Earth tides in east/north/up direction")
        print(f"{_PREFIX} lat/lon: {lat}/{lon} degree")
        print(f"{_PREFIX} start UTC: {_iso(t0)}")
        print(f"{_PREFIX} end   UTC: {_iso(t1)}")
        print(f"{_PREFIX} time step: {step_sec} seconds")
    d = _displacement(lat, lon, times, 0.0)
    e, n, u = (np.atleast_1d(np.asarray(c, dtype=np.float64)) for c in d)
    dt_out = times.astype("datetime64[us]").astype(object)
    if display:
        _plot_point(dt_out, e, n, u, lat, lon)
    return dt_out, e, n, u


def _attribute(atr, key, kind):
    try:
        value = atr[key]
    except (KeyError, TypeError):
        raise ValueError(f"atr: the key {key!r} is missing") from None
    try:
        v = kind(float(value)) if kind is int else float(value)
    except (TypeError, ValueError):
        raise ValueError(f"atr[{key!r}]: {value!r} is not a number") from None
    if kind is int and (v != float(value) or v < 1):
        raise ValueError(f"atr[{key!r}]: {value!r} is not a positive whole number")
    if not np.isfinite(v):
        raise ValueError(f"atr[{key!r}]: {value!r} is not a finite number")
    return v


def calc_solid_earth_tides_grid(dt_obj, atr, step_size=1e3, display=False, verbose=True):
    """Solid Earth tide on a latitude-longitude grid at one epoch, as PySolid's call.

    Parameters
    ----------
    dt_obj : datetime.datetime (or any time `havorkastilo.displacement` takes)
        The epoch, UTC (naive means UTC); fractions of a second are kept.
    atr : dict
        The grid, as MintPy's attributes (numbers or their texts): LENGTH
        and WIDTH (rows, columns), X_FIRST and Y_FIRST (longitude and
        latitude of the outer corner of the first pixel, degrees), X_STEP
        and Y_STEP (pixel size, degrees; Y_STEP negative for rows running
        south).  Each value is computed at its pixel's centre,
        Y_FIRST + (row + 0.5) Y_STEP, X_FIRST + (column + 0.5) X_STEP.
    step_size : float
        PySolid's spacing of a coarse grid, metres: accepted and not needed,
        since every pixel is computed exactly.
    display : bool
        Show the three components with matplotlib (if installed).
    verbose : bool
        Print what is computed.

    Returns
    -------
    tide_e, tide_n, tide_u : numpy.ndarray of float64, shape (LENGTH, WIDTH)
        Displacement east, north and up (along the ellipsoid normal), metres.

    Examples
    --------
    >>> import datetime as dt
    >>> import havorkastilo.pysolid as pysolid
    >>> atr = {"LENGTH": 400, "WIDTH": 500, "X_FIRST": -118.2, "Y_FIRST": 33.8,
    ...        "X_STEP": 0.001, "Y_STEP": -0.001}
    >>> e, n, u = pysolid.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), atr,
    ...                                               verbose=False)
    >>> u.shape
    (400, 500)
    """
    ticks = _ticks_of(dt_obj, "dt_obj")
    _positive(step_size, "step_size", "metres")
    length = _attribute(atr, "LENGTH", int)
    width = _attribute(atr, "WIDTH", int)
    x_first = _attribute(atr, "X_FIRST", float)
    y_first = _attribute(atr, "Y_FIRST", float)
    x_step = _attribute(atr, "X_STEP", float)
    y_step = _attribute(atr, "Y_STEP", float)
    lat = y_first + (np.arange(length) + 0.5) * y_step
    lon = x_first + (np.arange(width) + 0.5) * x_step
    if verbose:
        south, north = sorted((y_first, y_first + length * y_step))
        west, east = sorted((x_first, x_first + width * x_step))
        print(f"{_PREFIX} datetime: {_iso(ticks)}")
        print(f"{_PREFIX} SNWE: {(south, north, west, east)}")
        print(f"{_PREFIX} shape: {(length, width)}, every pixel computed")
    time = np.datetime64(ticks * 100, "ns")
    e, n, u = _displacement(lat[:, None], lon[None, :], time, 0.0)
    if display:
        _plot_grid(e, n, u, (x_first, x_first + width * x_step,
                             y_first + length * y_step, y_first), ticks)
    return e, n, u


def _pyplot():
    try:
        import matplotlib.pyplot as plt
    except ImportError:
        print(f"{_PREFIX} matplotlib is not installed: nothing is plotted")
        return None
    return plt


def _plot_point(dt_out, e, n, u, lat, lon):
    plt = _pyplot()
    if plt is None:
        return None
    fig, axes = plt.subplots(nrows=3, ncols=1, figsize=(12, 5), sharex=True)
    for ax, values, label in zip(axes, (e, n, u), ("East", "North", "Up")):
        ax.plot(dt_out, values * 100, label=label)
        ax.set_ylabel(f"{label} [cm]")
    axes[0].set_title(f"Solid Earth tides at (lat={lat}, lon={lon}) degree")
    fig.tight_layout()
    plt.show()
    return fig


def _plot_grid(e, n, u, extent, ticks):
    plt = _pyplot()
    if plt is None:
        return None
    fig, axes = plt.subplots(nrows=1, ncols=3, figsize=(12, 4), sharey=True)
    for ax, values, label in zip(axes, (e, n, u), ("East", "North", "Up")):
        image = ax.imshow(values * 100, extent=extent, interpolation="nearest")
        fig.colorbar(image, ax=ax, label="cm", orientation="horizontal")
        ax.set_title(label)
    fig.suptitle(f"Solid Earth tides at {_iso(ticks)} UTC")
    fig.tight_layout()
    plt.show()
    return fig
