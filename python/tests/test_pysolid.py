"""havorkastilo.pysolid: PySolid's two calls, argument for argument, with
PySolid's results' order, shapes, dtypes and times, and its values within
1 mm east and north and 2.5 mm up (PySolid rounds through a text file and
takes its own Sun and Moon series)."""

import datetime as dt
import warnings

import numpy as np
import pytest

import havorkastilo
import havorkastilo.pysolid as mine

ATR = {"LENGTH": 40, "WIDTH": 50, "X_FIRST": -118.2, "Y_FIRST": 33.8, "X_STEP": 0.01,
       "Y_STEP": -0.01}


def reference():
    """Debian's python3-pysolid, when installed."""
    try:
        import pysolid
    except ImportError:
        pytest.skip("PySolid (Debian: python3-pysolid) is not installed: no comparison with it")
    return pysolid


def test_point_times_shapes_and_order():
    dt_out, e, n, u = mine.calc_solid_earth_tides_point(
        34.0, -118.0, dt.datetime(2020, 11, 1, 4, 0, 10), dt.datetime(2020, 11, 3, 5, 0, 30),
        step_sec=60, verbose=False)
    # Whole steps from each midnight within [dt0, dt1]: 04:01 to 05:00 two
    # days later.
    assert dt_out.dtype == object and isinstance(dt_out[0], dt.datetime)
    assert dt_out[0] == dt.datetime(2020, 11, 1, 4, 1) and dt_out[-1] == dt.datetime(2020, 11, 3, 5)
    assert len(dt_out) == 2 * 1440 + 60
    for c in (e, n, u):
        assert c.dtype == np.float64 and c.shape == dt_out.shape
    d = havorkastilo.displacement(34.0, -118.0, dt_out.astype("datetime64[us]"))
    assert np.array_equal(e, d.east) and np.array_equal(n, d.north) and np.array_equal(u, d.up)


def test_point_times_keep_fractions_and_the_end_on_one_day():
    dt_out, *_ = mine.calc_solid_earth_tides_point(
        0.0, 0.0, dt.datetime(2020, 1, 1, 0, 0, 0, 250000), dt.datetime(2020, 1, 1, 0, 0, 2),
        step_sec=0.5, verbose=False)
    assert list(dt_out) == [dt.datetime(2020, 1, 1, 0, 0, 0, 500000), dt.datetime(2020, 1, 1, 0, 0, 1),
                            dt.datetime(2020, 1, 1, 0, 0, 1, 500000), dt.datetime(2020, 1, 1, 0, 0, 2)]
    # A step that does not divide the day starts again at each midnight.
    dt_out, *_ = mine.calc_solid_earth_tides_point(
        0.0, 0.0, dt.datetime(2020, 1, 1, 23, 59, 0), dt.datetime(2020, 1, 2, 0, 0, 30),
        step_sec=7, verbose=False)
    assert dt_out[-1] == dt.datetime(2020, 1, 2, 0, 0, 28) and dt_out[-5] == dt.datetime(2020, 1, 2)
    assert dt_out[-6] == dt.datetime(2020, 1, 1, 23, 59, 54)


def test_grid_shapes_order_and_pixel_centres():
    e, n, u = mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), ATR,
                                               step_size=1e3, verbose=False)
    for c in (e, n, u):
        assert c.dtype == np.float64 and c.shape == (40, 50)
    # Row 3, column 7: the centre of its pixel.
    d = havorkastilo.displacement(33.8 - 3.5 * 0.01, -118.2 + 7.5 * 0.01, "2020-12-25T14:07:44")
    assert (e[3, 7], n[3, 7], u[3, 7]) == (d.east, d.north, d.up)
    # MintPy's attributes are texts.
    texts = {k: str(v) for k, v in ATR.items()}
    again = mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), texts,
                                             verbose=False)
    assert all(np.array_equal(a, b) for a, b in zip(again, (e, n, u)))


def test_grid_keeps_fractions_of_a_second():
    a = mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), ATR, verbose=False)
    b = mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44, 500000), ATR,
                                         verbose=False)
    assert not np.array_equal(a[2], b[2])


def test_verbose_says_what_it_computes(capsys):
    mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), ATR, verbose=True)
    out = capsys.readouterr().out
    assert "SNWE: (33.4, 33.8, -118.2, -117.7)" in out
    mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), ATR, verbose=False)
    assert capsys.readouterr().out == ""


def test_display_plots_with_matplotlib():
    pytest.importorskip("matplotlib", reason="matplotlib (python3-matplotlib) is not installed")
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    plt.close("all")
    mine.calc_solid_earth_tides_point(34.0, -118.0, dt.datetime(2020, 11, 1),
                                      dt.datetime(2020, 11, 2), display=True, verbose=False)
    mine.calc_solid_earth_tides_grid(dt.datetime(2020, 12, 25, 14, 7, 44), ATR, display=True,
                                     verbose=False)
    figures = [plt.figure(k) for k in plt.get_fignums()]
    assert [len(f.axes) for f in figures] == [3, 6]  # three panels; three images, three colour bars
    plt.close("all")


@pytest.mark.parametrize("lat, lon", [(34.0, -118.0), (-45.5, 170.25), (64.1, -21.9)])
def test_point_against_pysolid(lat, lon):
    pysolid = reference()
    dt0, dt1 = dt.datetime(2020, 11, 1, 4, 0, 0), dt.datetime(2020, 11, 3, 5, 0, 0)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        theirs = pysolid.calc_solid_earth_tides_point(lat, lon, dt0, dt1, step_sec=60,
                                                      verbose=False)
    ours = mine.calc_solid_earth_tides_point(lat, lon, dt0, dt1, step_sec=60, verbose=False)
    assert list(ours[0]) == list(theirs[0])
    for k, tolerance in ((1, 1e-3), (2, 1e-3), (3, 2.5e-3)):
        assert ours[k].dtype == theirs[k].dtype and ours[k].shape == theirs[k].shape
        miss = np.max(np.abs(ours[k] - theirs[k]))
        assert miss <= tolerance, f"component {k}: {miss} m"
        assert np.max(np.abs(ours[k])) > 10 * tolerance or k < 3


def test_grid_against_pysolid():
    pysolid = reference()
    when = dt.datetime(2020, 12, 25, 14, 7, 44)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        theirs = pysolid.calc_solid_earth_tides_grid(when, ATR, step_size=1, verbose=False)
    ours = mine.calc_solid_earth_tides_grid(when, ATR, step_size=1, verbose=False)
    for k, tolerance in ((0, 1e-3), (1, 1e-3), (2, 2.5e-3)):
        assert ours[k].dtype == theirs[k].dtype and ours[k].shape == theirs[k].shape
        miss = np.max(np.abs(ours[k] - theirs[k]))
        assert miss <= tolerance, f"component {k}: {miss} m"
