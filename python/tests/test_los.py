"""The line-of-sight projection: hand-worked geometries and the stated sign."""

import math

import numpy as np
import pytest

import havorkastilo

# Sentinel-1: the ground-to-satellite vector's azimuth is about +102 degrees
# (anticlockwise from north) ascending and -102 descending, at 30-46 degrees
# of incidence.
INC = 38.0
ASC, DSC = 102.0, -102.0


def unit_toward_satellite(inc, az):
    """East, north, up of the unit vector from the ground to the satellite:
    az anticlockwise from north puts it at compass bearing -az."""
    bearing = math.radians(-az)
    s = math.sin(math.radians(inc))
    return s * math.sin(bearing), s * math.cos(bearing), math.cos(math.radians(inc))


@pytest.mark.parametrize("az", [ASC, DSC])
def test_motion_toward_the_satellite_is_positive_and_full(az):
    e, n, u = unit_toward_satellite(INC, az)
    assert havorkastilo.los(e, n, u, INC, az) == pytest.approx(1.0, abs=1e-15)
    assert havorkastilo.los(-e, -n, -u, INC, az) == pytest.approx(-1.0, abs=1e-15)
    # Motion across the line of sight is not seen.
    assert havorkastilo.los(n, -e, 0.0, INC, az) == pytest.approx(0.0, abs=1e-15)


def test_ascending_and_descending_see_east_with_opposite_signs():
    # Ascending, the satellite is west of the ground (it looks east): an
    # eastward motion goes away from it.
    east = 0.01
    asc = havorkastilo.los(east, 0.0, 0.0, INC, ASC)
    dsc = havorkastilo.los(east, 0.0, 0.0, INC, DSC)
    expected = east * math.sin(math.radians(INC)) * math.sin(math.radians(78.0))
    assert asc == pytest.approx(-expected, rel=1e-14)
    assert dsc == pytest.approx(expected, rel=1e-14)
    # North: -102 and +102 share cos(102) < 0, both satellites lie a little south.
    north = havorkastilo.los(0.0, 0.01, 0.0, INC, ASC)
    assert north == pytest.approx(0.01 * math.sin(math.radians(INC)) * math.cos(math.radians(102)))
    assert north < 0


def test_a_vertical_look_sees_up_alone():
    assert havorkastilo.los(0.3, -0.2, 0.05, 0.0, 57.0) == 0.05


def test_the_bounds_of_the_incidence_are_held():
    assert havorkastilo.los(0.0, 0.0, 1.0, 90.0, 0.0) == pytest.approx(0.0, abs=1e-16)
    assert havorkastilo.los(0.0, 1.0, 0.0, 90.0, 0.0) == 1.0
    for bad in (-1e-9, 90.000001, math.inf):
        with pytest.raises(ValueError, match=r"^incidence: .* from 0 to 90$"):
            havorkastilo.los(0.0, 0.0, 1.0, bad, 0.0)
    with pytest.raises(ValueError, match=r"^azimuth: inf is not an azimuth in degrees$"):
        havorkastilo.los(0.0, 0.0, 1.0, 10.0, math.inf)


def test_arrays_broadcast_and_nan_stays_nan():
    e = np.zeros((2, 3))
    u = np.array([[1.0], [2.0]])
    inc = np.array([0.0, 60.0, np.nan])
    got = havorkastilo.los(e, 0.0, u, inc, 0.0)
    assert got.shape == (2, 3)
    assert got[1, 0] == 2.0
    assert got[1, 1] == pytest.approx(1.0, rel=1e-15)
    assert np.isnan(got[:, 2]).all()
    with pytest.raises(ValueError, match="do not broadcast"):
        havorkastilo.los(np.zeros(2), 0.0, 0.0, np.zeros(3), 0.0)
