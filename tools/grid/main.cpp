// havorkastilo-grid: the solid Earth tide over an area, every node exact,
// written to netCDF-4 or GeoTIFF.  The command line and the run's file
// handling; the computation and the writers are in the library (Grid.h).
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "PROGINC/ProgramExit.h"
#include "tools/grid/Grid.h"

namespace {

const char* const kProg = "havorkastilo-grid";

const char* const kHelp =
    "Usage: havorkastilo-grid -R W/E/S/N -I DX[/DY] -T TIME... -o FILE [OPTION]...\n"
    "   or: havorkastilo-grid --like RASTER -T TIME... -o FILE [OPTION]...\n"
    "   or: havorkastilo-grid --lat RASTER --lon RASTER -T TIME... -o FILE [OPTION]...\n"
    "\n"
    "Computes the solid Earth tide displacement (IERS Conventions 2010,\n"
    "conventional tide-free) at every node of a latitude/longitude grid, of a\n"
    "product's own raster grid in its CRS, or of radar-geometry rasters, each\n"
    "node exactly, for one or many epochs, and writes it to netCDF-4 (CF-1.8) or\n"
    "GeoTIFF.  The Sun and the Moon are computed once per distinct epoch.\n"
    "\n"
    "  havorkastilo-grid -R-180/180/-90/90 -I5m -T2018-06-18T12:00:00 -o tide.nc\n"
    "\n"
    "Nodes:\n"
    "  -R, --region W/E/S/N     region in decimal degrees (W < E, S < N, latitudes\n"
    "                           within -90..90, at most 360 degrees of longitude)\n"
    "  -I, --spacing DX[/DY]    spacing in degrees, or arc minutes or seconds with\n"
    "                           the suffix m or s (5m, 30s); it must divide the\n"
    "                           region; node i is at W + i*DX\n"
    "      --pixel              nodes at the cell centres (W + (i+0.5)*DX) instead\n"
    "                           of on the grid lines\n"
    "      --like RASTER        the nodes of RASTER (any file GDAL reads) in its own\n"
    "                           CRS, each at its pixel's centre (where a pixel-is-\n"
    "                           point file puts its value); the file takes RASTER's\n"
    "                           size, geotransform and CRS\n"
    "      --lat RASTER         every pixel's latitude in degrees, with --lon (radar\n"
    "                           geometry); the file has their size, no geotransform\n"
    "      --lon RASTER         every pixel's longitude in degrees, with --lat\n"
    "      --height H           ellipsoidal height of every node in metres (default 0)\n"
    "      --dem RASTER         ellipsoidal heights in metres on the same nodes (the\n"
    "                           same size, and the same geotransform where the nodes\n"
    "                           have one); never resampled\n"
    "Times (UTC, YYYY-MM-DDThh:mm:ss[.fffffff][Z], years 1901-2199):\n"
    "  -T, --time T             an epoch; may be repeated\n"
    "  -T, --time T0/T1/STEP    epochs from T0 to T1 (included when on a step);\n"
    "                           STEP with the unit s, m, h or d (30m, 1h)\n"
    "      --times FILE         epochs from FILE, one a line\n"
    "      --row-time T0/T1     time along the rows instead of --time: the first\n"
    "                           row (the northernmost of a grid, the first of a\n"
    "                           raster) at T0, the last at T1, linear in between;\n"
    "                           the file's time then gives each row's time\n"
    "                           (several epochs make a stack with a time dimension)\n"
    "      --time-raster RASTER each node at the one --time plus RASTER's seconds\n"
    "Values:\n"
    "  -C, --components LIST    of n, e, u (local north, east, up), x, y, z\n"
    "                           (Earth-fixed), los and azimuth, separated by commas\n"
    "                           (default e,n,u)\n"
    "      --los INC/AZ         look angles in degrees for los and azimuth: INC the\n"
    "                           incidence of the ground-to-satellite vector from the\n"
    "                           vertical (0..90), AZ its azimuth from north,\n"
    "                           anticlockwise positive (about 102 ascending, -102\n"
    "                           descending for Sentinel-1).  los = -e sin(INC) sin(AZ)\n"
    "                           + n sin(INC) cos(AZ) + u cos(INC), positive towards the\n"
    "                           satellite; azimuth = -e sin(AZ+90) + n cos(AZ+90), the\n"
    "                           motion along the track (MintPy's en2az)\n"
    "      --los-rasters INC,AZ the look angles of every node from two rasters, or\n"
    "                           from one raster's bands 1 and 2 (ISCE's los.rdr)\n"
    "      --ephemeris series|precise   Sun and Moon from the short series (default)\n"
    "                           or ERFA's precise ephemeris; also -ms, -mp\n"
    "Output:\n"
    "  -o, --output FILE        the file; its format from the suffix .nc or .tif\n"
    "      --format nc|tif      the format, whatever the suffix\n"
    "      --type float32|float64   the values' type (default float32)\n"
    "      --deflate N          compression level 0..9 (default 1; 0 for none)\n"
    "  -j, --threads N          worker threads, 1..256 (default: the processors this\n"
    "                           process may use); the values are the same for every N\n"
    "  -q, --quiet              no progress line (one is shown only on a terminal)\n"
    "  -h, --help               this text\n"
    "  -V, --version            the version\n"
    "\n"
    "A node whose input has no data (no-data value or NaN in a raster) is NaN in\n"
    "the file; their count is reported on standard error.\n"
    "The file is written under a hidden temporary name beside FILE and renamed\n"
    "when complete; a failed or interrupted run leaves no FILE.\n"
    "Exit status: 0 done, 1 a run-time failure, 2 a usage error.\n";

std::atomic<bool> gStop{false};
volatile sig_atomic_t gSignal = 0;

void OnSignal(int sig) {
    gSignal = sig;
    gStop.store(true);
}

struct Usage {
    std::string text;
};

[[noreturn]] void Bad(const std::string& text) { throw hgrid::GridError(text, 2); }

std::string Quoted(const std::string& v) { return "'" + v + "'"; }

long ReadInt(const std::string& opt, const std::string& v, long lo, long hi) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end || errno || n < lo || n > hi)
        Bad(opt + ": " + Quoted(v) + " is not a whole number from " + std::to_string(lo) + " to " +
            std::to_string(hi));
    return n;
}

// Epochs of "T" or "T0/T1/STEP".
void AddTimes(const std::string& opt, const std::string& v, std::vector<hgrid::Ticks>& out) {
    const std::size_t a = v.find('/');
    if (a == std::string::npos) {
        out.push_back(hgrid::ParseTime(v, opt));
        return;
    }
    const std::size_t b = v.find('/', a + 1);
    if (b == std::string::npos) Bad(opt + ": " + Quoted(v) + " is not T or T0/T1/STEP");
    const hgrid::Ticks t0 = hgrid::ParseTime(v.substr(0, a), opt);
    const hgrid::Ticks t1 = hgrid::ParseTime(v.substr(a + 1, b - a - 1), opt);
    std::string step = v.substr(b + 1);
    long double unit = 0;
    if (!step.empty()) {
        switch (step.back()) {
            case 's': unit = 1; break;
            case 'm': unit = 60; break;
            case 'h': unit = 3600; break;
            case 'd': unit = 86400; break;
            default: break;
        }
        step.pop_back();
    }
    char* end = nullptr;
    const long double n = std::strtold(step.c_str(), &end);
    if (unit == 0 || step.empty() || *end || !(n > 0) || !std::isfinite(n))
        Bad(opt + ": the step " + Quoted(v.substr(b + 1)) + " is not a positive number with s, m, h or d");
    const long double ticks = std::round(n * unit * hgrid::kTicksPerSecond);
    if (ticks < 1 || ticks > 1e18L) Bad(opt + ": the step " + Quoted(v.substr(b + 1)) + " is out of range");
    if (t1 < t0) Bad(opt + ": " + Quoted(v) + " ends before it begins");
    const hgrid::Ticks st = static_cast<hgrid::Ticks>(ticks);
    if ((t1 - t0) / st >= 1000000) Bad(opt + ": " + Quoted(v) + " gives more than a million epochs");
    for (hgrid::Ticks t = t0; t <= t1; t += st) out.push_back(t);
}

unsigned DefaultThreads() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return 1;
}

std::string Dir(const std::string& path) {
    const std::size_t k = path.rfind('/');
    return k == std::string::npos ? "." : k == 0 ? "/" : path.substr(0, k);
}
std::string Base(const std::string& path) {
    const std::size_t k = path.rfind('/');
    return k == std::string::npos ? path : path.substr(k + 1);
}

int Run(int argc, char** argv) {
    std::string region, spacing, output, format, components = "e,n,u", timesFile;
    bool pixel = false, quiet = false, haveTime = false, haveHeight = false, haveDem = false;
    hgrid::Ticks rowStart = 0;
    hgrid::Settings s;
    s.threads = DefaultThreads();
    std::vector<hgrid::Ticks> times;

    std::string history = kProg;
    for (int k = 1; k < argc; ++k) history += std::string(" ") + argv[k];
    s.history = history;

    for (int k = 1; k < argc; ++k) {
        std::string arg = argv[k];
        std::string name, value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            name = arg.substr(0, eq);
            if (eq != std::string::npos) value = arg.substr(eq + 1), hasValue = true;
        } else if (arg.size() >= 2 && arg[0] == '-') {
            name = arg.substr(0, 2);
            if (arg.size() > 2) value = arg.substr(2), hasValue = true;
        } else {
            Bad(Quoted(arg) + " is not an option (see --help)");
        }
        auto flag = [&](const char* shortName, const char* longName) {
            if (name != longName && name != shortName) return false;
            if (hasValue && !(name == "-m")) Bad(name + " takes no value: " + Quoted(arg));
            return true;
        };
        auto opt = [&](const char* shortName, const char* longName) {
            if (name != longName && name != shortName) return false;
            if (!hasValue) {
                if (k + 1 >= argc) Bad(name + " needs a value");
                value = argv[++k];
            }
            name = longName;
            return true;
        };
        if (flag("-h", "--help")) {
            std::cout << kHelp;
            return 0;
        } else if (flag("-V", "--version")) {
            std::cout << kProg << " " << HAVORKASTILO_VERSION << "\n";
            return 0;
        } else if (opt("-R", "--region")) {
            region = value;
        } else if (opt("-I", "--spacing")) {
            spacing = value;
        } else if (flag("", "--pixel")) {
            pixel = true;
        } else if (opt("", "--height")) {
            haveHeight = true;
            char* end = nullptr;
            s.height = std::strtold(value.c_str(), &end);
            if (value.empty() || *end || !std::isfinite(s.height) || std::fabs(s.height) > 1e5L)
                Bad("--height: " + Quoted(value) + " is not a height in metres from -100000 to 100000");
        } else if (opt("-T", "--time")) {
            AddTimes("--time", value, times);
            haveTime = true;
        } else if (opt("", "--times")) {
            timesFile = value;
        } else if (opt("", "--row-time")) {
            const std::size_t slash = value.find('/');
            if (slash == std::string::npos || value.find('/', slash + 1) != std::string::npos)
                Bad("--row-time: " + Quoted(value) + " is not T0/T1");
            rowStart = hgrid::ParseTime(value.substr(0, slash), "--row-time");
            s.rowTimeEnd = hgrid::ParseTime(value.substr(slash + 1), "--row-time");
            if (s.rowTimeEnd < rowStart) Bad("--row-time: " + Quoted(value) + " ends before it begins");
            if (s.rowTimeEnd - rowStart > 100 * hgrid::kTicksPerDay)
                Bad("--row-time: " + Quoted(value) + " spans more than 100 days");
            s.rowTime = true;
        } else if (opt("", "--los")) {
            const std::size_t slash = value.find('/');
            char* end1 = nullptr;
            char* end2 = nullptr;
            const std::string a = value.substr(0, slash), b = slash == std::string::npos ? "" : value.substr(slash + 1);
            s.losInc = std::strtold(a.c_str(), &end1);
            s.losAz = std::strtold(b.c_str(), &end2);
            if (slash == std::string::npos || a.empty() || b.empty() || *end1 || *end2 || !std::isfinite(s.losInc) ||
                !std::isfinite(s.losAz))
                Bad("--los: " + Quoted(value) + " is not INC/AZ in degrees");
            if (s.losInc < 0 || s.losInc > 90)
                Bad("--los: the incidence angle in " + Quoted(value) + " is outside 0 to 90 degrees");
            if (std::fabs(s.losAz) > 360)
                Bad("--los: the azimuth in " + Quoted(value) + " is outside -360 to 360 degrees");
            s.hasLos = true;
        } else if (opt("", "--like")) {
            s.rasters.like = value;
        } else if (opt("", "--lat")) {
            s.rasters.lat = value;
        } else if (opt("", "--lon")) {
            s.rasters.lon = value;
        } else if (opt("", "--dem")) {
            s.rasters.dem = value;
            haveDem = true;
        } else if (opt("", "--time-raster")) {
            s.rasters.timeRaster = value;
        } else if (opt("", "--los-rasters")) {
            // INC,AZ; or one file, which may itself hold a comma.
            struct stat st;
            const std::size_t comma = value.find(',');
            if (value.empty()) Bad("--los-rasters: '' is not INC,AZ or one raster");
            if (comma == std::string::npos || stat(value.c_str(), &st) == 0) {
                s.rasters.losInc = s.rasters.losAz = value;
            } else {
                s.rasters.losInc = value.substr(0, comma);
                s.rasters.losAz = value.substr(comma + 1);
                if (s.rasters.losInc.empty() || s.rasters.losAz.empty())
                    Bad("--los-rasters: " + Quoted(value) + " is not INC,AZ or one raster");
            }
        } else if (opt("-C", "--components")) {
            components = value;
        } else if (opt("", "--ephemeris")) {
            if (value == "series") s.precise = false;
            else if (value == "precise") s.precise = true;
            else Bad("--ephemeris: " + Quoted(value) + " is neither series nor precise");
        } else if (name == "-m") {
            if (value == "s") s.precise = false;
            else if (value == "p") s.precise = true;
            else Bad("-m: " + Quoted(arg) + " is neither -ms nor -mp");
        } else if (opt("-o", "--output")) {
            output = value;
        } else if (opt("", "--format")) {
            if (value == "nc" || value == "netcdf") format = "nc";
            else if (value == "tif" || value == "geotiff" || value == "gtiff") format = "tif";
            else Bad("--format: " + Quoted(value) + " is neither nc nor tif");
        } else if (opt("", "--type")) {
            if (value == "float32") s.float64 = false;
            else if (value == "float64") s.float64 = true;
            else Bad("--type: " + Quoted(value) + " is neither float32 nor float64");
        } else if (opt("", "--deflate")) {
            s.deflate = static_cast<int>(ReadInt("--deflate", value, 0, 9));
        } else if (opt("-j", "--threads")) {
            s.threads = static_cast<unsigned>(ReadInt("--threads", value, 1, 256));
        } else if (flag("-q", "--quiet")) {
            quiet = true;
        } else {
            Bad("unknown option " + Quoted(arg) + " (see --help)");
        }
    }
    const hgrid::RasterInputs& in = s.rasters;
    const bool like = !in.like.empty(), points = !in.lat.empty() || !in.lon.empty();
    if (like && points) Bad("--like and --lat/--lon both give the nodes; give one of them");
    if (like || points) {
        const std::string by = like ? "--like" : "--lat/--lon";
        if (!region.empty()) Bad("--region and " + by + " both give the nodes; give one of them");
        if (!spacing.empty()) Bad("--spacing and " + by + " both give the nodes; give one of them");
        if (pixel) Bad("--pixel does not apply to " + by + ": its nodes are the raster's pixels");
    } else {
        if (region.empty()) Bad("--region is missing (-R W/E/S/N, or --like RASTER, or --lat and --lon)");
        if (spacing.empty()) Bad("--spacing is missing (-I DX[/DY])");
    }
    if (haveDem && haveHeight) Bad("--height and --dem both give the heights; give one of them");
    if (!in.losInc.empty() && s.hasLos) Bad("--los and --los-rasters both give the look angles; give one of them");
    if (output.empty()) Bad("--output is missing (-o FILE)");
    if (!like && !points) s.grid = hgrid::MakeGrid(region, spacing, pixel);
    s.components = hgrid::ParseComponents(components);
    if (!timesFile.empty()) {
        std::ifstream list(timesFile);
        if (!list) throw hgrid::GridError("--times: cannot read " + Quoted(timesFile) + ": " + std::strerror(errno), 2);
        std::string line;
        while (std::getline(list, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            times.push_back(hgrid::ParseTime(line, "--times " + timesFile));
        }
        if (times.empty() && !haveTime) Bad("--times: " + Quoted(timesFile) + " holds no time");
        haveTime = true;
    }
    if (s.rowTime) {
        if (haveTime) Bad("--row-time takes the place of --time and --times; give one of them");
        times = {rowStart};
        haveTime = true;
    }
    if (!haveTime) Bad("--time is missing (-T TIME)");
    s.times = times;
    if (!in.timeRaster.empty()) {
        if (s.rowTime) Bad("--time-raster and --row-time both give the nodes' times; give one of them");
        if (s.times.size() != 1)
            Bad("--time-raster needs one --time, the epoch its seconds count from; " +
                std::to_string(s.times.size()) + " are given");
    }
    for (hgrid::Component c : s.components)
        if ((c == hgrid::Component::Los || c == hgrid::Component::Azimuth) && !s.hasLos && in.losInc.empty())
            Bad("--components: " + Quoted(components) + " asks for " + hgrid::VariableName(c) +
                ", which needs the look angles of --los INC/AZ or --los-rasters INC,AZ");
    if (format.empty()) {
        const auto ends = [&](const std::string& x) {
            return output.size() >= x.size() && output.compare(output.size() - x.size(), x.size(), x) == 0;
        };
        if (ends(".nc") || ends(".nc4")) format = "nc";
        else if (ends(".tif") || ends(".tiff")) format = "tif";
        else Bad("--output: " + Quoted(output) + " ends neither in .nc nor in .tif; give --format");
    }

    // The rasters are checked before any file is made.
    if (s.perNodeInput() || like || points) hgrid::OpenRasters(s);
    if (s.nodes == hgrid::Nodes::Like && format == "nc" && s.raster.rotated())
        Bad("--like: " + Quoted(in.like) + " has a rotated geotransform, which netCDF's x and y axes cannot carry; "
            "write GeoTIFF (.tif)");

    // The temporary file beside the final one.
    std::string temp = Dir(output) + "/." + Base(output) + ".XXXXXX";
    std::vector<char> buf(temp.begin(), temp.end());
    buf.push_back('\0');
    const int fd = mkstemp(buf.data());
    if (fd < 0)
        throw hgrid::GridError("--output: cannot write " + Quoted(output) + ": " + std::strerror(errno), 1);
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);  // the final file's mode, as a new file gets it
    close(fd);
    temp = buf.data();

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGXFSZ, SIG_IGN);  // a file size limit reads as a full disk

    const bool showProgress = !quiet && isatty(2);
    const std::uint64_t total = std::uint64_t(s.grid.nx) * s.grid.ny * s.times.size();
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    auto progress = [&](std::uint64_t done) {
        if (!showProgress) return;
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - last < std::chrono::milliseconds(500)) return;
        last = now;
        const double sec = std::chrono::duration<double>(now - start).count();
        const double rate = sec > 0 ? static_cast<double>(done) / sec : 0;
        const double left = rate > 0 ? static_cast<double>(total - done) / rate : 0;
        std::fprintf(stderr, "\r%s: %5.1f%%  %.2f M nodes/s  %.0f s left   ", kProg,
                     100.0 * static_cast<double>(done) / static_cast<double>(total), rate / 1e6, left);
        if (done == total) std::fputc('\n', stderr);
        std::fflush(stderr);
    };
    std::uint64_t noData = 0;
    try {
        std::unique_ptr<hgrid::Writer> w = format == "nc" ? hgrid::NetcdfWriter(temp, output, s)
                                                          : hgrid::GeotiffWriter(temp, output, s);
        std::unique_ptr<hgrid::NodeSource> nodes;
        if (s.perNodeInput()) nodes = hgrid::RasterSource(s);
        hgrid::Compute(s, *w, progress, &gStop, nodes.get(), &noData);
        if (gStop.load()) throw hgrid::GridError("interrupted", 1);
        if (std::rename(temp.c_str(), output.c_str()) != 0)
            throw hgrid::GridError("--output: cannot rename the finished file to " + Quoted(output) + ": " +
                                       std::strerror(errno),
                                   1);
    } catch (...) {
        std::remove(temp.c_str());
        if (gStop.load()) {
            if (showProgress) std::fputc('\n', stderr);
            throw hgrid::GridError(std::string("interrupted by ") + (gSignal == SIGINT ? "SIGINT" : "SIGTERM") +
                                       "; " + Quoted(output) + " was not written",
                                   1);
        }
        throw;
    }
    if (noData > 0)
        std::fprintf(stderr, "%s: %llu of %llu nodes have no data in the input; they are NaN in %s\n", kProg,
                     static_cast<unsigned long long>(noData),
                     static_cast<unsigned long long>(std::uint64_t(s.grid.nx) * s.grid.ny), Quoted(output).c_str());
    return 0;
}

}  // namespace

// Ends after a failure without the libraries' exit handlers: after a failed
// write HDF5's own clean-up at exit can crash on the file it gave up.
namespace {
[[noreturn]] void Fail(const std::string& text, int status) {
    std::cerr << kProg << ": " << text << "\n";
    std::cerr.flush();
    std::fflush(nullptr);
    _exit(status);
}
}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const hgrid::GridError& e) {
        Fail(e.what(), e.Status());
    } catch (const havorkastilo::Error& e) {
        std::string text = e.what();
        std::string one;
        for (char c : text) one += c == '\n' ? ' ' : c;
        while (!one.empty() && one.front() == ' ') one.erase(0, 1);
        Fail(one, e.Status() == 2 ? 2 : 1);
    } catch (const std::exception& e) {
        Fail(e.what(), 1);
    }
}
