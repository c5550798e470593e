import datetime
from typing import Any, Mapping, Tuple, Union

import numpy as np
import numpy.typing as npt

_Time = Union[datetime.datetime, np.datetime64, str]
_Floats = npt.NDArray[np.float64]

def calc_solid_earth_tides_point(
    lat: float,
    lon: float,
    dt0: _Time,
    dt1: _Time,
    step_sec: float = ...,
    display: bool = ...,
    verbose: bool = ...,
) -> Tuple[npt.NDArray[np.object_], _Floats, _Floats, _Floats]: ...
def calc_solid_earth_tides_grid(
    dt_obj: _Time,
    atr: Mapping[str, Any],
    step_size: float = ...,
    display: bool = ...,
    verbose: bool = ...,
) -> Tuple[_Floats, _Floats, _Floats]: ...
