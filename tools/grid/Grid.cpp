// The grid's nodes, epochs and components, and the block-by-block
// computation (see Grid.h).
#include "tools/grid/Grid.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <unordered_map>

#include "GNSS/SunMoon.h"
#include "GNSS/TideEpoch.h"
#include "GNSS/TidePoint.h"
#include "GNSS/UtcTicks.h"
#include "PROGINC/ProgramExit.h"
#include "funkcije/KotnePretvorbe.h"
#include "funkcije/Numerics.h"

namespace hgrid {

namespace {

// Days from 1970-01-01 to the Gregorian date y-m-d (proleptic).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr std::int64_t kMjdOf1970 = 40587;

bool AllDigits(const std::string& s, std::size_t from, std::size_t n) {
    if (from + n > s.size()) return false;
    for (std::size_t k = from; k < from + n; ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    return true;
}

int Number(const std::string& s, std::size_t from, std::size_t n) {
    return std::stoi(s.substr(from, n));
}

std::string Quoted(const std::string& v) { return "'" + v + "'"; }

// A plain decimal number (sign, digits, one point, optional exponent), all
// of text; false for anything else.
bool ReadNumber(const std::string& text, long double& v) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    v = std::strtold(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(v);
}

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep)) parts.push_back(part);
    if (!text.empty() && text.back() == sep) parts.push_back("");
    if (text.empty()) parts.push_back("");
    return parts;
}

// One spacing in degrees from "5", "5m", "30s"; divisor (1, 60 or 3600)
// tells its unit.
bool ReadSpacing(const std::string& text, long double& deg, long double& divisor) {
    std::string t = text;
    divisor = 1;
    if (!t.empty() && (t.back() == 'm' || t.back() == 's')) {
        divisor = t.back() == 'm' ? 60 : 3600;
        t.pop_back();
    }
    long double v;
    if (!ReadNumber(t, v)) return false;
    deg = v / divisor;
    return true;
}

// The number of intervals of width d in span, if it divides (within a
// relative 1e-9), else 0 with the nearest divisors' interval counts.
std::uint64_t Intervals(long double span, long double d, std::uint64_t& below, std::uint64_t& above) {
    const long double q = span / d;
    const long double r = std::round(q);
    below = static_cast<std::uint64_t>(std::max(1.0L, std::floor(q)));
    above = static_cast<std::uint64_t>(std::ceil(q));
    if (above == below) ++above;
    if (r >= 1 && std::fabs(q - r) <= 1e-9L * r) return static_cast<std::uint64_t>(r);
    return 0;
}

std::string Spacing(long double deg, long double divisor) {
    char buf[64];
    const char* suffix = divisor == 60 ? "m" : divisor == 3600 ? "s" : "";
    std::snprintf(buf, sizeof buf, "%.10Lg%s", deg * divisor, suffix);
    return buf;
}

}  // namespace

void SplitTicks(Ticks t, std::uint32_t& mjday, long double& seconds) {
    mjday = static_cast<std::uint32_t>(t / kTicksPerDay);
    // As the program forms an epoch written hh:mm:ss.sssssss, so that a
    // node and the program's row for the same place and time agree to the
    // last bit.
    seconds = havorkastilo::SecondsOfDayTicks(t % kTicksPerDay);
}

std::string IsoTime(Ticks t) {
    const std::int64_t day = t / kTicksPerDay - kMjdOf1970;
    Ticks rest = t % kTicksPerDay;
    // Civil date from days since 1970 (inverse of DaysFromCivil).
    const std::int64_t z = day + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2);
    const std::int64_t frac = rest % kTicksPerSecond;
    rest /= kTicksPerSecond;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%07lldZ",
                  static_cast<long long>(y), static_cast<long long>(m), static_cast<long long>(d),
                  static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
                  static_cast<long long>(rest % 60), static_cast<long long>(frac));
    return buf;
}

Ticks ParseTime(const std::string& text, const std::string& option) {
    const std::string bad = option + ": " + Quoted(text) +
                            " is not a UTC time YYYY-MM-DDThh:mm:ss[.fffffff][Z]";
    std::string s = text;
    if (!s.empty() && s.back() == 'Z') s.pop_back();
    if (s.size() < 19 || !AllDigits(s, 0, 4) || s[4] != '-' || !AllDigits(s, 5, 2) || s[7] != '-' ||
        !AllDigits(s, 8, 2) || (s[10] != 'T' && s[10] != ' ') || !AllDigits(s, 11, 2) || s[13] != ':' ||
        !AllDigits(s, 14, 2) || s[16] != ':' || !AllDigits(s, 17, 2))
        throw GridError(bad, 2);
    Ticks frac = 0;
    if (s.size() > 19) {
        const std::size_t n = s.size() - 20;
        if (s[19] != '.' || n == 0 || n > 7 || !AllDigits(s, 20, n)) throw GridError(bad, 2);
        frac = std::stoll(s.substr(20));
        for (std::size_t k = n; k < 7; ++k) frac *= 10;
    }
    const int y = Number(s, 0, 4), mo = Number(s, 5, 2), d = Number(s, 8, 2);
    const int h = Number(s, 11, 2), mi = Number(s, 14, 2), se = Number(s, 17, 2);
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59) throw GridError(bad, 2);
    const int mlen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    if (d > mlen[mo - 1] + (mo == 2 && leap ? 1 : 0)) throw GridError(bad, 2);
    if (y < 1901 || y > 2199)
        throw GridError(option + ": " + Quoted(text) + " is outside the years 1901 to 2199", 2);
    const std::int64_t mjday = DaysFromCivil(y, mo, d) + kMjdOf1970;
    return mjday * kTicksPerDay + ((h * 60 + mi) * 60 + se) * kTicksPerSecond + frac;
}

LatLonGrid MakeGrid(const std::string& region, const std::string& spacing, bool pixel) {
    LatLonGrid g;
    g.pixel = pixel;
    const std::vector<std::string> r = Split(region, '/');
    long double v[4];
    bool ok = r.size() == 4;
    for (std::size_t k = 0; ok && k < 4; ++k) ok = ReadNumber(r[k], v[k]);
    if (!ok) throw GridError("--region: " + Quoted(region) + " is not W/E/S/N in decimal degrees", 2);
    g.west = v[0];
    g.east = v[1];
    g.south = v[2];
    g.north = v[3];
    if (!(g.west < g.east) || !(g.south < g.north))
        throw GridError("--region: " + Quoted(region) + " is empty or inverted (W < E and S < N are needed)", 2);
    if (g.south < -90 || g.north > 90)
        throw GridError("--region: " + Quoted(region) + " reaches beyond latitude -90 to 90", 2);
    if (g.west < -360 || g.east > 360 || g.east - g.west > 360)
        throw GridError("--region: " + Quoted(region) + " spans more than 360 degrees of longitude or lies beyond -360 to 360", 2);

    const std::vector<std::string> s = Split(spacing, '/');
    long double divx = 1, divy = 1;
    ok = (s.size() == 1 || s.size() == 2) && ReadSpacing(s[0], g.dx, divx);
    if (ok && s.size() == 2) ok = ReadSpacing(s[1], g.dy, divy);
    else if (ok) g.dy = g.dx, divy = divx;
    if (!ok) throw GridError("--spacing: " + Quoted(spacing) + " is not DX[/DY] in degrees, or with m or s", 2);
    if (!(g.dx > 0) || !(g.dy > 0))
        throw GridError("--spacing: " + Quoted(spacing) + " must be above zero", 2);
    // The intervals of the spacing d over span, or the message that names
    // the nearest spacings that divide it.
    auto intervals = [&](long double span, long double d, long double div, const char* what, const std::string& from,
                         const std::string& to) {
        std::uint64_t lo, hi;
        const std::uint64_t n = Intervals(span, d, lo, hi);
        if (n == 0)
            throw GridError("--spacing: " + Quoted(spacing) + " does not divide the " + what + " " + from + " to " +
                                to + "; the nearest spacings that do are " + Spacing(span / hi, div) + " and " +
                                Spacing(span / lo, div),
                            2);
        return n;
    };
    const std::uint64_t ix = intervals(g.east - g.west, g.dx, divx, "longitudes", r[0], r[1]);
    const std::uint64_t iy = intervals(g.north - g.south, g.dy, divy, "latitudes", r[2], r[3]);
    const std::uint64_t nx = ix + (pixel ? 0 : 1), ny = iy + (pixel ? 0 : 1);
    if (nx > 4000000000ULL || ny > 4000000000ULL || nx * ny > (1ULL << 40))
        throw GridError("--spacing: " + Quoted(spacing) + " gives too many nodes", 2);
    g.nx = static_cast<std::uint32_t>(nx);
    g.ny = static_cast<std::uint32_t>(ny);
    return g;
}

const char* const kModel =
    "IERS Conventions (2010) solid Earth tide displacement, conventional tide-free";

int NodeOffset(const Settings& s) {
    return s.nodes == Nodes::LatLon ? (s.grid.pixel ? 1 : 0) : (s.raster.point ? 0 : 1);
}

std::string NodeRegistration(const Settings& s) {
    if (s.nodes == Nodes::LatLon) return s.grid.pixel ? "pixel (cell centres)" : "grid-line";
    return std::string(s.raster.point ? "pixel-is-point" : "pixel-is-area (cell centres)") + " of " + s.rasters.like;
}

std::vector<std::pair<const char*, std::string>> RasterAttributes(const Settings& s) {
    std::vector<std::pair<const char*, std::string>> out;
    const RasterInputs& in = s.rasters;
    if (!in.like.empty()) out.emplace_back("like_raster", in.like);
    if (!in.lat.empty()) out.emplace_back("lat_raster", in.lat);
    if (!in.lon.empty()) out.emplace_back("lon_raster", in.lon);
    if (!in.dem.empty()) out.emplace_back("dem_raster", in.dem);
    if (!in.timeRaster.empty()) out.emplace_back("time_raster", in.timeRaster);
    if (!in.losInc.empty())
        out.emplace_back("los_rasters", in.losInc == in.losAz ? in.losInc : in.losInc + "," + in.losAz);
    return out;
}

std::vector<CrsAttribute> GeographicCrs() {
    return {{"grid_mapping_name", "latitude_longitude", {}},
            {"semi_major_axis", "", {6378137.0}},
            {"inverse_flattening", "", {298.257223563}},
            {"crs_wkt",
             "GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS 84\",6378137,"
             "298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS[\"longitude\",east],"
             "ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",4326]]",
             {}},
            {"epsg_code", "EPSG:4326", {}}};
}

const char* EphemerisName(bool precise) {
    return precise ? "precise: ERFA, IAU 2006/2000A" : "series: short analytic Sun and Moon series";
}

std::vector<Component> ParseComponents(const std::string& list) {
    std::vector<Component> out;
    for (const std::string& c : Split(list, ',')) {
        Component k;
        if (c == "n") k = Component::North;
        else if (c == "e") k = Component::East;
        else if (c == "u") k = Component::Up;
        else if (c == "x") k = Component::X;
        else if (c == "y") k = Component::Y;
        else if (c == "z") k = Component::Z;
        else if (c == "los") k = Component::Los;
        else if (c == "azimuth") k = Component::Azimuth;
        else
            throw GridError("--components: " + Quoted(c) + " in " + Quoted(list) +
                                " is not one of n, e, u, x, y, z, los, azimuth",
                            2);
        if (std::find(out.begin(), out.end(), k) != out.end())
            throw GridError("--components: " + Quoted(c) + " is given twice in " + Quoted(list), 2);
        out.push_back(k);
    }
    return out;
}

const char* VariableName(Component c) {
    switch (c) {
        case Component::North: return "north";
        case Component::East: return "east";
        case Component::Up: return "up";
        case Component::X: return "ecef_x";
        case Component::Y: return "ecef_y";
        case Component::Z: return "ecef_z";
        case Component::Los: return "los";
        case Component::Azimuth: return "azimuth";
    }
    return "";
}

const char* LongName(Component c) {
    switch (c) {
        case Component::North: return "solid Earth tide displacement, local north";
        case Component::East: return "solid Earth tide displacement, local east";
        case Component::Up: return "solid Earth tide displacement, up along the ellipsoid normal";
        case Component::X: return "solid Earth tide displacement, Earth-fixed X (towards Greenwich)";
        case Component::Y: return "solid Earth tide displacement, Earth-fixed Y";
        case Component::Z: return "solid Earth tide displacement, Earth-fixed Z (towards the north pole)";
        case Component::Los:
            return "solid Earth tide displacement along the line of sight, positive towards the satellite: "
                   "-e sin(inc) sin(az) + n sin(inc) cos(az) + u cos(inc), az anticlockwise from north";
        case Component::Azimuth:
            return "solid Earth tide displacement along the track (MintPy en2az): "
                   "-e sin(az + 90) + n cos(az + 90), az the line of sight's azimuth anticlockwise from north";
    }
    return "";
}

namespace {

// The look angles' sines and cosines.
struct Look {
    long double sinInc = 0, cosInc = 1, sinAz = 0, cosAz = 1;
    explicit Look(const Settings& s) {
        if (s.hasLos) Set(s.losInc, s.losAz);
    }
    Look(long double inc, long double az) { Set(inc, az); }
    // The angles' sines and cosines in double (the C library's, some
    // five times faster than the x87's for a raster's angle per node, and
    // the ones numpy gives), carried on in extended precision.
    void Set(long double inc, long double az) {
        const double i = static_cast<double>(deg2rad(inc)), a = static_cast<double>(deg2rad(az));
        sinInc = std::sin(i);
        cosInc = std::cos(i);
        sinAz = std::sin(a);
        cosAz = std::cos(a);
    }
};

inline double Pick(Component c, const neu& l, const xyz& x, const Look& k) {
    switch (c) {
        case Component::Los:
            return static_cast<double>(-l.GetE() * k.sinInc * k.sinAz + l.GetN() * k.sinInc * k.cosAz +
                                       l.GetU() * k.cosInc);
        case Component::Azimuth:
            // sin(az + 90) = cos(az), cos(az + 90) = -sin(az).
            return static_cast<double>(-l.GetE() * k.cosAz - l.GetN() * k.sinAz);
        case Component::North: return static_cast<double>(l.GetN());
        case Component::East: return static_cast<double>(l.GetE());
        case Component::Up: return static_cast<double>(l.GetU());
        case Component::X: return static_cast<double>(x.GetX());
        case Component::Y: return static_cast<double>(x.GetY());
        case Component::Z: return static_cast<double>(x.GetZ());
    }
    return 0;
}

std::unique_ptr<havorkastilo::TideEpoch> MakeEpoch(Ticks t, const SunMoon& eph) {
    std::uint32_t day;
    long double sec;
    SplitTicks(t, day, sec);
    return std::make_unique<havorkastilo::TideEpoch>(day, sec, eph);
}

// One worker's epochs of the distinct times it meets, from its own
// ephemeris: the Sun and the Moon once per time (per row, for times along
// the rows), kept for the times met again.
class EpochCache {
  public:
    explicit EpochCache(bool precise) : eph_(precise ? Ephemeris::Precise : Ephemeris::Series) {}
    const havorkastilo::TideEpoch& At(Ticks t) {
        if (last_ && t == lastTime_) return *last_;
        auto it = kept_.find(t);
        if (it == kept_.end()) {
            if (kept_.size() >= kKept) kept_.clear();
            it = kept_.emplace(t, MakeEpoch(t, eph_)).first;
        }
        lastTime_ = t;
        last_ = it->second.get();
        return *last_;
    }

  private:
    static constexpr std::size_t kKept = 4096;
    SunMoon eph_;
    std::unordered_map<Ticks, std::unique_ptr<havorkastilo::TideEpoch>> kept_;
    const havorkastilo::TideEpoch* last_ = nullptr;
    Ticks lastTime_ = 0;
};

// Nodes a block of per-node inputs holds at most: their 49 bytes a node
// stay within 3.1 MiB, and the values' buffer shrinks with them, so that a
// run with every raster stays under 64 MiB.
constexpr std::size_t kInputNodes = std::size_t(1) << 16;

// Rows of a block: as many as maxNodes and the values' buffer allow,
// whole multiples of the writer's chunk rows.
std::size_t BlockRows(std::size_t ny, std::size_t nx, std::size_t perRowEpoch, std::size_t groupT,
                      std::size_t multiple, std::size_t maxNodes) {
    std::size_t rows = std::max<std::size_t>(
        1, std::min({ny, kBlockValues / (perRowEpoch * groupT), std::max<std::size_t>(1, maxNodes / nx)}));
    if (rows > multiple) rows -= rows % multiple;
    else rows = std::min(multiple, ny);
    return rows;
}

// Computes each block on worker threads while the calling thread writes the
// block before it, so that converting, compressing and writing overlap the
// computing.  Every call of the writer (and of the nodes' source) stays on
// the calling thread: GDAL's error handlers and HDF5's error reporting are
// per thread, and the libraries take one call at a time.  Two buffers take
// turns; a failure of a worker or of the writer is rethrown.
class Overlap {
  public:
    Overlap(Writer& out, std::size_t size) : out_(out), buffers_{std::vector<double>(size), std::vector<double>(size)} {}
    Overlap(const Overlap&) = delete;
    Overlap& operator=(const Overlap&) = delete;
    ~Overlap() { Join(); }

    // The buffer the next block is computed into.
    std::vector<double>& Buffer() { return buffers_[current_]; }

    // Runs work on nthreads threads of their own (work fills Buffer() with
    // rows [row0, row0 + nrows) of epochs [t0, t0 + nt) and returns early
    // once its argument is true), writes the block before it meanwhile,
    // then waits for the workers.
    void Run(unsigned nthreads, const std::function<void(const std::atomic<bool>&)>& work, std::uint32_t row0,
             std::uint32_t nrows, std::size_t t0, std::size_t nt) {
        failed_ = false;
        failure_ = nullptr;
        for (unsigned k = 0; k < nthreads; ++k)
            pool_.emplace_back([this, &work] {
                try {
                    work(failed_);
                } catch (...) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    if (!failed_.exchange(true)) failure_ = std::current_exception();
                }
            });
        try {
            WritePending();
        } catch (...) {
            // The workers use the caller's frame: they stop and end here.
            failed_ = true;
            Join();
            throw;
        }
        Join();
        if (failure_) std::rethrow_exception(failure_);
        pending_ = Pending{true, row0, nrows, t0, nt, current_};
        current_ ^= 1;
    }

    // Writes the last block.
    void Finish() { WritePending(); }

  private:
    struct Pending {
        bool any = false;
        std::uint32_t row0 = 0, nrows = 0;
        std::size_t t0 = 0, nt = 0;
        int buffer = 0;
    };
    void WritePending() {
        if (!pending_.any) return;
        pending_.any = false;
        out_.Block(pending_.row0, pending_.nrows, pending_.t0, pending_.nt, buffers_[pending_.buffer]);
    }
    void Join() {
        for (std::thread& th : pool_) th.join();
        pool_.clear();
    }

    Writer& out_;
    std::vector<double> buffers_[2];
    int current_ = 0;
    Pending pending_;
    std::vector<std::thread> pool_;
    std::atomic<bool> failed_{false};
    std::mutex mutex_;
    std::exception_ptr failure_;
};

// Compute for nodes with inputs of their own (rasters).
void ComputeNodes(const Settings& s, Writer& out, const std::function<void(std::uint64_t)>& progress,
                  const std::atomic<bool>* stop, NodeSource& source, std::uint64_t* noData) {
    using havorkastilo::TidePoint;
    const std::size_t nc = s.components.size(), nx = s.grid.nx, ny = s.grid.ny;
    const std::size_t perRowEpoch = nc * nx;
    const std::size_t groupT = std::max<std::size_t>(1, std::min(s.times.size(), kBlockValues / perRowEpoch));
    const std::size_t blockRows =
        BlockRows(ny, nx, perRowEpoch, groupT, std::max<std::uint32_t>(1, out.RowMultiple()), kInputNodes);
    // On a latitude/longitude grid the rows' and columns' angles, once.
    std::vector<TidePoint::Angle> gridLon, gridLat;
    if (s.nodes == Nodes::LatLon) {
        for (std::uint32_t i = 0; i < s.grid.nx; ++i) gridLon.emplace_back(deg2rad(s.grid.Lon(i)));
        for (std::uint32_t j = 0; j < s.grid.ny; ++j) gridLat.emplace_back(deg2rad(s.grid.Lat(j)));
    }
    const Look look(s);
    SunMoon eph(s.precise ? Ephemeris::Precise : Ephemeris::Series);
    Overlap overlap(out, perRowEpoch * groupT * blockRows);
    NodeBlock b;
    std::uint64_t done = 0, missing = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();

    for (std::size_t t0 = 0; t0 < s.times.size(); t0 += groupT) {
        const std::size_t nt = std::min(groupT, s.times.size() - t0);
        std::vector<std::unique_ptr<havorkastilo::TideEpoch>> epochs;
        const bool ownTime = s.rowTime || !s.rasters.timeRaster.empty();
        if (!ownTime)
            for (std::size_t t = 0; t < nt; ++t) epochs.push_back(MakeEpoch(s.times[t0 + t], eph));
        for (std::uint32_t row0 = 0; row0 < ny; row0 += static_cast<std::uint32_t>(blockRows)) {
            if (stop && stop->load()) throw GridError("interrupted", 1);
            const std::uint32_t nrows = static_cast<std::uint32_t>(std::min<std::size_t>(blockRows, ny - row0));
            source.Read(row0, nrows, b);
            std::vector<double>& values = overlap.Buffer();
            if (t0 == 0)
                for (std::size_t k = 0; k < std::size_t(nrows) * nx; ++k) missing += b.valid[k] == 0;
            std::atomic<std::uint32_t> next{0};
            overlap.Run(std::min<unsigned>(std::max(1u, s.threads), nrows), [&](const std::atomic<bool>& failed) {
                TidePoint p = TidePoint::Geodetic(flh(0, 0, 0));
                neu l;
                xyz x;
                EpochCache own(s.precise);
                for (std::uint32_t r; (r = next.fetch_add(1)) < nrows;) {
                    if (failed.load()) return;
                    const Ticks rowTime = s.rowTime ? RowTime(s, row0 + r) : 0;
                    for (std::size_t i = 0; i < nx; ++i) {
                        const std::size_t k = r * nx + i;
                        if (!b.valid[k]) {
                            for (std::size_t t = 0; t < nt; ++t)
                                for (std::size_t c = 0; c < nc; ++c) values[((t * nc + c) * nrows + r) * nx + i] = nan;
                            continue;
                        }
                        const long double h = b.height.empty() ? s.height : static_cast<long double>(b.height[k]);
                        if (s.nodes == Nodes::LatLon)
                            p.SetGeodetic(gridLat[row0 + r], gridLon[i], h);
                        else
                            p.SetGeodetic(TidePoint::Angle(deg2rad(static_cast<long double>(b.lat[k]))),
                                          TidePoint::Angle(deg2rad(static_cast<long double>(b.lon[k]))), h);
                        const Look node = b.inc.empty() ? look : Look(b.inc[k], b.az[k]);
                        for (std::size_t t = 0; t < nt; ++t) {
                            const havorkastilo::TideEpoch& e = !b.time.empty() ? own.At(b.time[k])
                                                               : s.rowTime      ? own.At(rowTime)
                                                                                : *epochs[t];
                            p.Displacement(e, l, x);
                            for (std::size_t c = 0; c < nc; ++c)
                                values[((t * nc + c) * nrows + r) * nx + i] = Pick(s.components[c], l, x, node);
                        }
                    }
                }
            }, row0, nrows, t0, nt);
            done += std::uint64_t(nrows) * nx * nt;
            if (progress) progress(done);
        }
    }
    overlap.Finish();
    if (noData) *noData = missing;
    out.Close();
}


}  // namespace

std::vector<double> NodeValues(const Settings& s, std::uint32_t i, std::uint32_t j, Ticks t) {
    SunMoon eph(s.precise ? Ephemeris::Precise : Ephemeris::Series);
    const auto e = MakeEpoch(t, eph);
    havorkastilo::TidePoint p = havorkastilo::TidePoint::Geodetic(flh(0, 0, 0));
    p.SetGeodetic(havorkastilo::TidePoint::Angle(deg2rad(s.grid.Lat(j))),
                  havorkastilo::TidePoint::Angle(deg2rad(s.grid.Lon(i))), s.height);
    neu l;
    xyz x;
    p.Displacement(*e, l, x);
    std::vector<double> v;
    const Look k(s);
    for (Component c : s.components) v.push_back(Pick(c, l, x, k));
    return v;
}

Ticks RowTime(const Settings& s, std::uint32_t j) {
    const Ticks t0 = s.times.front();
    if (!s.rowTime || s.grid.ny < 2) return t0;
    // Image row k (0 northernmost) at t0 + (t1 - t0) k / (ny - 1), rounded
    // to the nearest tick, in integers.
    const std::int64_t k = static_cast<std::int64_t>(s.grid.ny - 1 - j), n = s.grid.ny - 1;
    const std::int64_t span = s.rowTimeEnd - t0;
    const std::int64_t q = span / n, r = span % n;
    return t0 + q * k + (2 * r * k + n) / (2 * n);
}

void Compute(const Settings& s, Writer& out, const std::function<void(std::uint64_t)>& progress,
             const std::atomic<bool>* stop, NodeSource* nodes, std::uint64_t* noData) {
    using havorkastilo::TidePoint;
    if (noData) *noData = 0;
    if (s.perNodeInput()) {
        if (!nodes) throw GridError("the nodes' rasters are not open", 1);
        ComputeNodes(s, out, progress, stop, *nodes, noData);
        return;
    }
    const LatLonGrid& g = s.grid;
    const std::size_t nc = s.components.size();
    const std::size_t nx = g.nx;
    // Epoch groups and row blocks that keep the buffer within kBlockValues.
    const std::size_t perRowEpoch = nc * nx;
    const std::size_t groupT = std::max<std::size_t>(1, std::min(s.times.size(), kBlockValues / perRowEpoch));
    const std::size_t blockRows = BlockRows(g.ny, nx, perRowEpoch, groupT, std::max<std::uint32_t>(1, out.RowMultiple()),
                                            std::numeric_limits<std::size_t>::max());

    // Sines and cosines of every column and row, found once.
    std::vector<TidePoint::Angle> lon, lat;
    lon.reserve(g.nx);
    lat.reserve(g.ny);
    for (std::uint32_t i = 0; i < g.nx; ++i) lon.emplace_back(deg2rad(g.Lon(i)));
    for (std::uint32_t j = 0; j < g.ny; ++j) lat.emplace_back(deg2rad(g.Lat(j)));

    const unsigned nthreads = std::max(1u, s.threads);
    const Look look(s);
    SunMoon eph(s.precise ? Ephemeris::Precise : Ephemeris::Series);
    Overlap overlap(out, perRowEpoch * groupT * blockRows);
    std::uint64_t done = 0;

    for (std::size_t t0 = 0; t0 < s.times.size(); t0 += groupT) {
        const std::size_t nt = std::min(groupT, s.times.size() - t0);
        // The Sun and the Moon once per epoch of the group.
        std::vector<std::unique_ptr<havorkastilo::TideEpoch>> epochs;
        if (!s.rowTime)
            for (std::size_t t = 0; t < nt; ++t) epochs.push_back(MakeEpoch(s.times[t0 + t], eph));

        for (std::uint32_t row0 = 0; row0 < g.ny; row0 += static_cast<std::uint32_t>(blockRows)) {
            if (stop && stop->load()) throw GridError("interrupted", 1);
            const std::uint32_t nrows = static_cast<std::uint32_t>(std::min<std::size_t>(blockRows, g.ny - row0));
            std::vector<double>& values = overlap.Buffer();
            std::atomic<std::uint32_t> next{0};
            overlap.Run(std::min<unsigned>(nthreads, nrows), [&](const std::atomic<bool>& failed) {
                TidePoint p = TidePoint::Geodetic(flh(0, 0, 0));
                neu l;
                xyz x;
                // With time along the rows, the Sun and the Moon of each
                // row, from this worker's own ephemeris.
                std::unique_ptr<SunMoon> own;
                std::unique_ptr<havorkastilo::TideEpoch> rowEpoch;
                if (s.rowTime) own = std::make_unique<SunMoon>(s.precise ? Ephemeris::Precise : Ephemeris::Series);
                for (std::uint32_t r; (r = next.fetch_add(1)) < nrows;) {
                    if (failed.load()) return;
                    const TidePoint::Angle& la = lat[row0 + r];
                    if (s.rowTime) rowEpoch = MakeEpoch(RowTime(s, row0 + r), *own);
                    for (std::size_t i = 0; i < nx; ++i) {
                        p.SetGeodetic(la, lon[i], s.height);
                        for (std::size_t t = 0; t < nt; ++t) {
                            p.Displacement(s.rowTime ? *rowEpoch : *epochs[t], l, x);
                            for (std::size_t c = 0; c < nc; ++c)
                                values[((t * nc + c) * nrows + r) * nx + i] = Pick(s.components[c], l, x, look);
                        }
                    }
                }
            }, row0, nrows, t0, nt);
            done += std::uint64_t(nrows) * nx * nt;
            if (progress) progress(done);
        }
    }
    overlap.Finish();
    out.Close();
}

}  // namespace hgrid
