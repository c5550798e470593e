"""grid() on rasters: a product's own grid (like=), radar geometry (lat=,
lon=), heights, per-pixel times and look angles from files, each node the
point computation's at the position GDAL/PROJ give, and the tool's file of
the same run read back equal."""

import os
import subprocess

import numpy as np
import pytest

import havorkastilo

from conftest import same_bits

xr = pytest.importorskip("xarray", reason="grid() returns an xarray Dataset (python3-xarray)")
gdal = pytest.importorskip("osgeo.gdal", reason="the rasters are made with GDAL (python3-gdal)")
osr = pytest.importorskip("osgeo.osr", reason="the rasters are made with GDAL (python3-gdal)")
if not havorkastilo._core.RASTERS:
    pytest.skip("this build of the module reads no rasters (it was built without GDAL)",
                allow_module_level=True)

T0 = np.datetime64("2019-01-17T05:21:33.1234567", "ns")
# A small UTM 33N product: 5 columns, 4 rows of 30 km pixels, north up.
UTM_GT = (400000.0, 30000.0, 0.0, 5200000.0, 0.0, -30000.0)


def make(path, bands, gt=None, epsg=None, point=False):
    """A float64 GeoTIFF of bands (2-D arrays, image row 0 first)."""
    bands = [np.asarray(b, dtype=np.float64) for b in bands]
    ny, nx = bands[0].shape
    ds = gdal.GetDriverByName("GTiff").Create(str(path), nx, ny, len(bands), gdal.GDT_Float64)
    if gt is not None:
        ds.SetGeoTransform(gt)
    if epsg is not None:
        srs = osr.SpatialReference()
        srs.ImportFromEPSG(epsg)
        ds.SetProjection(srs.ExportToWkt())
    if point:
        ds.SetMetadataItem("AREA_OR_POINT", "Point")
    for k, b in enumerate(bands):
        ds.GetRasterBand(k + 1).WriteArray(b)
    ds = None
    return str(path)


def lon_lat(epsg, x, y):
    """Longitudes and latitudes of projected points through PROJ, as GDAL's
    OCTTransform gives them (traditional GIS order)."""
    src, dst = osr.SpatialReference(), osr.SpatialReference()
    src.ImportFromEPSG(epsg)
    dst.ImportFromEPSG(4326)
    for s in (src, dst):
        s.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    points = osr.CoordinateTransformation(src, dst).TransformPoints(
        np.column_stack([x.ravel(), y.ravel()]).tolist())
    p = np.array(points)
    return p[:, 0].reshape(x.shape), p[:, 1].reshape(x.shape)


def test_a_utm_products_grid_node_by_node(tmp_path):
    like = make(tmp_path / "v.tif", [np.zeros((4, 5))], UTM_GT, 32633)
    ds = havorkastilo.grid(like=like, time=T0, components="n,e,u")
    assert ds.up.dims == ("y", "x") and ds.up.shape == (4, 5)
    # Pixel centres; rows from south to north, as in the tool's netCDF.
    x = 400000.0 + (np.arange(5) + 0.5) * 30000.0
    y = 5200000.0 - (np.arange(4)[::-1] + 0.5) * 30000.0
    assert same_bits(ds.x, x) and same_bits(ds.y, y)
    assert ds.x.attrs["units"] == "m" and ds.y.attrs["standard_name"] == "projection_y_coordinate"
    lon, lat = lon_lat(32633, *np.meshgrid(x, y))
    want = havorkastilo.displacement(lat, lon, T0)
    for name in ("north", "east", "up"):
        assert same_bits(ds[name].values, getattr(want, name)), name
        assert ds[name].attrs["grid_mapping"] == "crs"
    crs = ds.crs.attrs
    assert crs["grid_mapping_name"] == "transverse_mercator"
    assert crs["longitude_of_central_meridian"] == 15.0 and crs["false_easting"] == 500000.0
    assert crs["scale_factor_at_central_meridian"] == 0.9996 and crs["epsg_code"] == "EPSG:32633"
    assert [float(v) for v in crs["GeoTransform"].split()] == list(UTM_GT)
    back = osr.SpatialReference()
    assert back.ImportFromWkt(crs["crs_wkt"]) == 0 and back.GetUTMZone() == 33
    assert ds.attrs["node_offset"] == 1 and ds.attrs["like_raster"] == like
    assert ds.attrs["node_registration"] == "pixel-is-area (cell centres) of " + like


def test_a_geographic_pixel_is_point_raster_has_lat_lon_axes(tmp_path):
    # GDAL reads a pixel-is-point GeoTIFF's geotransform as the corner of a
    # pixel centred on the tie point: the node at (10, 46) is the first.
    like = make(tmp_path / "p.tif", [np.zeros((3, 4))], (9.875, 0.25, 0, 46.125, 0, -0.25), 4326,
                point=True)
    ds = havorkastilo.grid(like=like, time=T0)
    assert ds.up.dims == ("lat", "lon")
    assert same_bits(ds.lon, 10.0 + 0.25 * np.arange(4))
    assert same_bits(ds.lat, 45.5 + 0.25 * np.arange(3))
    assert ds.attrs["node_offset"] == 0 and ds.crs.attrs["epsg_code"] == "EPSG:4326"
    on_grid = havorkastilo.grid((10, 10.75, 45.5, 46), 0.25, T0)
    assert same_bits(ds.up.values, on_grid.up.values)


def test_radar_geometry_with_a_dem_and_row_times(tmp_path):
    rng = np.random.default_rng(5)
    lat = 44.0 + rng.random((6, 7)) * 2.0  # no order at all: each pixel its own position
    lon = 13.0 + rng.random((6, 7)) * 3.0
    dem = rng.random((6, 7)) * 2500.0
    dem[2, 3] = np.nan  # no data
    paths = [make(tmp_path / f"{n}.tif", [a]) for n, a in (("lat", lat), ("lon", lon), ("dem", dem))]
    t1 = T0 + np.timedelta64(25, "s")
    ds = havorkastilo.grid(lat=paths[0], lon=paths[1], dem=paths[2], row_time=(T0, t1))
    # The rasters' own row order, no coordinates and no grid mapping.
    assert ds.up.dims == ("y", "x") and "x" not in ds.coords and "crs" not in ds
    assert "grid_mapping" not in ds.up.attrs
    assert ds.time.dims == ("y",) and ds.time.values[0] == T0 and ds.time.values[-1] == t1
    want = havorkastilo.displacement(lat, lon, ds.time.values[:, None], np.nan_to_num(dem))
    ok = ~np.isnan(dem)
    for name in ("east", "north", "up"):
        assert same_bits(ds[name].values[ok], getattr(want, name)[ok]), name
        assert np.isnan(ds[name].values[2, 3])
    assert np.isnan(ds.up.values).sum() == 1 and ds.attrs["no_data_nodes"] == 1
    assert ds.attrs["dem_raster"] == paths[2] and "node_registration" not in ds.attrs


def test_per_pixel_times_and_look_angles_from_rasters(tmp_path):
    seconds = np.arange(20, dtype=np.float64).reshape(4, 5) * 1.25 + 0.12345678
    inc = 30.0 + np.arange(20).reshape(4, 5)
    az = np.full((4, 5), -102.0)
    times = make(tmp_path / "t.tif", [seconds], UTM_GT, 32633)
    angles = make(tmp_path / "a.tif", [inc, az], UTM_GT, 32633)
    ds = havorkastilo.grid(like=times, time=T0, time_raster=times, los_rasters=angles)
    assert list(ds.data_vars) == ["east", "north", "up", "los", "crs"]
    lon, lat = lon_lat(32633, *np.meshgrid(ds.x.values, ds.y.values))
    # The rasters' image rows run north to south, the Dataset's south to
    # north; each node at T0 plus its seconds, rounded to 100 ns.
    ticks = np.round(seconds[::-1] * 1e7).astype(np.int64) * 100
    want = havorkastilo.displacement(lat, lon, T0 + ticks.astype("timedelta64[ns]"))
    assert same_bits(ds.up.values, want.up) and same_bits(ds.east.values, want.east)
    assert np.allclose(ds.los.values, havorkastilo.los(want.east, want.north, want.up, inc[::-1],
                                                       az[::-1]), rtol=0, atol=1e-15)
    assert ds.attrs["los_rasters"] == angles and "los_incidence_azimuth_deg" not in ds.attrs
    # Two rasters, one band each, give the same.
    one = [make(tmp_path / f"{n}.tif", [a], UTM_GT, 32633) for n, a in (("i", inc), ("z", az))]
    two = havorkastilo.grid(like=times, time=T0, time_raster=times, los_rasters=one)
    assert same_bits(two.los.values, ds.los.values)
    assert two.attrs["los_rasters"] == one[0] + "," + one[1]


def test_the_tools_files_of_the_same_rasters_hold_the_same_values(tmp_path):
    tool = os.environ.get("HAVORKASTILO_GRID_EXE")
    if not tool or not os.access(tool, os.X_OK):
        pytest.skip("HAVORKASTILO_GRID_EXE names no built havorkastilo-grid to compare with")
    dem = make(tmp_path / "dem.tif", [np.linspace(0, 1900, 20).reshape(4, 5)], UTM_GT, 32633)
    out = tmp_path / "t.nc"
    subprocess.run([tool, "--like", dem, "--dem", dem, "-T2019-01-17T05:21:33.1234567Z",
                    "-Ce,n,u,los", "--los", "38/-102", "--type", "float64", "--quiet",
                    "-o", str(out)], check=True)
    ds = havorkastilo.grid(like=dem, dem=dem, time=T0, los=(38, -102), components="e,n,u,los")
    with xr.open_dataset(out) as f:
        assert same_bits(f.x.values, ds.x.values) and same_bits(f.y.values, ds.y.values)
        for name in ("east", "north", "up", "los"):
            assert same_bits(f[name].values, ds[name].values), name
        for key in ("grid_mapping_name", "GeoTransform", "false_easting", "epsg_code"):
            assert f.crs.attrs[key] == ds.crs.attrs[key], key
        # The same CRS, though PROJ may spell its datum otherwise in another
        # process (WGS 84's ensemble).
        a, b = osr.SpatialReference(), osr.SpatialReference()
        assert a.ImportFromWkt(f.crs.attrs["crs_wkt"]) == 0
        assert b.ImportFromWkt(ds.crs.attrs["crs_wkt"]) == 0 and a.IsSame(b)
        assert f.attrs["node_registration"] == ds.attrs["node_registration"]
    # Radar geometry: the tool's netCDF rows run from the rasters' last.
    lat = make(tmp_path / "lat.tif", [np.linspace(44, 45, 12).reshape(3, 4)])
    lon = make(tmp_path / "lon.tif", [np.linspace(13, 15, 12).reshape(3, 4)])
    subprocess.run([tool, "--lat", lat, "--lon", lon, "-T2019-01-17T05:21:33.1234567Z",
                    "--type", "float64", "--quiet", "-o", str(out)], check=True)
    ds = havorkastilo.grid(lat=lat, lon=lon, time=T0)
    with xr.open_dataset(out) as f:
        assert same_bits(f.up.values[::-1], ds.up.values)


@pytest.fixture
def utm(tmp_path):
    return make(tmp_path / "u.tif", [np.zeros((4, 5))], UTM_GT, 32633)


@pytest.mark.parametrize("kwargs, message", [
    (dict(region=(10, 12, 44, 46)), r"^region and like both give the nodes; give one of them$"),
    (dict(spacing=0.5), r"^spacing and like both give the nodes; give one of them$"),
    (dict(pixel=True), r"^pixel does not apply to like"),
    (dict(lat="lat.tif"), r"^like and lat/lon both give the nodes; give one of them$"),
    (dict(dem="{utm}", height=10.0), r"^height and dem both give the heights; give one of them$"),
    (dict(los=(38, 102), los_rasters="{utm}"), r"^los and los_rasters both give the look angles"),
    (dict(components="u,los"), r"^components: 'u,los' asks for los, which needs"),
    (dict(time=[T0, T0], time_raster="{utm}"), r"^time_raster needs one time, .* 2 are given$"),
    (dict(time=None, row_time=(T0, T0), time_raster="{utm}"),
     r"^time_raster and row_time both give the nodes' times"),
    (dict(like="{missing}"), r"^like: cannot read '.*missing\.tif'"),
    (dict(dem="{other}"), r"^dem: '.*other\.tif' is 3 x 3 pixels, but "),
    (dict(los_rasters=("{utm}",)), r"^los_rasters: .* is neither one raster nor"),
    (dict(like=""), r"^like: '' is not the path of a raster$"),
    (dict(like=3.5), r"^like: 3\.5 is not the path of a raster$"),
])
def test_bad_raster_arguments_name_the_argument(tmp_path, utm, kwargs, message):
    other = make(tmp_path / "other.tif", [np.zeros((3, 3))], UTM_GT, 32633)
    fill = dict(utm=utm, other=other, missing=str(tmp_path / "missing.tif"))
    args = dict(like=utm, time=T0)
    for key, value in kwargs.items():
        args[key] = value.format(**fill) if isinstance(value, str) else value
    with pytest.raises(ValueError, match=message):
        havorkastilo.grid(**args)


def test_rasters_the_nodes_cannot_use(tmp_path):
    lat = make(tmp_path / "lat.tif", [np.full((2, 2), 45.0)])
    with pytest.raises(ValueError, match=r"^lat needs lon too"):
        havorkastilo.grid(lat=lat, time=T0)
    rotated = make(tmp_path / "r.tif", [np.zeros((2, 2))], (400000, 30, 5, 5200000, 5, -30), 32633)
    with pytest.raises(ValueError, match=r"^like: '.*r\.tif' has a rotated geotransform"):
        havorkastilo.grid(like=rotated, time=T0)
    bare = make(tmp_path / "bare.tif", [np.zeros((2, 2))])
    with pytest.raises(ValueError, match=r"^like: '.*bare\.tif' has no geotransform"):
        havorkastilo.grid(like=bare, time=T0)
    with pytest.raises(ValueError, match=r"^region is missing"):
        havorkastilo.grid(time=T0)
