from typing import Tuple

import numpy as np
import numpy.typing as npt

FIRST_TICK: int
END_TICK: int

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
