import datetime
import os
from typing import Any, NamedTuple, Optional, Tuple, Union

import numpy as np
import numpy.typing as npt

from . import pysolid as pysolid

__version__: str

PathLike = Union[str, os.PathLike]
TimeLike = Union[np.datetime64, datetime.datetime, datetime.date, str, npt.ArrayLike]

class ENU(NamedTuple):
    """Displacement east, north, up (along the GRS80 normal), metres."""

    east: Any  # numpy.ndarray of float64, or numpy.float64 for a shape of ()
    north: Any
    up: Any

class ECEF(NamedTuple):
    """Displacement in Earth-fixed geocentric axes x, y, z, metres."""

    x: Any
    y: Any
    z: Any

class SunMoon(NamedTuple):
    """Earth-fixed geocentric positions, metres, shape time.shape + (3,)."""

    sun: npt.NDArray[np.float64]
    moon: npt.NDArray[np.float64]

def displacement(
    lat: npt.ArrayLike,
    lon: npt.ArrayLike,
    time: TimeLike,
    height: npt.ArrayLike = ...,
    *,
    ephemeris: str = ...,
    frame: str = ...,
    threads: Optional[int] = ...,
) -> Union[ENU, ECEF]: ...
def sun_moon(
    time: TimeLike, *, ephemeris: str = ..., threads: Optional[int] = ...
) -> SunMoon: ...
def los(
    east: npt.ArrayLike,
    north: npt.ArrayLike,
    up: npt.ArrayLike,
    incidence: npt.ArrayLike,
    azimuth: npt.ArrayLike,
) -> Any: ...
def grid(
    region: Optional[Union[str, Any]] = ...,
    spacing: Optional[Union[float, str, Any]] = ...,
    time: Optional[TimeLike] = ...,
    *,
    like: Optional[PathLike] = ...,
    lat: Optional[PathLike] = ...,
    lon: Optional[PathLike] = ...,
    row_time: Optional[Any] = ...,
    pixel: bool = ...,
    height: float = ...,
    dem: Optional[PathLike] = ...,
    time_raster: Optional[PathLike] = ...,
    components: Union[str, Any] = ...,
    ephemeris: str = ...,
    los: Optional[Any] = ...,
    los_rasters: Optional[Union[PathLike, Tuple[PathLike, PathLike]]] = ...,
    threads: Optional[int] = ...,
) -> Any: ...  # xarray.Dataset
