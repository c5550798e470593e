"""grid(): the grid tool's nodes as an xarray Dataset, each node the point
computation's, and the tool's own file read back equal to it."""

import os
import subprocess
import sys

import numpy as np
import pytest

import havorkastilo

from conftest import same_bits

xr = pytest.importorskip("xarray", reason="grid() returns an xarray Dataset (python3-xarray)")

TIMES = np.array(["2019-01-17T05:21:33.1234567", "2019-01-17T12:00", "2020-02-29T23:59:59.9999999"],
                 dtype="datetime64[ns]")


def test_every_node_is_the_point_computation_to_the_last_bit():
    ds = havorkastilo.grid((10, 12, 44, 46), 0.25, TIMES, height=812.5,
                           components="n,e,u,x,y,z")
    assert list(ds.data_vars) == ["north", "east", "up", "ecef_x", "ecef_y", "ecef_z", "crs"]
    assert ds.up.dims == ("time", "lat", "lon") and ds.up.shape == (3, 9, 9)
    lat = 44 + 0.25 * np.arange(9)  # each node from the region's corner, exact in binary
    lon = 10 + 0.25 * np.arange(9)
    assert same_bits(ds.lat, lat) and same_bits(ds.lon, lon)
    enu = havorkastilo.displacement(lat[None, :, None], lon[None, None, :], TIMES[:, None, None],
                                    812.5)
    ecef = havorkastilo.displacement(lat[None, :, None], lon[None, None, :],
                                     TIMES[:, None, None], 812.5, frame="ecef")
    for name, want in zip(["north", "east", "up", "ecef_x", "ecef_y", "ecef_z"],
                          [enu.north, enu.east, enu.up, ecef.x, ecef.y, ecef.z]):
        assert same_bits(ds[name].values, want), name
    assert (ds.time.values == TIMES).all()


def test_cell_centres_one_time_and_the_precise_ephemeris():
    ds = havorkastilo.grid("-1/1/-1/1", "30m", "2019-01-17T12:00Z", pixel=True, ephemeris="precise")
    assert ds.up.dims == ("lat", "lon") and ds.time.shape == ()
    assert ds.lat.values[0] == -0.75 and ds.lon.values[-1] == 0.75 and ds.lat.size == 4
    assert ds.attrs["node_registration"] == "pixel (cell centres)" and ds.attrs["node_offset"] == 1
    want = havorkastilo.displacement(ds.lat.values[:, None], ds.lon.values[None, :],
                                     "2019-01-17T12:00Z", ephemeris="precise")
    assert same_bits(ds.east.values, want.east)
    assert "ERFA" in ds.attrs["ephemeris"] or "precise" in ds.attrs["ephemeris"].lower()
    # An array of one time keeps the time dimension.
    one = havorkastilo.grid("-1/1/-1/1", 0.5, ["2019-01-17T12:00Z"])
    assert one.up.dims == ("time", "lat", "lon") and one.up.shape == (1, 5, 5)


def test_the_line_of_sight_and_the_along_track_component():
    ds = havorkastilo.grid((10, 11, 45, 46), 0.5, "2019-01-17T12:00", components="u,azimuth",
                           los=(38.0, 102.0))
    assert list(ds.data_vars) == ["up", "azimuth", "los", "crs"]
    full = havorkastilo.grid((10, 11, 45, 46), 0.5, "2019-01-17T12:00")
    e, n, u = full.east.values, full.north.values, full.up.values
    # The projections of the extended-precision components, rounded once,
    # against numpy's of the rounded components.
    assert np.allclose(ds.los.values, havorkastilo.los(e, n, u, 38.0, 102.0), rtol=0, atol=1e-15)
    track = np.radians(102.0 + 90.0)  # the track's azimuth, anticlockwise from north
    assert np.allclose(ds.azimuth.values, -e * np.sin(track) + n * np.cos(track), rtol=0, atol=1e-15)
    assert "towards the satellite" in ds.los.attrs["long_name"]
    assert list(ds.attrs["los_incidence_azimuth_deg"]) == [38.0, 102.0]
    with pytest.raises(ValueError, match="^incidence: 91.0 is not an incidence angle"):
        havorkastilo.grid((10, 11, 45, 46), 0.5, "2019-01-17T12:00", los=(91, 0))


def test_each_row_at_its_own_time():
    t0, t1 = np.datetime64("2019-01-17T05:21:33.1234567", "ns"), np.datetime64("2019-01-17T05:21:58", "ns")
    ds = havorkastilo.grid((10, 11, 45, 46), 0.25, row_time=(t0, t1))
    assert ds.time.dims == ("lat",)
    # The northernmost row (the last, rows run south to north) at T0, the
    # southernmost at T1, and a middle row half-way, to the 100 ns.
    assert ds.time.values[-1] == t0 and ds.time.values[0] == t1
    half = t0 + (t1 - t0) / 2
    assert abs(ds.time.values[2] - half) <= np.timedelta64(50, "ns")
    for j in (0, 2, 4):
        row = havorkastilo.grid((10, 11, 45, 46), 0.25, ds.time.values[j])
        assert same_bits(ds.up.values[j], row.up.values[j])
    with pytest.raises(ValueError, match="^time, row_time: give one of them$"):
        havorkastilo.grid((10, 11, 45, 46), 0.25, t0, row_time=(t0, t1))
    with pytest.raises(ValueError, match="^row_time: .* ends before it begins$"):
        havorkastilo.grid((10, 11, 45, 46), 0.25, row_time=(t1, t0))


@pytest.mark.parametrize("kwargs, message", [
    (dict(region=(12, 10, 44, 46)), r"^region: .*inverted"),
    (dict(region=(10, 12, 44, 96)), r"^region: .*latitude"),
    (dict(spacing=0.3), r"^spacing: '0\.3' does not divide"),
    (dict(spacing=0.0), r"^spacing: .*above zero"),
    (dict(components="e,w"), r"^components: 'w'"),
    (dict(time="2200-01-01T00:00"), r"^time: "),
    (dict(height=[1.0, 2.0]), r"^height: "),
])
def test_bad_arguments_name_the_argument(kwargs, message):
    args = dict(region=(10, 12, 44, 46), spacing=0.5, time="2019-01-17T12:00")
    args.update(kwargs)
    with pytest.raises(ValueError, match=message):
        havorkastilo.grid(args.pop("region"), args.pop("spacing"), args.pop("time"), **args)


def test_without_xarray_it_says_to_install_it(monkeypatch):
    monkeypatch.setitem(sys.modules, "xarray", None)
    with pytest.raises(ImportError, match="needs xarray: install it"):
        havorkastilo.grid((10, 12, 44, 46), 0.5, "2019-01-17T12:00")


def test_the_tools_float64_file_holds_the_same_values(tmp_path):
    tool = os.environ.get("HAVORKASTILO_GRID_EXE")
    if not tool or not os.access(tool, os.X_OK):
        pytest.skip("HAVORKASTILO_GRID_EXE names no built havorkastilo-grid to compare with")
    path = tmp_path / "t.nc"
    subprocess.run([tool, "-R10/12/44/46", "-I15m", "-T2019-01-17T05:21:33.1234567Z",
                    "-T2019-01-17T12:00:00Z", "-Ce,n,u,los", "--los", "38/-102", "--type",
                    "float64", "--quiet", "-o", str(path)], check=True)
    ds = havorkastilo.grid((10, 12, 44, 46), "15m", TIMES[:2], los=(38, -102))
    with xr.open_dataset(path) as f:
        assert same_bits(f.lat.values, ds.lat.values) and same_bits(f.lon.values, ds.lon.values)
        assert (f.time.values == ds.time.values).all()
        for name in ("east", "north", "up", "los"):
            assert same_bits(f[name].values, ds[name].values), name
            assert f[name].attrs["long_name"] == ds[name].attrs["long_name"]
        for key in ("Conventions", "model", "ephemeris", "node_registration", "los_convention"):
            assert f.attrs[key] == ds.attrs[key], key
