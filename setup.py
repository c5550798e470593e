"""Builds the Python module havorkastilo with Debian's setuptools and pybind11,
offline:

    python3 -m venv --system-site-packages venv
    venv/bin/pip install --no-build-isolation .

The extension compiles the computing core's sources, read from the lists of
CMakeLists.txt, with the flags that its results depend on: -ffp-contract=off
(no fused multiply-add), x87 long double (the x86-64 default) and the release
build's -O3.  With GDAL (Debian: libgdal-dev, found through pkg-config) it
also compiles the grid tool's raster reading, for grid()'s like=, lat=, lon=,
dem=, time_raster= and los_rasters=; without it those arguments raise a
ValueError that says so.  CMake builds the same module (python/CMakeLists.txt).
"""

import os
import re
import shlex
import subprocess

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))


def core_sources():
    """The library's sources, as the top-level CMakeLists.txt lists them."""
    with open(os.path.join(HERE, "CMakeLists.txt"), encoding="utf-8") as f:
        text = f.read()
    sources = []
    for folder in ("GNSS", "PROGINC", "FUNKCIJE", "MATRIX"):
        m = re.search(r"set\(HAVORKASTILO_%s_SOURCES\s+([^)]*)\)" % folder, text)
        if not m:
            raise RuntimeError("CMakeLists.txt lists no HAVORKASTILO_%s_SOURCES" % folder)
        sources += m.group(1).split()
    return sources


def pkg_config(package):
    """Compiler and linker flags of package from pkg-config, or None when
    pkg-config does not know it."""
    try:
        cflags = subprocess.run(["pkg-config", "--cflags", package], check=True,
                                capture_output=True, text=True).stdout
        libs = subprocess.run(["pkg-config", "--libs", package], check=True,
                              capture_output=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    return shlex.split(cflags), shlex.split(libs)


ParallelCompile("HAVORKASTILO_BUILD_JOBS", default=0).install()
os.makedirs("build/pip", exist_ok=True)
# ERFA (Debian: liberfa-dev); GDAL (libgdal-dev), when it is there, for the
# rasters of grid().
erfa_cflags, erfa_libs = pkg_config("erfa") or ([], ["-lerfa"])
gdal = pkg_config("gdal")
sources = ["python/src/BroadcastTide.cpp", "python/src/module.cpp", "tools/grid/Grid.cpp"]
cflags, libs, macros = erfa_cflags, erfa_libs, []
if gdal:
    sources.append("tools/grid/Rasters.cpp")
    cflags, libs = cflags + gdal[0], libs + gdal[1]
    macros.append(("HAVORKASTILO_PYTHON_RASTERS", None))

extension = Pybind11Extension(
    "havorkastilo._core",
    sources + core_sources(),
    include_dirs=["."],
    cxx_std=17,
    define_macros=macros,
    extra_compile_args=["-O3", "-ffp-contract=off"] + cflags,
    extra_link_args=libs + ["-lm"],
)

setup(
    package_dir={"": "python"},
    packages=["havorkastilo"],
    package_data={"havorkastilo": ["*.pyi", "py.typed"]},
    ext_modules=[extension],
    cmdclass={"build_ext": build_ext},
    # Beside CMake's build folders, not in the package's source folder.
    options={"build": {"build_base": "build/pip"}, "egg_info": {"egg_base": "build/pip"}},
    zip_safe=False,
)
