// havorkastilo._core: the computing core for Python.  The public functions
// are in the package's __init__.py, which checks every argument with English
// messages of its own and hands these functions plain arrays: degrees,
// metres and ticks of 100 ns since 1970-01-01T00:00:00 UTC.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "GNSS/TidePoint.h"
#include "PROGINC/ProgramExit.h"
#include "python/src/BroadcastTide.h"
#include "tools/grid/Grid.h"

namespace py = pybind11;
using havorkastilo::python::Operand;
using havorkastilo::python::TideOutput;
using havorkastilo::python::TideRequest;

namespace {

using Doubles = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Ticks = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>;

std::vector<std::size_t> ShapeOf(const py::array& a) {
    std::vector<std::size_t> s;
    for (py::ssize_t k = 0; k < a.ndim(); ++k) s.push_back(static_cast<std::size_t>(a.shape(k)));
    return s;
}

std::vector<py::ssize_t> Signed(const std::vector<std::size_t>& s) {
    return std::vector<py::ssize_t>(s.begin(), s.end());
}

TideRequest Request(const Doubles& lat, const Doubles& lon, const Doubles& height,
                    const Ticks& ticks, bool precise, unsigned threads) {
    TideRequest r;
    r.lat = Operand<double>{lat.data(), ShapeOf(lat)};
    r.lon = Operand<double>{lon.data(), ShapeOf(lon)};
    r.height = Operand<double>{height.data(), ShapeOf(height)};
    r.ticks = Operand<std::int64_t>{ticks.data(), ShapeOf(ticks)};
    r.ephemeris = precise ? Ephemeris::Precise : Ephemeris::Series;
    r.threads = threads;
    return r;
}

// The displacement as doubles: east, north, up (frame "enu") or x, y, z
// (frame "ecef").
py::tuple Displacement(const Doubles& lat, const Doubles& lon, const Doubles& height,
                       const Ticks& ticks, bool precise, bool ecef, unsigned threads) {
    const TideRequest r = Request(lat, lon, height, ticks, precise, threads);
    const std::vector<py::ssize_t> shape = Signed(havorkastilo::python::BroadcastShape(r));
    py::array_t<double> a(shape), b(shape), c(shape);
    TideOutput<double> out;
    if (ecef) {
        out.x = a.mutable_data();
        out.y = b.mutable_data();
        out.z = c.mutable_data();
    } else {
        out.east = a.mutable_data();
        out.north = b.mutable_data();
        out.up = c.mutable_data();
    }
    {
        const py::gil_scoped_release unlocked;
        havorkastilo::python::ComputeTide(r, out);
    }
    return py::make_tuple(a, b, c);
}

// For the tests: the core's extended-precision results themselves, north,
// east, up, x, y, z (numpy.longdouble is the same 80-bit type).
py::tuple DisplacementLongDouble(const Doubles& lat, const Doubles& lon, const Doubles& height,
                                 const Ticks& ticks, bool precise, unsigned threads) {
    const TideRequest r = Request(lat, lon, height, ticks, precise, threads);
    const std::vector<py::ssize_t> shape = Signed(havorkastilo::python::BroadcastShape(r));
    py::array_t<long double> n(shape), e(shape), u(shape), x(shape), y(shape), z(shape);
    TideOutput<long double> out;
    out.north = n.mutable_data();
    out.east = e.mutable_data();
    out.up = u.mutable_data();
    out.x = x.mutable_data();
    out.y = y.mutable_data();
    out.z = z.mutable_data();
    {
        const py::gil_scoped_release unlocked;
        havorkastilo::python::ComputeTide(r, out);
    }
    return py::make_tuple(n, e, u, x, y, z);
}

py::tuple SunMoonPositions(const Ticks& ticks, bool precise, unsigned threads) {
    std::vector<py::ssize_t> shape = Signed(ShapeOf(ticks));
    shape.push_back(3);
    py::array_t<double> sun(shape), moon(shape);
    const std::size_t n = static_cast<std::size_t>(ticks.size());
    const Ephemeris kind = precise ? Ephemeris::Precise : Ephemeris::Series;
    const std::int64_t* t = ticks.data();
    double* s = sun.mutable_data();
    double* m = moon.mutable_data();
    {
        const py::gil_scoped_release unlocked;
        havorkastilo::python::ComputeSunMoon(t, n, kind, threads, s, m);
    }
    return py::make_tuple(sun, moon);
}

// For the tests: the epoch of ticks as the program holds it, (Modified
// Julian Day, seconds of day as numpy.longdouble).
py::tuple EpochOfTicks(std::int64_t ticks) {
    const mjd e = havorkastilo::python::TicksToMjd(ticks);
    py::array_t<long double> sod(std::vector<py::ssize_t>{});
    *sod.mutable_data() = e.GetSecond();
    return py::make_tuple(e.GetMJDay(), sod);
}

// The English message for a fatal report of the core.  The module checks
// its arguments before calling, so these are faults it did not foresee.
// The values of a grid's blocks gathered into one array of shape (epochs,
// components, rows, columns): row 0 the grid's southernmost, or with flip
// the first row of the rasters (radar geometry, whose rows have no
// coordinate but the order of the --lat and --lon rasters).
class ArrayWriter : public hgrid::Writer {
  public:
    ArrayWriter(double* out, std::size_t ncomp, std::size_t ny, std::size_t nx, bool flip)
        : out_(out), nc_(ncomp), ny_(ny), nx_(nx), flip_(flip) {}
    void Block(std::uint32_t row0, std::uint32_t nrows, std::size_t t0, std::size_t nt,
               const std::vector<double>& values) override {
        for (std::size_t t = 0; t < nt; ++t)
            for (std::size_t c = 0; c < nc_; ++c)
                for (std::size_t r = 0; r < nrows; ++r) {
                    const std::size_t row = flip_ ? ny_ - 1 - (row0 + r) : row0 + r;
                    std::memcpy(out_ + (((t0 + t) * nc_ + c) * ny_ + row) * nx_,
                                values.data() + ((t * nc_ + c) * nrows + r) * nx_, sizeof(double) * nx_);
                }
    }
    void Close() override {}

  private:
    double* out_;
    std::size_t nc_, ny_, nx_;
    bool flip_;
};

// Days from MJD 0 to 1970-01-01, in the grid's ticks.
constexpr std::int64_t kTicksTo1970 = 40587 * havorkastilo::kTicksPerDay;

py::list CrsAttributes(const std::vector<hgrid::CrsAttribute>& list) {
    py::list out;
    for (const hgrid::CrsAttribute& a : list) {
        if (a.numbers.empty()) out.append(py::make_tuple(a.key, a.text));
        else if (a.numbers.size() == 1) out.append(py::make_tuple(a.key, a.numbers[0]));
        else out.append(py::make_tuple(a.key, py::array_t<double>(static_cast<py::ssize_t>(a.numbers.size()),
                                                                   a.numbers.data())));
    }
    return out;
}

// The grid tool's computation: a latitude/longitude grid (region "W/E/S/N",
// spacing "DX[/DY]" as the tool reads them), or the nodes of the rasters
// (like, or lat and lon; the other paths are the tool's --dem,
// --time-raster and --los-rasters, empty when not given), at the epochs
// ticks, or along the rows from ticks[0] (the northernmost row) to rowEnd
// when rowTime; constant look angles (degrees) when hasLos.  Returns a
// dict: values (epochs, components, rows, columns), the axes y and x
// (latitudes and longitudes, projected coordinates, or None for radar
// geometry), each row's epoch in ticks, the components' variable and long
// names, the crs variable's attributes, the registration and the count of
// nodes without data.
py::dict Grid(const std::string& region, const std::string& spacing, bool pixel, double height,
              const Ticks& ticks, const std::string& components, bool precise, unsigned threads,
              bool hasLos, double incidence, double azimuth, bool rowTime, std::int64_t rowEnd,
              const hgrid::RasterInputs& rasters) {
    hgrid::Settings s;
    s.rasters = rasters;
    const bool rasterNodes = !rasters.like.empty() || !rasters.lat.empty() || !rasters.lon.empty();
    if (!rasterNodes) s.grid = hgrid::MakeGrid(region, spacing, pixel);
    s.components = hgrid::ParseComponents(components);
    s.height = height;
    s.precise = precise;
    s.threads = threads;
    s.float64 = true;
    s.hasLos = hasLos;
    s.losInc = incidence;
    s.losAz = azimuth;
    const std::int64_t* t = ticks.data();
    for (py::ssize_t k = 0; k < ticks.size(); ++k) s.times.push_back(t[k] + kTicksTo1970);
    s.rowTime = rowTime;
    s.rowTimeEnd = rowEnd + kTicksTo1970;
    std::unique_ptr<hgrid::NodeSource> source;
    if (rasterNodes || s.perNodeInput()) {
#ifdef HAVORKASTILO_PYTHON_RASTERS
        hgrid::OpenRasters(s);
        if (s.nodes == hgrid::Nodes::Like && s.raster.rotated())
            throw hgrid::GridError("--like: '" + rasters.like +
                                       "' has a rotated geotransform, which a Dataset's x and y axes cannot carry",
                                   2);
        source = hgrid::RasterSource(s);
#else
        throw hgrid::GridError("this build of havorkastilo reads no rasters: it was built without GDAL "
                               "(Debian: libgdal-dev)", 2);
#endif
    }
    const hgrid::LatLonGrid& g = s.grid;
    const bool points = s.nodes == hgrid::Nodes::Points;
    py::array_t<double> values(std::vector<py::ssize_t>{
        static_cast<py::ssize_t>(s.times.size()), static_cast<py::ssize_t>(s.components.size()),
        static_cast<py::ssize_t>(g.ny), static_cast<py::ssize_t>(g.nx)});
    py::array_t<std::int64_t> rows(static_cast<py::ssize_t>(g.ny));
    for (std::uint32_t j = 0; j < g.ny; ++j)
        rows.mutable_data()[j] = hgrid::RowTime(s, points ? g.ny - 1 - j : j) - kTicksTo1970;
    py::object ys = py::none(), xs = py::none();
    if (!points) {
        py::array_t<double> y(static_cast<py::ssize_t>(g.ny)), x(static_cast<py::ssize_t>(g.nx));
        double unused;
        for (std::uint32_t j = 0; j < g.ny; ++j) {
            if (s.nodes == hgrid::Nodes::LatLon) y.mutable_data()[j] = static_cast<double>(g.Lat(j));
            else s.raster.Node(0, j, g.ny, unused, y.mutable_data()[j]);
        }
        for (std::uint32_t i = 0; i < g.nx; ++i) {
            if (s.nodes == hgrid::Nodes::LatLon) x.mutable_data()[i] = static_cast<double>(g.Lon(i));
            else s.raster.Node(i, 0, g.ny, x.mutable_data()[i], unused);
        }
        ys = y;
        xs = x;
    }
    ArrayWriter out(values.mutable_data(), s.components.size(), g.ny, g.nx, points);
    std::uint64_t noData = 0;
    {
        const py::gil_scoped_release unlocked;
        hgrid::Compute(s, out, nullptr, nullptr, source.get(), &noData);
    }
    py::list names, longNames;
    for (hgrid::Component c : s.components) {
        names.append(hgrid::VariableName(c));
        longNames.append(hgrid::LongName(c));
    }
    const bool degrees = s.nodes == hgrid::Nodes::LatLon || (s.nodes == hgrid::Nodes::Like && s.raster.geographic);
    py::dict d;
    d["values"] = values;
    d["y"] = ys;
    d["x"] = xs;
    d["rows"] = rows;
    d["names"] = names;
    d["long_names"] = longNames;
    d["degrees"] = degrees;
    d["no_data"] = noData;
    // The global attributes that describe the nodes, as the tool's files
    // have them (radar geometry has no registration).
    py::dict attributes;
    if (!points) {
        attributes["node_registration"] = hgrid::NodeRegistration(s);
        attributes["node_offset"] = py::module_::import("numpy").attr("int32")(hgrid::NodeOffset(s));
    }
    for (const auto& [key, value] : hgrid::RasterAttributes(s)) attributes[key] = value;
    d["attributes"] = attributes;
    py::list crs;
#ifdef HAVORKASTILO_PYTHON_RASTERS
    if (s.nodes == hgrid::Nodes::Like && !degrees) {
        crs = CrsAttributes(hgrid::ProjectedCrs(s.raster));
        d["units"] = hgrid::ProjectedUnits(s.raster.wkt);
    }
#endif
    if (degrees) crs = CrsAttributes(hgrid::GeographicCrs());
    d["crs"] = crs;
    return d;
}

// The tool's message for Python: its options become the call's arguments
// ("--time-raster: ..." reads "time_raster: ...").
std::string Arguments(std::string text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text.compare(k, 2, "--") == 0 && k + 2 < text.size() && std::isalpha(static_cast<unsigned char>(text[k + 2]))) {
            k += 2;
            while (k < text.size() && (std::isalnum(static_cast<unsigned char>(text[k])) || text[k] == '-'))
                out += text[k] == '-' ? '_' : text[k], ++k;
            --k;
        } else {
            out += text[k];
        }
    }
    return out;
}

std::string English(const havorkastilo::Error& e) {
    const std::string report = e.what();
    if (report.find("MJDAY not valid") != std::string::npos ||
        report.find("SECOND not valid") != std::string::npos)
        return "the epoch is outside the valid span of the computing core";
    if (report.find(havorkastilo::kGeocentreError) != std::string::npos)
        return "the point is at the centre of the Earth, which has no direction";
    return "the computing core refused the input; its report: " + report;
}

}  // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The computing core of havorkastilo (use the functions of the package itself).";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const havorkastilo::Error& e) {
            PyErr_SetString(PyExc_ValueError, English(e).c_str());
        } catch (const std::invalid_argument& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const hgrid::GridError& e) {
            const std::string text = Arguments(e.what());
            PyErr_SetString(e.Status() == 2 ? PyExc_ValueError : PyExc_RuntimeError, text.c_str());
        }
    });
    m.attr("FIRST_TICK") = havorkastilo::python::kFirstTick;
    m.attr("END_TICK") = havorkastilo::python::kEndTick;
    m.def("displacement", &Displacement, py::arg("lat"), py::arg("lon"), py::arg("height"),
          py::arg("ticks"), py::arg("precise"), py::arg("ecef"), py::arg("threads"));
    m.def("displacement_longdouble", &DisplacementLongDouble, py::arg("lat"), py::arg("lon"),
          py::arg("height"), py::arg("ticks"), py::arg("precise"), py::arg("threads"));
    m.def("sun_moon", &SunMoonPositions, py::arg("ticks"), py::arg("precise"),
          py::arg("threads"));
    m.def("epoch_of_ticks", &EpochOfTicks, py::arg("ticks"));
    m.def("grid", &Grid, py::arg("region"), py::arg("spacing"), py::arg("pixel"), py::arg("height"),
          py::arg("ticks"), py::arg("components"), py::arg("precise"), py::arg("threads"),
          py::arg("has_los"), py::arg("incidence"), py::arg("azimuth"), py::arg("row_time"),
          py::arg("row_end"), py::arg("rasters"));
    py::class_<hgrid::RasterInputs>(m, "RasterInputs")
        .def(py::init<>())
        .def_readwrite("like", &hgrid::RasterInputs::like)
        .def_readwrite("lat", &hgrid::RasterInputs::lat)
        .def_readwrite("lon", &hgrid::RasterInputs::lon)
        .def_readwrite("dem", &hgrid::RasterInputs::dem)
        .def_readwrite("time_raster", &hgrid::RasterInputs::timeRaster)
        .def_readwrite("los_inc", &hgrid::RasterInputs::losInc)
        .def_readwrite("los_az", &hgrid::RasterInputs::losAz);
#ifdef HAVORKASTILO_PYTHON_RASTERS
    m.attr("RASTERS") = true;
#else
    m.attr("RASTERS") = false;
#endif
    m.attr("MODEL") = hgrid::kModel;
    m.attr("EPHEMERIS_SERIES") = hgrid::EphemerisName(false);
    m.attr("EPHEMERIS_PRECISE") = hgrid::EphemerisName(true);
    m.attr("LOS_CONVENTION") = hgrid::LongName(hgrid::Component::Los);
}
