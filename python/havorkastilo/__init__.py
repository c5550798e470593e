"""Solid Earth tide displacement (IERS Conventions 2010), vectorised over
numpy arrays.

The computing core of the Havorkastilo program, in 80-bit extended
precision: every value is the program's own for the same station and epoch,
rounded once to float64.

Functions
---------
displacement(lat, lon, time, height=0.0, *, ephemeris="series", frame="enu", threads=None)
    The displacement of points at times, broadcast as numpy broadcasts.
sun_moon(time, *, ephemeris="series", threads=None)
    The Earth-fixed positions of the Sun and the Moon.
los(east, north, up, incidence, azimuth)
    A displacement projected onto the line of sight to a radar satellite.
grid(region, spacing, time, *, like=None, lat=None, lon=None, dem=None, ...)
    A latitude/longitude grid, a product's own grid or radar-geometry
    positions, at one or many epochs or per-row or per-pixel times, as an
    xarray Dataset laid out as the grid tool's netCDF.

Submodules
----------
havorkastilo.pysolid
    PySolid's calc_solid_earth_tides_point and calc_solid_earth_tides_grid,
    argument for argument: ``import havorkastilo.pysolid as pysolid``.

Example
-------
>>> import numpy as np, havorkastilo
>>> t = np.arange("2019-01-17", "2019-01-18", np.timedelta64(1, "h"), dtype="datetime64[s]")
>>> d = havorkastilo.displacement(46.05, 14.5, t, 300.0)
>>> d.up.shape
(24,)
"""

import collections
import os

import numpy as np

from . import _core
from ._times import to_ticks as _to_ticks

__all__ = ["ENU", "ECEF", "SunMoon", "displacement", "grid", "los", "sun_moon"]
__version__ = "1.0.0"

ENU = collections.namedtuple("ENU", ["east", "north", "up"])
ENU.__doc__ = """Displacement in the local geodetic frame of each point, metres:
east, north, and up along the normal of the GRS80 ellipsoid."""

ECEF = collections.namedtuple("ECEF", ["x", "y", "z"])
ECEF.__doc__ = """Displacement in Earth-fixed geocentric axes, metres: x toward
the Greenwich meridian on the equator, z toward the north pole, y completing
a right-handed frame."""

SunMoon = collections.namedtuple("SunMoon", ["sun", "moon"])
SunMoon.__doc__ = """Geocentric positions of the Sun and the Moon in Earth-fixed axes
(those of ECEF), metres: arrays of the time's shape with a last axis of 3
(x, y, z)."""

_EPHEMERIDES = {"series": False, "precise": True}
_FRAMES = ("enu", "ecef")
# Below this many elements the work stays on the calling thread.
_THREADED_FROM = 8192


def _floats(value, name):
    try:
        a = np.asarray(value, dtype=np.float64)
    except (TypeError, ValueError):
        raise ValueError(f"{name}: {_short(value)} is not a number or an array of numbers") from None
    return a


def _short(value):
    text = repr(value)
    return text if len(text) <= 80 else text[:77] + "..."


def _refuse_first(a, bad, message):
    if np.any(bad):
        value = np.ravel(a)[np.flatnonzero(np.ravel(bad))[0]]
        raise ValueError(message.format(value=repr(float(value))))


def _points(lat, lon, height):
    lat = _floats(lat, "lat")
    lon = _floats(lon, "lon")
    height = _floats(height, "height")
    _refuse_first(lat, ~(np.abs(lat) <= 90.0),
                  "lat: {value} is not a latitude in degrees from -90 to 90")
    _refuse_first(lon, ~(np.abs(lon) <= 360.0),
                  "lon: {value} is not a longitude in degrees from -360 to 360")
    _refuse_first(height, ~(np.abs(height) <= 1e7),
                  "height: {value} is not an ellipsoidal height in metres from -1e7 to 1e7")
    return lat, lon, height


def _thread_count(threads):
    """The worker threads asked for: the affinity mask's count for None."""
    if threads is None:
        return len(os.sched_getaffinity(0))
    if isinstance(threads, bool) or not isinstance(threads, (int, np.integer)):
        raise ValueError(f"threads: {_short(threads)} is not a whole number of threads")
    if not 1 <= threads <= 256:
        raise ValueError(f"threads: {threads} is not a number of threads from 1 to 256")
    return int(threads)


def _threads(threads, size):
    """The threads for size elements: below _THREADED_FROM, the calling one."""
    count = _thread_count(threads)
    return count if size >= _THREADED_FROM else 1


def _precise(ephemeris):
    if not isinstance(ephemeris, str) or ephemeris not in _EPHEMERIDES:
        raise ValueError(f'ephemeris: {_short(ephemeris)} is neither "series" nor "precise"')
    return _EPHEMERIDES[ephemeris]


def _scalar_or_array(a):
    return a[()] if a.ndim == 0 else a


def _prepare(lat, lon, time, height, ephemeris, threads):
    precise = _precise(ephemeris)
    lat, lon, height = _points(lat, lon, height)
    ticks = _to_ticks(time)
    try:
        shape = np.broadcast_shapes(lat.shape, lon.shape, ticks.shape, height.shape)
    except ValueError:
        raise ValueError(
            f"lat {lat.shape}, lon {lon.shape}, time {ticks.shape} and height "
            f"{height.shape}: these shapes do not broadcast together"
        ) from None
    return lat, lon, height, ticks, precise, _threads(threads, int(np.prod(shape)))


def displacement(lat, lon, time, height=0.0, *, ephemeris="series", frame="enu", threads=None):
    """Solid Earth tide displacement of points at times.

    The model of the IERS Conventions (2010), chapter 7 (conventional
    tide-free), in 80-bit extended precision, as the Havorkastilo program
    computes it; each value is the program's rounded once to float64.

    Parameters
    ----------
    lat, lon : array_like of float
        Geodetic latitude (-90 to 90) and longitude (east positive, -360 to
        360) in degrees on the GRS80 ellipsoid.
    time : time or array_like of times
        UTC epochs, days of 86400 s, from 1901-01-01 to 2199-12-31:
        ``numpy.datetime64`` of any unit, ``datetime.datetime`` (naive means
        UTC; aware ones are converted to UTC), ``pandas.Timestamp``,
        ``pandas.DatetimeIndex`` or ``Series``, ISO 8601 strings
        (``"2019-01-17T12:00:00.5Z"``, ``"2019-01-17 12:00"``,
        ``"20190117T120000+01:00"``), or arrays of these.  Times are kept to
        100 ns: finer ones are rounded to the nearest 100 ns, a tie (50 ns)
        upward.
    height : array_like of float, optional
        Ellipsoidal height in metres (default 0).
    ephemeris : {"series", "precise"}, keyword-only
        Sun and Moon from the short analytic series (the default, the
        program's ``-ms``) or from ERFA (the program's ``-mp``).
    frame : {"enu", "ecef"}, keyword-only
        The result's axes: local east, north, up (up along the ellipsoid
        normal), or Earth-fixed geocentric x, y, z.
    threads : int, keyword-only
        Worker threads, 1 to 256; None (the default) takes one per
        processor of the process's affinity mask.  Inputs of fewer than 8192
        elements are computed on the calling thread.  The results are the
        same for every count.

    Returns
    -------
    ENU or ECEF
        A named tuple ``(east, north, up)`` or ``(x, y, z)`` of float64 arrays
        in metres, of the shape lat, lon, time and height broadcast to (numpy
        scalars for a shape of ()).

    Raises
    ------
    ValueError
        For an argument out of range or of the wrong kind, or shapes that
        do not broadcast; the message names the argument and the value.

    Notes
    -----
    The interpreter's lock is released during the computation, so other
    Python threads run, and calls from several threads at once are safe.
    Each distinct time's Sun, Moon and time arguments are computed once per
    call.

    Examples
    --------
    >>> import numpy as np, havorkastilo
    >>> d = havorkastilo.displacement(46.05, 14.5, np.datetime64("2019-01-17T12:00"), 300.0)
    >>> round(float(d.up), 6)
    -0.136633

    A grid at one epoch broadcasts a column of latitudes against a row of
    longitudes:

    >>> lat = np.linspace(40, 50, 101)[:, None]
    >>> lon = np.linspace(10, 20, 101)[None, :]
    >>> havorkastilo.displacement(lat, lon, "2019-01-17T12:00Z").up.shape
    (101, 101)
    """
    if not isinstance(frame, str) or frame not in _FRAMES:
        raise ValueError(f'frame: {_short(frame)} is neither "enu" nor "ecef"')
    lat, lon, height, ticks, precise, workers = _prepare(lat, lon, time, height, ephemeris,
                                                         threads)
    ecef = frame == "ecef"
    a, b, c = _core.displacement(lat, lon, height, ticks, precise, ecef, workers)
    kind = ECEF if ecef else ENU
    return kind(_scalar_or_array(a), _scalar_or_array(b), _scalar_or_array(c))


def sun_moon(time, *, ephemeris="series", threads=None):
    """Earth-fixed geocentric positions of the Sun and the Moon.

    Parameters
    ----------
    time : time or array_like of times
        UTC epochs, as for `displacement`.
    ephemeris : {"series", "precise"}, keyword-only
        The short analytic series (the default) or ERFA, as for
        `displacement`: the bodies the tide is computed with.
    threads : int, keyword-only
        Worker threads, as for `displacement`.

    Returns
    -------
    SunMoon
        A named tuple ``(sun, moon)`` of float64 arrays of shape
        ``time.shape + (3,)``: x, y, z in metres, in the axes of the ECEF
        frame (x toward Greenwich, z toward the north pole).

    Examples
    --------
    >>> import numpy as np, havorkastilo
    >>> b = havorkastilo.sun_moon("2019-01-17T12:00Z")
    >>> round(float(np.linalg.norm(b.moon)) / 1e3)
    372849
    """
    precise = _precise(ephemeris)
    ticks = _to_ticks(time)
    sun, moon = _core.sun_moon(ticks, precise, _threads(threads, ticks.size))
    return SunMoon(sun, moon)


def los(east, north, up, incidence, azimuth):
    """A displacement projected onto the line of sight to a radar satellite.

    ``los = -east*sin(inc)*sin(az) + north*sin(inc)*cos(az) + up*cos(inc)``,
    positive toward the satellite: the convention of MintPy's ``enu2los``
    and of the grid tool's ``los`` component.

    Parameters
    ----------
    east, north, up : array_like of float
        Displacement in the local frame, in any one unit (metres from
        `displacement`).
    incidence : array_like of float
        Incidence angle of the vector from the ground to the satellite,
        degrees from the vertical, 0 to 90.
    azimuth : array_like of float
        Azimuth of the vector from the ground to the satellite, degrees from
        north, anticlockwise positive (east is -90): about +102 for
        Sentinel-1 ascending, -102 descending.

    Returns
    -------
    numpy.ndarray of float64
        The projection, in the unit of the displacement, of the shape all
        five broadcast to (a numpy scalar for a shape of ()).  NaN in any
        input gives NaN there.

    Raises
    ------
    ValueError
        For an incidence outside 0-90 or an infinite azimuth (the message
        quotes the first such value), or shapes that do not broadcast.

    Examples
    --------
    A vertical look sees the up component; a satellite due west at 90
    degrees sees an eastward motion as going away from it:

    >>> import havorkastilo
    >>> float(havorkastilo.los(0.01, 0.02, 0.03, 0.0, 0.0))
    0.03
    >>> float(havorkastilo.los(0.01, 0.0, 0.0, 90.0, 90.0))
    -0.01
    """
    e, n, u = (_floats(v, k) for v, k in ((east, "east"), (north, "north"), (up, "up")))
    inc = _floats(incidence, "incidence")
    az = _floats(azimuth, "azimuth")
    _refuse_first(inc, ~((inc >= 0.0) & (inc <= 90.0)) & ~np.isnan(inc),
                  "incidence: {value} is not an incidence angle in degrees from 0 to 90")
    _refuse_first(az, np.isinf(az), "azimuth: {value} is not an azimuth in degrees")
    try:
        np.broadcast_shapes(e.shape, n.shape, u.shape, inc.shape, az.shape)
    except ValueError:
        raise ValueError(
            f"east {e.shape}, north {n.shape}, up {u.shape}, incidence {inc.shape} and "
            f"azimuth {az.shape}: these shapes do not broadcast together"
        ) from None
    i, a = np.deg2rad(inc), np.deg2rad(az)
    return _scalar_or_array(np.asarray(
        -e * np.sin(i) * np.sin(a) + n * np.sin(i) * np.cos(a) + u * np.cos(i)))


_los = los


def _degrees_text(value, name):
    try:
        number = float(value)
    except (TypeError, ValueError):
        raise ValueError(f"{name}: {_short(value)} is not a number of degrees") from None
    return repr(number)


def _region_text(region):
    if isinstance(region, str):
        return region
    try:
        parts = list(region)
    except TypeError:
        parts = None
    if parts is None or len(parts) != 4:
        raise ValueError(f"region: {_short(region)} is neither \"W/E/S/N\" nor (W, E, S, N)")
    return "/".join(_degrees_text(v, "region") for v in parts)


def _spacing_text(spacing):
    if isinstance(spacing, str):
        return spacing
    if isinstance(spacing, (tuple, list)):
        if len(spacing) != 2:
            raise ValueError(f"spacing: {_short(spacing)} is neither DX nor (DX, DY)")
        return "/".join(_degrees_text(v, "spacing") for v in spacing)
    return _degrees_text(spacing, "spacing")


def _components_text(components):
    if isinstance(components, str):
        return components
    try:
        return ",".join(str(c) for c in components)
    except TypeError:
        raise ValueError(f"components: {_short(components)} is not a list of components") from None


def _path(value, name):
    """A raster's path (str or os.PathLike) as text, or "" for None."""
    if value is None:
        return ""
    try:
        path = os.fsdecode(os.fspath(value))
    except TypeError:
        raise ValueError(f"{name}: {_short(value)} is not the path of a raster") from None
    if not path:
        raise ValueError(f"{name}: '' is not the path of a raster")
    return path


def _los_rasters(value):
    """los_rasters: one raster (bands 1 and 2) or (incidence, azimuth)."""
    if value is None:
        return "", ""
    if isinstance(value, (tuple, list)):
        if len(value) != 2:
            raise ValueError(f"los_rasters: {_short(value)} is neither one raster nor "
                             "(incidence, azimuth) rasters")
        return _path(value[0], "los_rasters"), _path(value[1], "los_rasters")
    path = _path(value, "los_rasters")
    return path, path


def grid(region=None, spacing=None, time=None, *, like=None, lat=None, lon=None, row_time=None,
         pixel=False, height=0.0, dem=None, time_raster=None, components="e,n,u",
         ephemeris="series", los=None, los_rasters=None, threads=None):
    """The solid Earth tide over an area, as an xarray Dataset laid out as
    the grid tool's netCDF.

    Every node is computed exactly, at its own position and time, by the
    grid tool's code: the values are those of ``havorkastilo-grid --type
    float64`` and of `displacement` at the same nodes, to the last bit.

    The nodes are a latitude/longitude grid (`region` and `spacing`), the
    pixels of an existing raster in its own CRS (`like`), or the positions
    of radar-geometry latitude and longitude rasters (`lat` and `lon`).
    Rasters are files that GDAL reads (GeoTIFF, netCDF, VRT, ISCE's files
    with their ``.vrt``); for positions already in numpy arrays, call
    `displacement` with them.

    Parameters
    ----------
    region : str or sequence of 4 floats
        ``"W/E/S/N"`` or ``(W, E, S, N)``, decimal degrees, as the tool's
        ``--region``.
    spacing : float, str or pair
        The node spacing in degrees, ``(DX, DY)``, or the tool's text
        (``"5m"`` for 5 arc minutes, ``"30s"``, ``"0.1/0.2"``).  It must
        divide the region.
    time : time or array_like of times
        UTC epochs, as for `displacement`.  One time gives a scalar ``time``
        coordinate; an array (even of one time) a ``time`` dimension.
    like : path, keyword-only
        Instead of `region` and `spacing`: the nodes of this raster, at its
        pixels' centres, in its CRS (EPSG:4326 or projected, such as UTM),
        turned into latitude and longitude through GDAL/PROJ.  A projected
        grid has ``y`` and ``x`` axes in the CRS's unit and a ``crs``
        variable with the CRS's WKT and GDAL's GeoTransform; a rotated
        geotransform is refused.
    lat, lon : path, keyword-only
        Instead of `region` and `spacing`: rasters of the same size giving
        every pixel's geodetic latitude and longitude in degrees (radar
        geometry).  The Dataset has dimensions ``y`` and ``x`` without
        coordinates, in the rasters' own row order (row 0 is their first).
    row_time : (T0, T1), keyword-only
        Instead of `time`: each row at its own time, the northernmost (for
        `lat` and `lon`, the first) at T0 and the last at T1, linear in
        between (rounded to 100 ns), as the tool's ``--row-time``.  ``time``
        is then a coordinate along the rows.
    pixel : bool, keyword-only
        Nodes at the cells' centres instead of on the grid lines (with
        `region` only).
    height : float, keyword-only
        Ellipsoidal height of every node, metres (default 0).
    dem : path, keyword-only
        Instead of `height`: ellipsoidal heights in metres on the same
        nodes (a raster of the same size and geotransform, or of the size of
        the `lat` and `lon` rasters); never resampled.
    time_raster : path, keyword-only
        Each node at the one `time` plus this raster's seconds (rounded to
        100 ns).
    components : str or sequence, keyword-only
        From ``n``, ``e``, ``u`` (local north, east, up), ``x``, ``y``,
        ``z`` (Earth-fixed), ``los`` and ``azimuth`` (which need `los` or
        `los_rasters`): the variables ``north``, ``east``, ``up``,
        ``ecef_x``, ``ecef_y``, ``ecef_z``, ``los``, ``azimuth``, in the
        order given.
    ephemeris : {"series", "precise"}, keyword-only
        As for `displacement`.
    los : (incidence, azimuth), keyword-only
        The look angles in degrees, constant over the grid, in the
        convention of `los`; the variable ``los`` is added when the
        components do not name it.  ``azimuth`` is the horizontal
        displacement along the track (MintPy's ``en2az``).
    los_rasters : path or (path, path), keyword-only
        Instead of `los`: every node's incidence and azimuth in degrees,
        from one raster's bands 1 and 2 or from two rasters.
    threads : int, keyword-only
        Worker threads, as for `displacement`; the values are the same for
        every count.

    Returns
    -------
    xarray.Dataset
        Dimensions ``lat`` and ``lon`` (``y`` and ``x`` for a projected or
        radar-geometry grid; and ``time`` for an array of times), rows from
        south to north except in radar geometry; float64 variables in metres
        with ``long_name`` and ``units`` (and ``grid_mapping``); a ``crs``
        variable; the global attributes ``Conventions``, ``title``,
        ``source``, ``model``, ``ephemeris``, ``node_registration`` and
        ``history`` (the rasters' paths, and the line of sight's convention
        and angles).  A node whose input raster has no data is NaN, and the
        attribute ``no_data_nodes`` counts such nodes.
        ``Dataset.to_netcdf`` writes it as a CF-1.8 file.

    Raises
    ------
    ImportError
        When xarray is not installed.
    ValueError
        For an argument the grid tool would refuse (an inverted region, a
        spacing that does not divide it, an unknown component, a time out of
        range, an incidence outside 0-90, a raster that cannot be read or
        does not fit the nodes): the message names the argument and quotes
        the value.

    Examples
    --------
    >>> import havorkastilo
    >>> ds = havorkastilo.grid((10, 20, 40, 50), 0.5, "2019-01-17T12:00Z")
    >>> ds.up.shape
    (21, 21)
    >>> float(ds.lat[0]), float(ds.lon[-1])
    (40.0, 20.0)

    On a product's own grid, with its heights and look angles::

        ds = havorkastilo.grid(like="velocity.tif", time="2019-01-17T05:21:33.25",
                               dem="dem.tif", los_rasters="los.tif",
                               components="e,n,u,los")
    """
    try:
        import xarray as xr
    except ImportError:
        raise ImportError(
            "havorkastilo.grid needs xarray: install it (Debian: python3-xarray; "
            "or pip install xarray)") from None
    precise = _precise(ephemeris)
    rasters = _core.RasterInputs()
    rasters.like = _path(like, "like")
    rasters.lat = _path(lat, "lat")
    rasters.lon = _path(lon, "lon")
    rasters.dem = _path(dem, "dem")
    rasters.time_raster = _path(time_raster, "time_raster")
    rasters.los_inc, rasters.los_az = _los_rasters(los_rasters)
    by_raster = "like" if rasters.like else "lat/lon" if rasters.lat or rasters.lon else None
    if rasters.like and (rasters.lat or rasters.lon):
        raise ValueError("like and lat/lon both give the nodes; give one of them")
    if by_raster:
        for name, value in (("region", region), ("spacing", spacing)):
            if value is not None:
                raise ValueError(f"{name} and {by_raster} both give the nodes; give one of them")
        if pixel:
            raise ValueError(f"pixel does not apply to {by_raster}: its nodes are the raster's pixels")
    elif region is None:
        raise ValueError("region is missing (or give like, or lat and lon)")
    elif spacing is None:
        raise ValueError("spacing is missing")
    if rasters.los_inc and los is not None:
        raise ValueError("los and los_rasters both give the look angles; give one of them")
    height = _floats(height, "height")
    if height.ndim != 0:
        raise ValueError(f"height: {_short(height.tolist())} is not one height in metres")
    _refuse_first(height, ~(np.abs(height) <= 1e5),
                  "height: {value} is not an ellipsoidal height in metres from -1e5 to 1e5")
    if rasters.dem and height != 0:
        raise ValueError("height and dem both give the heights; give one of them")
    if (time is None) == (row_time is None):
        raise ValueError("time, row_time: give one of them")
    if row_time is not None:
        try:
            first, last = row_time
        except (TypeError, ValueError):
            raise ValueError(f"row_time: {_short(row_time)} is not (T0, T1)") from None
        flat = np.array([_to_ticks(first, "row_time"), _to_ticks(last, "row_time")],
                        dtype=np.int64)
        if flat[1] < flat[0]:
            raise ValueError(f"row_time: {_short(row_time)} ends before it begins")
        stack = False
        if rasters.time_raster:
            raise ValueError("time_raster and row_time both give the nodes' times; give one of them")
    else:
        ticks = _to_ticks(time)
        if ticks.ndim > 1:
            raise ValueError(f"time: an array of shape {ticks.shape} is not a list of times")
        stack = ticks.ndim != 0
        flat = np.atleast_1d(ticks)
        if flat.size == 0:
            raise ValueError("time: no time is given")
        if rasters.time_raster and (stack or flat.size != 1):
            raise ValueError("time_raster needs one time, the epoch its seconds count from; "
                             f"{flat.size} are given")
    tokens = _components_text(components).split(",")
    inc = az = 0.0
    if los is not None:
        try:
            inc, az = los
        except (TypeError, ValueError):
            raise ValueError(f"los: {_short(los)} is not (incidence, azimuth) in degrees") from None
        inc, az = float(_floats(inc, "incidence")), float(_floats(az, "azimuth"))
        _los(0.0, 0.0, 0.0, inc, az)  # the angles' bounds, with the messages of los
    if (los is not None or rasters.los_inc) and "los" not in (t.strip().lower() for t in tokens):
        tokens.append("los")
    for token in tokens:
        if token.strip().lower() in ("los", "azimuth") and los is None and not rasters.los_inc:
            raise ValueError(f"components: {_short(_components_text(components))} asks for "
                             f"{token.strip().lower()}, which needs the look angles of los or "
                             "los_rasters")
    region_text = "" if by_raster else _region_text(region)
    spacing_text = "" if by_raster else _spacing_text(spacing)
    r = _core.grid(
        region_text, spacing_text, bool(pixel), float(height),
        flat[:1] if row_time is not None else flat, ",".join(tokens), precise,
        _thread_count(threads), los is not None, inc, az, row_time is not None,
        int(flat[-1]), rasters)
    values = r["values"]
    if r["degrees"]:
        ydim, xdim = "lat", "lon"
    else:
        ydim, xdim = "y", "x"
    dims = ("time", ydim, xdim) if stack else (ydim, xdim)
    mapped = r["y"] is not None
    data_vars = {}
    for k, (name, long_name) in enumerate(zip(r["names"], r["long_names"])):
        attrs = {"long_name": long_name, "units": "m"}
        if mapped:
            attrs["grid_mapping"] = "crs"
        data_vars[name] = (dims, values[:, k] if stack else values[0, k], attrs)
    if mapped:
        data_vars["crs"] = xr.DataArray(np.int32(0), attrs=dict(r["crs"]))
    time_attrs = {"standard_name": "time", "axis": "T"}
    if row_time is not None:
        time_coord = (ydim, (r["rows"] * 100).astype("datetime64[ns]"),
                      dict(time_attrs, long_name="epoch of each row, UTC"))
    else:
        times = (flat * 100).astype("datetime64[ns]")
        long_name = ("reference epoch, UTC: each node at this epoch plus its seconds in the "
                     "time raster" if rasters.time_raster else "epoch, UTC")
        time_coord = (("time",) if stack else (), times if stack else times[0],
                      dict(time_attrs, long_name=long_name))
    coords = {"time": time_coord}
    if r["degrees"]:
        coords["lat"] = ("lat", r["y"], {"standard_name": "latitude",
                                         "long_name": "geodetic latitude",
                                         "units": "degrees_north", "axis": "Y"})
        coords["lon"] = ("lon", r["x"], {"standard_name": "longitude", "long_name": "longitude",
                                         "units": "degrees_east", "axis": "X"})
    elif mapped:
        coords["y"] = ("y", r["y"], {"standard_name": "projection_y_coordinate",
                                     "long_name": "y coordinate of projection",
                                     "units": r["units"], "axis": "Y"})
        coords["x"] = ("x", r["x"], {"standard_name": "projection_x_coordinate",
                                     "long_name": "x coordinate of projection",
                                     "units": r["units"], "axis": "X"})
    call = []
    if by_raster:
        call += [f"{key}={value!r}" for key, value in
                 (("like", rasters.like), ("lat", rasters.lat), ("lon", rasters.lon)) if value]
    else:
        call += [f"region={region_text!r}", f"spacing={spacing_text!r}", f"pixel={bool(pixel)}"]
    call.append(f"dem={rasters.dem!r}" if rasters.dem else f"height={float(height)!r}")
    call += [f"components={','.join(tokens)!r}", f"ephemeris={ephemeris!r}"]
    if los is not None:
        call.append(f"los=({inc!r}, {az!r})")
    if rasters.los_inc:
        call.append(f"los_rasters={(rasters.los_inc, rasters.los_az)!r}"
                    if rasters.los_inc != rasters.los_az else f"los_rasters={rasters.los_inc!r}")
    if rasters.time_raster:
        call.append(f"time_raster={rasters.time_raster!r}")
    if row_time is not None:
        call.append(f"row_time={tuple(str(t) for t in (flat * 100).astype('datetime64[ns]'))!r}")
    attrs = {
        "Conventions": "CF-1.8",
        "title": "solid Earth tide displacement",
        "source": f"havorkastilo {__version__} (Python)",
        "model": _core.MODEL,
        "ephemeris": _core.EPHEMERIS_PRECISE if precise else _core.EPHEMERIS_SERIES,
        "history": "havorkastilo.grid(" + ", ".join(call) + ")",
    }
    attrs.update(r["attributes"])
    if los is not None or rasters.los_inc:
        attrs["los_convention"] = _core.LOS_CONVENTION
    if los is not None:
        attrs["los_incidence_azimuth_deg"] = np.array([inc, az])
    if r["no_data"]:
        attrs["no_data_nodes"] = np.int64(r["no_data"])
    return xr.Dataset(data_vars, coords=coords, attrs=attrs)
