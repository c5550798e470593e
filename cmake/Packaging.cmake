# Installation, the exported CMake package and the Debian package.
#
#   cmake --install <build> [--prefix DIR]   program, plot helper, batch runner,
#                                            manual pages, library, headers,
#                                            CMake package
#   cmake --build <build> --target package   havorkastilo_<version>_<arch>.deb
#
# A consumer finds the library with
#   find_package(Havorkastilo REQUIRED)
#   target_link_libraries(app PRIVATE Havorkastilo::havorkastilo)
# and includes its headers by folder: #include "GNSS/SolidEarthTide.h".

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Headers live under include/havorkastilo/ with their folders kept, so that the
# installed tree reads exactly like the source tree and no name (matrix.h,
# flh.h, ...) can collide with another package's header in include/.
set(HAVORKASTILO_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/havorkastilo)
set(HAVORKASTILO_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Havorkastilo)

target_include_directories(havorkastilo_core PUBLIC
    $<INSTALL_INTERFACE:${HAVORKASTILO_INSTALL_INCLUDEDIR}>)
# The headers use C++17 (inline variables), so a consumer needs it as well.
target_compile_features(havorkastilo_core PUBLIC cxx_std_17)
# Outside this tree the library is simply "the Havorkastilo library".
set_target_properties(havorkastilo_core PROPERTIES EXPORT_NAME havorkastilo)

install(TARGETS Havorkastilo
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
# The batch runner finds the program in its own folder, so both go to bin/.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/havorkastilo-plot
    ${PROJECT_SOURCE_DIR}/tools/havorkastilo-batch
    DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/man/Havorkastilo.1 ${PROJECT_SOURCE_DIR}/man/havorkastilo-plot.1
    ${PROJECT_SOURCE_DIR}/man/havorkastilo-batch.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
# The grid tool, when it was built (it needs GDAL's and netCDF's libraries).
if(HAVORKASTILO_GRID_BUILT)
    install(TARGETS havorkastilo-grid
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
    install(FILES ${PROJECT_SOURCE_DIR}/man/havorkastilo-grid.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endif()
# The documentation folder: the README, the licence in Debian's
# machine-readable form, and the Debian changelog (compressed, as Debian
# keeps it, when the package is made: see DebianDocs.cmake).
install(FILES
    ${PROJECT_SOURCE_DIR}/README.md
    ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/havorkastilo COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/havorkastilo COMPONENT program
    RENAME changelog.Debian)

install(TARGETS havorkastilo_core EXPORT HavorkastiloTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library)

# The public headers: the time, geometry, astronomy and tide classes (every
# header of GNSS/, as listed in the top-level CMakeLists.txt), the angle
# conversions, number model and radii of curvature they are used with, and
# the matrix container that g_lg.h and mGNSSc.h include, and the seam of
# fatal reports (PROGINC/ProgramExit.h).  Each installed
# header compiles on its own from the installed tree (the packaging check
# builds every one).
install(FILES ${HAVORKASTILO_GNSS_HEADERS}
    DESTINATION ${HAVORKASTILO_INSTALL_INCLUDEDIR}/GNSS COMPONENT library)
install(FILES ${HAVORKASTILO_MATRIX_HEADERS}
    DESTINATION ${HAVORKASTILO_INSTALL_INCLUDEDIR}/matrix COMPONENT library)
# The seam of fatal reports, with havorkastilo::Error, which callers catch.
install(FILES PROGINC/ProgramExit.h
    DESTINATION ${HAVORKASTILO_INSTALL_INCLUDEDIR}/PROGINC COMPONENT library)
install(FILES
    funkcije/KotnePretvorbe.h
    funkcije/Numerics.h
    funkcije/PolmeriUkrivljenosti.h
    DESTINATION ${HAVORKASTILO_INSTALL_INCLUDEDIR}/funkcije COMPONENT library)

install(EXPORT HavorkastiloTargets
    NAMESPACE Havorkastilo::
    FILE HavorkastiloTargets.cmake
    DESTINATION ${HAVORKASTILO_INSTALL_CMAKEDIR} COMPONENT library)
configure_package_config_file(
    ${CMAKE_CURRENT_LIST_DIR}/HavorkastiloConfig.cmake.in
    ${PROJECT_BINARY_DIR}/HavorkastiloConfig.cmake
    INSTALL_DESTINATION ${HAVORKASTILO_INSTALL_CMAKEDIR})
write_basic_package_version_file(
    ${PROJECT_BINARY_DIR}/HavorkastiloConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/HavorkastiloConfig.cmake
    ${PROJECT_BINARY_DIR}/HavorkastiloConfigVersion.cmake
    DESTINATION ${HAVORKASTILO_INSTALL_CMAKEDIR} COMPONENT library)

# The Debian package: one package with every component, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME havorkastilo)
set(CPACK_PACKAGE_VENDOR "Havorkastilo maintainers")
set(CPACK_PACKAGE_CONTACT "Havorkastilo maintainers <maintainers@users.noreply.c-seed-ce76b6a7.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Debian revision 1 of the upstream version: the package's changes are told
# in its own changelog (changelog.Debian), the Debian way for a package that
# is not a native Debian one.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "solid Earth tide displacement of a station, epoch by epoch")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# The running program's libraries (libc6, libgcc-s1, libstdc++6, liberfa1)
# come from dpkg-shlibdeps; the plot helper needs bash and, to draw, gnuplot;
# the batch runner needs bash and awk (essential), GNU Parallel for more than
# one station at a time, with bzip2, through which Parallel packs a command
# that is long or goes to an sshlogin (Debian's parallel does not depend on
# it, and without it such runs fail), and the Slurm client to submit an
# array job.
#
# ERFA is linked as the shared library of Debian's liberfa1, not statically:
# Debian ships ERFA as a library package of its own, so the program takes its
# fixes and rebuilds from there instead of freezing a private copy into the
# binary (Debian Policy 4.13, embedded code copies), and the package
# stays the size of the program alone.  pkg-config's erfa module names the
# shared library, and dpkg-shlibdeps turns the program's link to liberfa.so.1
# into "Depends: liberfa1 (>= ...)"; the packaging check asserts it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianDocs.cmake)
# The Python module (python/) needs numpy; the program does not, so it is
# recommended rather than required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnuplot-nox | gnuplot, parallel, bzip2, python3-numpy")
# The static library in the package is used from CMake with ERFA's headers and
# pkg-config module (cmake/HavorkastiloConfig.cmake.in).
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "slurm-client, cmake, g++, pkg-config, liberfa-dev")
# The long description; CPack puts the summary before it and indents it for
# the control file, line by line as written here.
set(CPACK_PACKAGE_DESCRIPTION
    "Havorkastilo computes how far the solid Earth tide raised by the Sun and
the Moon displaces a station, with the displacement model of the IERS
Conventions (2010) and short analytic Sun and Moon series or the precise
ephemeris of ERFA, and prints a fixed-width table of north, east and up in
centimetres with the Sun's and the Moon's positions, or comma-separated
values in metres for further processing. Its console texts are in
Slovenian.

The package also holds havorkastilo-plot, which draws the table with
gnuplot, havorkastilo-batch, which runs the program for every station of a
list through GNU Parallel or as a Slurm array job, havorkastilo-grid, which
computes the tide at every node of a grid and writes netCDF or GeoTIFF, the
manual pages, and the
model as a static C++ library with its headers and a CMake package
(find_package(Havorkastilo)), and, when it was built, the Python module
havorkastilo for the system's python3: the displacement vectorised over
numpy arrays, and PySolid's two calls.")
# Python writes byte code beside the module when root imports it; it goes
# with the package.
# The module is compiled for the system's python3, which the package then
# depends on (dpkg-shlibdeps adds the libraries).
if(HAVORKASTILO_PYTHON_MODULE)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/prerm)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS ${HAVORKASTILO_PYTHON_DEPENDS})
endif()
include(CPack)
