from typing import Any, Dict, Tuple

import numpy as np
import numpy.typing as npt

FIRST_TICK: int
END_TICK: int
RASTERS: bool
MODEL: str
EPHEMERIS_SERIES: str
EPHEMERIS_PRECISE: str
LOS_CONVENTION: str

class RasterInputs:
    like: str
    lat: str
    lon: str
    dem: str
    time_raster: str
    los_inc: str
    los_az: str
    def __init__(self) -> None: ...

def displacement(
    lat: npt.ArrayLike,
    lon: npt.ArrayLike,
    height: npt.ArrayLike,
    ticks: npt.ArrayLike,
    precise: bool,
    ecef: bool,
    threads: int,
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
def displacement_longdouble(
    lat: npt.ArrayLike,
    lon: npt.ArrayLike,
    height: npt.ArrayLike,
    ticks: npt.ArrayLike,
    precise: bool,
    threads: int,
) -> Tuple[npt.NDArray[np.longdouble], ...]: ...
def sun_moon(
    ticks: npt.ArrayLike, precise: bool, threads: int
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
def epoch_of_ticks(ticks: int) -> Tuple[int, np.longdouble]: ...
def grid(
    region: str,
    spacing: str,
    pixel: bool,
    height: float,
    ticks: npt.ArrayLike,
    components: str,
    precise: bool,
    threads: int,
    has_los: bool,
    incidence: float,
    azimuth: float,
    row_time: bool,
    row_end: int,
    rasters: RasterInputs,
) -> Dict[str, Any]: ...
