// havorkastilo-grid, end to end: every node equals the core's point
// computation at the node's position and time, bit for bit, in every mode;
// the values agree with GMT's earthtide; the files read back through GDAL,
// xarray and GMT; bad input is refused with the option named and no file
// left; parts split by epochs or by rows join into the single run's values.
#include <gtest/gtest.h>

#ifndef HAVORKASTILO_GRID_EXE

TEST(Grid, NotBuilt) {
    GTEST_SKIP() << "havorkastilo-grid is not built (GDAL or netCDF was not found at configure time)";
}

#else

#include <dirent.h>
#include <gdal.h>
#include <netcdf.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/SunMoon.h"
#include "GNSS/TideEpoch.h"
#include "GNSS/TidePoint.h"
#include "GNSS/TimeConverse.h"
#include "GNSS/ymdhms.h"
#include "funkcije/KotnePretvorbe.h"
#include "support/run_program.h"
#include "tools/grid/Grid.h"

namespace {

using testsupport::MakeTempDir;
using testsupport::ProgramRun;
using testsupport::Quote;
using testsupport::RunProgram;
using testsupport::Shell;

const std::string kGrid = HAVORKASTILO_GRID_EXE;
const std::string kPython = "/usr/bin/python3";

bool Have(const std::string& tool) {
    return Shell("command -v " + tool + " >/dev/null 2>&1").status == 0;
}

// Names in a folder, without . and ..
std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") out.push_back(n);
        }
        closedir(d);
    }
    return out;
}

// A variable of a netCDF file, all of it, as double.
std::vector<double> ReadNc(const std::string& path, const std::string& var) {
    int id, v;
    EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id), NC_NOERR) << path;
    EXPECT_EQ(nc_inq_varid(id, var.c_str(), &v), NC_NOERR) << var;
    int nd;
    nc_inq_varndims(id, v, &nd);
    std::vector<int> dims(static_cast<std::size_t>(nd));
    nc_inq_vardimid(id, v, dims.data());
    std::size_t n = 1;
    for (int d : dims) {
        std::size_t len;
        nc_inq_dimlen(id, d, &len);
        n *= len;
    }
    std::vector<double> out(n);
    EXPECT_EQ(nc_get_var_double(id, v, out.data()), NC_NOERR);
    nc_close(id);
    return out;
}

std::string NcText(const std::string& path, const std::string& var, const std::string& att) {
    int id, v = NC_GLOBAL;
    if (nc_open(path.c_str(), NC_NOWRITE, &id) != NC_NOERR) return "";
    if (!var.empty()) nc_inq_varid(id, var.c_str(), &v);
    std::size_t len = 0;
    std::string s;
    if (nc_inq_attlen(id, v, att.c_str(), &len) == NC_NOERR) {
        s.resize(len);
        nc_get_att_text(id, v, att.c_str(), s.data());
    }
    nc_close(id);
    return s;
}

// The core's point computation at (lat, lon) in degrees, height h, epoch
// t: north, east, up, x, y, z.
struct Point {
    long double v[6];
};
Point Core(long double latDeg, long double lonDeg, long double h, hgrid::Ticks t, bool precise = false) {
    SunMoon eph(precise ? Ephemeris::Precise : Ephemeris::Series);
    // The epoch as the program forms it from -e1YYYY-MM-DD/hh:mm:ss.sssssss:
    // the seconds' text read by strtod, the calendar time by ymdhms2mjd.
    const std::uint32_t day = static_cast<std::uint32_t>(t / hgrid::kTicksPerDay);
    const long long ticks = t % hgrid::kTicksPerDay;
    const long long s10 = ticks % (60 * hgrid::kTicksPerSecond), minutes = ticks / (60 * hgrid::kTicksPerSecond);
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%07lld", s10 / hgrid::kTicksPerSecond, s10 % hgrid::kTicksPerSecond);
    const ymdhms date = mjd2ymdhms(mjd(day, 0.0L));
    const mjd utc = ymdhms2mjd(ymdhms(date.GetYear(), date.GetMonth(), date.GetDay(),
                                      static_cast<std::uint16_t>(minutes / 60),
                                      static_cast<std::uint16_t>(minutes % 60), std::strtod(text, nullptr)));
    havorkastilo::TideEpoch e(utc, eph);
    const havorkastilo::TidePoint p =
        havorkastilo::TidePoint::Geodetic(flh(deg2rad(latDeg), deg2rad(lonDeg), h));
    neu l;
    xyz x;
    p.Displacement(e, l, x);
    return {{l.GetN(), l.GetE(), l.GetU(), x.GetX(), x.GetY(), x.GetZ()}};
}

// 2018-06-18T12:00:00Z as ticks: MJD 58287, counted by hand.
constexpr hgrid::Ticks kT0 = (58287LL * 86400 + 43200) * hgrid::kTicksPerSecond;

TEST(GridTimes, ParsesToTheTenthOfAMicrosecond) {
    EXPECT_EQ(hgrid::ParseTime("2018-06-18T12:00:00Z", "-T"), kT0);
    EXPECT_EQ(hgrid::ParseTime("2018-06-18T12:00:00", "-T"), kT0);
    EXPECT_EQ(hgrid::ParseTime("2018-06-18T12:00:00.0000001Z", "-T"), kT0 + 1);
    EXPECT_EQ(hgrid::ParseTime("2018-06-18T12:00:00.5", "-T"), kT0 + 5000000);
    // MJD 15385 is 1901-01-01; 2200-01-01 is MJD 51544 (2000-01-01) plus
    // 200 * 365 days and 49 leap days (2000 to 2196 but 2100): 124593.
    EXPECT_EQ(hgrid::ParseTime("1901-01-01T00:00:00", "-T"), 15385LL * hgrid::kTicksPerDay);
    EXPECT_EQ(hgrid::ParseTime("2199-12-31T23:59:59.9999999", "-T"), 124593LL * hgrid::kTicksPerDay - 1);
    EXPECT_THROW(hgrid::ParseTime("1900-12-31T23:59:59.9999999", "-T"), hgrid::GridError);
    EXPECT_THROW(hgrid::ParseTime("2200-01-01T00:00:00", "-T"), hgrid::GridError);
    EXPECT_THROW(hgrid::ParseTime("2018-06-18T12:00:00.00000001", "-T"), hgrid::GridError);
    EXPECT_THROW(hgrid::ParseTime("2019-02-29T00:00:00", "-T"), hgrid::GridError);
    EXPECT_NO_THROW(hgrid::ParseTime("2020-02-29T00:00:00", "-T"));
    EXPECT_EQ(hgrid::IsoTime(kT0 + 1), "2018-06-18T12:00:00.0000001Z");
}

TEST(GridTimes, AnEpochHasTheSecondsOfTheProgramsEpochForTheSameText) {
    // -e12018-06-18/05:21:33.1234567: the program reads the seconds by
    // strtod and sums minutes, seconds, hours in extended precision; a
    // quotient of the day's ticks by 1e7 differs in the last bits.
    const hgrid::Ticks t = hgrid::ParseTime("2018-06-18T05:21:33.1234567Z", "-T");
    std::uint32_t day = 0;
    long double seconds = 0;
    hgrid::SplitTicks(t, day, seconds);
    const mjd program = ymdhms2mjd(ymdhms(2018, 6, 18, 5, 21, std::strtod("33.1234567", nullptr)));
    EXPECT_EQ(day, program.GetMJDay());
    EXPECT_EQ(seconds, program.GetSecond());
    EXPECT_NE(seconds, static_cast<long double>(t % hgrid::kTicksPerDay) / 1e7L);
}

TEST(GridNodes, SpacingInMinutesAndSecondsAndTheNodeCount) {
    const hgrid::LatLonGrid g = hgrid::MakeGrid("-180/180/-90/90", "5m", false);
    EXPECT_EQ(g.nx, 4321u);
    EXPECT_EQ(g.ny, 2161u);
    const hgrid::LatLonGrid p = hgrid::MakeGrid("-180/180/-90/90", "5m", true);
    EXPECT_EQ(p.nx, 4320u);
    EXPECT_EQ(p.ny, 2160u);
    EXPECT_EQ(p.Lon(0), -180 + 0.5L * (5.0L / 60));
    const hgrid::LatLonGrid s = hgrid::MakeGrid("0/1/0/0.5", "30s/15s", false);
    EXPECT_EQ(s.nx, 121u);
    EXPECT_EQ(s.ny, 121u);
    // Node coordinates are W + i*DX, not sums.
    EXPECT_EQ(g.Lon(4320), -180 + 4320 * (5.0L / 60));
    // The nearest spacings that divide 20 degrees around 0.7 are 20/29 and 20/28.
    try {
        hgrid::MakeGrid("0/20/40/50", "0.7", false);
        ADD_FAILURE() << "0.7 does not divide 20";
    } catch (const hgrid::GridError& e) {
        EXPECT_NE(std::string(e.what()).find("0.6896551724 and 0.7142857143"), std::string::npos) << e.what();
        EXPECT_EQ(e.Status(), 2);
    }
}

// Runs the tool; the run must succeed.
void Grid(const std::vector<std::string>& args) {
    const ProgramRun r = RunProgram(kGrid, args, 300);
    ASSERT_TRUE(r.exited);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no progress line when standard error is no terminal
}

struct Mode {
    const char* name;
    bool pixel;
    bool float64;
    std::vector<hgrid::Ticks> times;
};

TEST(GridExact, RandomNodesEqualThePointComputationInEveryMode) {
    const std::string dir = MakeTempDir("grid_exact");
    // Times with tenths of a microsecond; the third a second later.
    const std::vector<hgrid::Ticks> one = {kT0 + 1234567};
    const std::vector<hgrid::Ticks> stack = {kT0 + 1234567, kT0 + 1234567 + 3 * 3600 * hgrid::kTicksPerSecond,
                                             kT0 + 1234567 + 3 * 3600 * hgrid::kTicksPerSecond + 10000000};
    const Mode modes[] = {{"lines64", false, true, one},   {"pixel64", true, true, one},
                          {"stack64", false, true, stack}, {"lines32", false, false, one},
                          {"pixel32", true, false, stack}};
    const long double W = -17.25L, S = -33.5L, dx = 0.25L, dy = 0.5L / 3;
    std::mt19937 rng(20190117);
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        const std::string out = dir + "/" + m.name + ".nc";
        std::vector<std::string> args = {"-R-17.25/-2.25/-33.5/-23.5", "-I0.25/10m", "-Cn,e,u,x,y,z", "-o", out,
                                         "--height", "812.5", "-j2"};
        if (m.pixel) args.push_back("--pixel");
        if (m.float64) args.push_back("--type=float64");
        std::string tf = dir + "/" + m.name + ".times";
        std::string lines;
        for (hgrid::Ticks t : m.times) lines += hgrid::IsoTime(t) + "\n";
        testsupport::WriteFile(tf, lines);
        args.push_back("--times");
        args.push_back(tf);
        Grid(args);
        const std::uint32_t nx = m.pixel ? 60 : 61, ny = m.pixel ? 60 : 61;
        const char* vars[6] = {"north", "east", "up", "ecef_x", "ecef_y", "ecef_z"};
        std::vector<std::vector<double>> data;
        for (const char* v : vars) data.push_back(ReadNc(out, v));
        ASSERT_EQ(data[0].size(), std::size_t(nx) * ny * m.times.size());
        const std::vector<double> lat = ReadNc(out, "lat"), lon = ReadNc(out, "lon");
        for (int k = 0; k < 40; ++k) {
            const std::uint32_t i = rng() % nx, j = rng() % ny;
            const std::size_t t = rng() % m.times.size();
            const long double la = m.pixel ? S + (j + 0.5L) * dy : S + j * dy;
            const long double lo = m.pixel ? W + (i + 0.5L) * dx : W + i * dx;
            EXPECT_EQ(lat[j], static_cast<double>(la));
            EXPECT_EQ(lon[i], static_cast<double>(lo));
            const Point p = Core(la, lo, 812.5L, m.times[t]);
            for (int c = 0; c < 6; ++c) {
                const double got = data[static_cast<std::size_t>(c)][(t * ny + j) * nx + i];
                const double want = m.float64 ? static_cast<double>(p.v[c])
                                              : static_cast<double>(static_cast<float>(static_cast<double>(p.v[c])));
                EXPECT_EQ(got, want) << vars[c] << " node " << i << "," << j << " epoch " << t;
            }
        }
    }
}

TEST(GridExact, TheSameValuesForEveryThreadCount) {
    const std::string dir = MakeTempDir("grid_threads");
    std::vector<double> first;
    for (const char* j : {"1", "2", "3", "7"}) {
        const std::string out = dir + "/j" + j + ".nc";
        Grid({"-R0/30/0/20", "-I0.2", "-T2019-01-17T05:21:33.1234567Z", "-o", out, "-j", j, "--type", "float64",
              "-Cu"});
        const std::vector<double> v = ReadNc(out, "up");
        if (first.empty()) first = v;
        else EXPECT_TRUE(v == first) << "-j" << j;
    }
}

TEST(GridExact, ThePreciseEphemeris) {
    const std::string dir = MakeTempDir("grid_precise");
    const std::string out = dir + "/p.nc";
    Grid({"-R10/12/44/46", "-I1", "-T2019-01-17T05:21:33Z", "-mp", "-o", out, "--type=float64", "-Cu"});
    const std::vector<double> v = ReadNc(out, "up");
    const hgrid::Ticks t = hgrid::ParseTime("2019-01-17T05:21:33", "t");
    EXPECT_EQ(v[1 * 3 + 2], static_cast<double>(Core(45, 12, 0, t, true).v[2]));
    EXPECT_NE(v[1 * 3 + 2], static_cast<double>(Core(45, 12, 0, t, false).v[2]));
    EXPECT_NE(NcText(out, "", "ephemeris").find("precise"), std::string::npos);
}

// GMT's grids against ours.  GMT 6.4 labels its grid files the other way
// round: its "e" file holds the north component and its "n" file the east
// (its time series, -L, gives north then east in agreement with ours and
// with PySolid at 46.05 N 14.5 E, while its grids swap them).  So our north
// is compared with GMT's e file and our east with its n file.
// A writer that keeps every block in memory, by node and epoch.
class Memory : public hgrid::Writer {
  public:
    explicit Memory(const hgrid::Settings& s)
        : s_(s), v_(s.components.size() * s.times.size() * s.grid.nx * s.grid.ny, std::nan("")) {}
    void Block(std::uint32_t row0, std::uint32_t nrows, std::size_t t0, std::size_t nt,
               const std::vector<double>& values) override {
        const std::size_t nc = s_.components.size(), nx = s_.grid.nx;
        for (std::size_t t = 0; t < nt; ++t)
            for (std::size_t c = 0; c < nc; ++c)
                for (std::size_t r = 0; r < nrows; ++r)
                    for (std::size_t i = 0; i < nx; ++i)
                        v_[(((t0 + t) * nc + c) * s_.grid.ny + row0 + r) * nx + i] =
                            values[((t * nc + c) * nrows + r) * nx + i];
    }
    void Close() override { closed = true; }
    const std::vector<double>& Values() const { return v_; }
    bool closed = false;

  private:
    const hgrid::Settings& s_;
    std::vector<double> v_;
};

// In process, so that ThreadSanitizer sees the workers.
TEST(ThreadedGrid, EveryThreadCountGivesThePointComputationsBits) {
    hgrid::Settings s;
    s.grid = hgrid::MakeGrid("-20/20/-10/10", "2", false);
    s.components = hgrid::ParseComponents("u,x");
    s.times = {kT0, kT0 + 7};
    std::vector<double> first;
    for (unsigned j : {1u, 2u, 5u}) {
        s.threads = j;
        Memory m(s);
        hgrid::Compute(s, m, nullptr, nullptr);
        EXPECT_TRUE(m.closed);
        if (first.empty()) first = m.Values();
        else EXPECT_TRUE(m.Values() == first) << j << " threads";
    }
    // Node (3, 4) of epoch 1: lon -20 + 3*2, lat -10 + 4*2.
    const Point p = Core(-2, -14, 0, kT0 + 7);
    EXPECT_EQ(first[((1 * 2 + 0) * 11 + 4) * 21 + 3], static_cast<double>(p.v[2]));
    EXPECT_EQ(first[((1 * 2 + 1) * 11 + 4) * 21 + 3], static_cast<double>(p.v[3]));
    // A stop request ends the run.
    std::atomic<bool> stop{true};
    Memory m(s);
    EXPECT_THROW(hgrid::Compute(s, m, nullptr, &stop), hgrid::GridError);
    EXPECT_FALSE(m.closed);
}

TEST(GridAgainstGmt, WithinAMillimetreHorizontallyAndTwoAndAHalfUp) {
    if (!Have("gmt")) GTEST_SKIP() << "GMT is not installed (Debian: gmt)";
    const std::string dir = MakeTempDir("grid_gmt");
    const ProgramRun g = Shell("cd " + Quote(dir) +
                               " && gmt earthtide -T2018-06-18T12:00:00 -Gg_%s.nc -Ce,n,v -R-30/60/-60/60 -I2.5");
    ASSERT_EQ(g.status, 0) << g.err;
    Grid({"-R-30/60/-60/60", "-I2.5", "-T2018-06-18T12:00:00", "-o", dir + "/h.nc", "--type=float64"});
    const std::vector<double> n = ReadNc(dir + "/h.nc", "north"), e = ReadNc(dir + "/h.nc", "east"),
                              u = ReadNc(dir + "/h.nc", "up");
    const std::vector<double> gn = ReadNc(dir + "/g_e.nc", "z"), ge = ReadNc(dir + "/g_n.nc", "z"),
                              gu = ReadNc(dir + "/g_v.nc", "z");
    // Both files hold the rows south to north, the same 37 x 49 nodes.
    ASSERT_EQ(ReadNc(dir + "/g_v.nc", "lat"), ReadNc(dir + "/h.nc", "lat"));
    ASSERT_EQ(gu.size(), u.size());
    double mn = 0, me = 0, mu = 0;
    for (std::size_t k = 0; k < u.size(); ++k) {
        mn = std::max(mn, std::fabs(n[k] - gn[k]));
        me = std::max(me, std::fabs(e[k] - ge[k]));
        mu = std::max(mu, std::fabs(u[k] - gu[k]));
    }
    EXPECT_LT(mn, 0.001);
    EXPECT_LT(me, 0.001);
    EXPECT_LT(mu, 0.0025);
    // The swap is real: the unswapped files disagree by far more.
    double swapped = 0;
    for (std::size_t k = 0; k < u.size(); ++k) swapped = std::max(swapped, std::fabs(n[k] - ge[k]));
    EXPECT_GT(swapped, 0.005);
}

TEST(GridReadBack, GeotiffThroughGdalinfoAndGdalsPython) {
    if (!Have("gdalinfo")) GTEST_SKIP() << "gdalinfo is not installed (Debian: gdal-bin)";
    const std::string dir = MakeTempDir("grid_tif");
    const std::string out = dir + "/t.tif";
    Grid({"-R10/20/40/48", "-I0.5/0.25", "-T2018-06-18T12:00:00/2018-06-18T18:00:00/6h", "-Cu,n", "-o", out,
          "--type", "float64"});
    const ProgramRun info = Shell("gdalinfo " + Quote(out));
    ASSERT_EQ(info.status, 0);
    // Half a spacing outside W and N: the corner of the pixel around the node.
    EXPECT_NE(info.out.find("Origin = (9.750000000000000,48.125000000000000)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Pixel Size = (0.500000000000000,-0.250000000000000)"), std::string::npos);
    EXPECT_NE(info.out.find("ID[\"EPSG\",4326]"), std::string::npos);
    EXPECT_NE(info.out.find("Description = up 2018-06-18T18:00:00.0000000Z"), std::string::npos);
    EXPECT_NE(info.out.find("Size is 21, 33"), std::string::npos);
    // The node at 46 N 14.5 E: column 9, row (48 - 46) / 0.25 = 8, second
    // epoch's up is band 3.
    const std::string py =
        "from osgeo import gdal\n"
        "d = gdal.Open('" + out + "')\n"
        "gt = d.GetGeoTransform()\n"
        "x = gt[0] + (9 + 0.5) * gt[1]; y = gt[3] + (8 + 0.5) * gt[5]\n"
        "b = d.GetRasterBand(3)\n"
        "print(repr(x), repr(y), d.GetSpatialRef().GetAuthorityCode(None), b.GetMetadataItem('time'),"
        " repr(float(b.ReadAsArray()[8, 9])))\n";
    testsupport::WriteFile(dir + "/r.py", py);
    const ProgramRun r = Shell(kPython + " " + Quote(dir + "/r.py"));
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream in(r.out);
    double x, y, v;
    std::string code, time;
    in >> x >> y >> code >> time >> v;
    EXPECT_EQ(x, 14.5);
    EXPECT_EQ(y, 46.0);
    EXPECT_EQ(code, "4326");
    EXPECT_EQ(time, "2018-06-18T18:00:00.0000000Z");
    EXPECT_EQ(v, static_cast<double>(Core(46, 14.5, 0, kT0 + 6 * 3600 * hgrid::kTicksPerSecond).v[2]));
}

TEST(GridReadBack, NetcdfThroughXarrayAndGmt) {
    const std::string dir = MakeTempDir("grid_nc");
    const std::string out = dir + "/s.nc";
    Grid({"-R10/20/40/48", "-I0.5", "-T2018-06-18T12:00:00.25/2018-06-18T13:00:00.25/30m", "-o", out});
    const std::string py =
        "import xarray as xr\n"
        "d = xr.open_dataset('" + out + "')\n"
        "print(d.up.dims, str(d.time.values[2]), d.sizes['lat'], d.sizes['lon'], d.up.attrs['units'],"
        " d.attrs['Conventions'], d.up.attrs['grid_mapping'], d.crs.attrs['grid_mapping_name'])\n"
        "print(repr(float(d.up.sel(lat=46.0, lon=14.5).isel(time=2))))\n";
    testsupport::WriteFile(dir + "/r.py", py);
    const ProgramRun r = Shell(kPython + " " + Quote(dir + "/r.py"));
    if (r.status != 0 && r.err.find("No module named") != std::string::npos)
        GTEST_SKIP() << "xarray or netCDF4 is not installed for " << kPython;
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = testsupport::SplitLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "('time', 'lat', 'lon') 2018-06-18T13:00:00.250000000 17 21 m CF-1.8 crs latitude_longitude");
    const float want = static_cast<float>(static_cast<double>(
        Core(46, 14.5, 0, kT0 + 2500000 + 3600 * hgrid::kTicksPerSecond).v[2]));
    EXPECT_EQ(std::stod(lines[1]), static_cast<double>(want));

    if (!Have("gmt")) GTEST_SKIP() << "GMT is not installed (Debian: gmt)";
    const std::string one = dir + "/one.nc";
    Grid({"-R10/20/40/48", "-I0.5", "-T2018-06-18T12:00:00", "-o", one, "--type=float64"});
    const ProgramRun gi = Shell("gmt grdinfo " + Quote(one + "?up"));
    ASSERT_EQ(gi.status, 0) << gi.err;
    EXPECT_NE(gi.out.find("Gridline node registration used [Geographic grid]"), std::string::npos) << gi.out;
    EXPECT_NE(gi.out.find("x_min: 10 x_max: 20 x_inc: 0.5"), std::string::npos) << gi.out;
    EXPECT_NE(gi.out.find("n_columns: 21"), std::string::npos);
    const ProgramRun tr = Shell("echo 14.5 46 | gmt grdtrack -nn -G" + Quote(one + "?up") + " --FORMAT_FLOAT_OUT=%.17g");
    ASSERT_EQ(tr.status, 0) << tr.err;
    std::istringstream in(tr.out);
    double x, y, v;
    in >> x >> y >> v;
    // GMT holds grids in single precision, whatever the file's type.
    EXPECT_EQ(v, static_cast<double>(static_cast<float>(static_cast<double>(Core(46, 14.5, 0, kT0).v[2]))));
}

TEST(GridJoin, PartsByEpochsAndByRowsEqualTheSingleRun) {
    const std::string dir = MakeTempDir("grid_join");
    const std::string whole = dir + "/whole.nc";
    Grid({"-R0/4/40/44", "-I0.5", "-T2018-06-18T00:00:00/2018-06-18T02:00:00/1h", "-o", whole});
    for (const char* h : {"00", "01", "02"})
        Grid({"-R0/4/40/44", "-I0.5", std::string("-T2018-06-18T") + h + ":00:00", "-o",
              dir + "/part" + h + ".nc"});
    // The README's xarray join by epochs.
    const std::string py =
        "import glob, xarray as xr\n"
        "parts = [xr.open_dataset(f) for f in sorted(glob.glob('" + dir + "/part*.nc'))]\n"
        "j = xr.concat(parts, dim='time')\n"
        "w = xr.open_dataset('" + whole + "')\n"
        "print(bool((j.up == w.up).all() and (j.north == w.north).all() and (j.time == w.time).all()))\n";
    testsupport::WriteFile(dir + "/j.py", py);
    const ProgramRun r = Shell(kPython + " " + Quote(dir + "/j.py"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "True\n");

    if (!Have("gdalbuildvrt")) GTEST_SKIP() << "gdalbuildvrt is not installed (Debian: gdal-bin)";
    // By bands of rows, GeoTIFF, joined with gdalbuildvrt.
    Grid({"-R0/4/40/44", "-I0.5", "-T2018-06-18T01:00:00", "-o", dir + "/whole.tif"});
    Grid({"-R0/4/40/41.5", "-I0.5", "-T2018-06-18T01:00:00", "-o", dir + "/rows1.tif"});
    Grid({"-R0/4/42/44", "-I0.5", "-T2018-06-18T01:00:00", "-o", dir + "/rows2.tif"});
    const ProgramRun v = Shell("cd " + Quote(dir) + " && gdalbuildvrt -q joined.vrt rows1.tif rows2.tif && " +
                               "gdal_translate -q joined.vrt joined.tif");
    ASSERT_EQ(v.status, 0) << v.err;
    GDALAllRegister();
    GDALDatasetH a = GDALOpen((dir + "/whole.tif").c_str(), GA_ReadOnly);
    GDALDatasetH b = GDALOpen((dir + "/joined.tif").c_str(), GA_ReadOnly);
    ASSERT_TRUE(a && b);
    double ga[6], gb[6];
    GDALGetGeoTransform(a, ga);
    GDALGetGeoTransform(b, gb);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(ga[k], gb[k]);
    ASSERT_EQ(GDALGetRasterYSize(a), GDALGetRasterYSize(b));
    for (int band = 1; band <= 3; ++band) {
        std::vector<float> va(81), vb(81);
        ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(a, band), GF_Read, 0, 0, 9, 9, va.data(), 9, 9, GDT_Float32, 0, 0),
                  CE_None);
        ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(b, band), GF_Read, 0, 0, 9, 9, vb.data(), 9, 9, GDT_Float32, 0, 0),
                  CE_None);
        EXPECT_TRUE(va == vb) << "band " << band;
    }
    GDALClose(a);
    GDALClose(b);
}

// Time along the rows: the northernmost row at T0, the southernmost at T1.
TEST(GridRowTime, EachRowEqualsAGridAtThatRowsOwnTime) {
    const std::string dir = MakeTempDir("grid_rowtime");
    // 11 rows over 25 s: 2.5 s apart, from 05:21:30.1234567.
    Grid({"-R10/10.5/45/46", "-I0.1", "--row-time", "2019-01-17T05:21:30.1234567/2019-01-17T05:21:55.1234567",
          "-Cn,e,u", "--type=float64", "-o", dir + "/r.nc"});
    const std::vector<double> up = ReadNc(dir + "/r.nc", "up"), time = ReadNc(dir + "/r.nc", "time");
    ASSERT_EQ(up.size(), 6u * 11);
    ASSERT_EQ(time.size(), 11u);
    for (int k : {0, 3, 10}) {
        // Image row k from the north is netCDF row 10 - k, at 05:21:30.1234567 + 2.5 k s.
        const hgrid::Ticks t = hgrid::ParseTime("2019-01-17T05:21:30.1234567", "t") + k * 25000000LL;
        const std::string one = dir + "/one" + std::to_string(k) + ".nc";
        Grid({"-R10/10.5/45/46", "-I0.1", "-T" + hgrid::IsoTime(t), "-Cu", "--type=float64", "-o", one});
        const std::vector<double> ref = ReadNc(one, "up");
        const std::size_t j = static_cast<std::size_t>(10 - k);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(up[j * 6 + i], ref[j * 6 + i]) << "row " << k << " node " << i;
        // And the point computation at that node.
        EXPECT_EQ(up[j * 6 + 2], static_cast<double>(Core(45 + j * 0.1L, 10.2L, 0, t).v[2]));
        EXPECT_NEAR(time[j], 5 * 3600 + 21 * 60 + 30.1234567 + 2.5 * k, 1e-7);
    }
    // Rows not on a whole tick round to the nearest: 3 rows over 1e-7 s.
    hgrid::Settings s;
    s.grid = hgrid::MakeGrid("0/1/0/2", "1", false);
    s.rowTime = true;
    s.times = {kT0};
    s.rowTimeEnd = kT0 + 1;
    EXPECT_EQ(hgrid::RowTime(s, 2), kT0);      // northernmost
    EXPECT_EQ(hgrid::RowTime(s, 1), kT0 + 1);  // half a tick rounds up
    EXPECT_EQ(hgrid::RowTime(s, 0), kT0 + 1);
    s.rowTimeEnd = kT0 + 5;
    EXPECT_EQ(hgrid::RowTime(s, 1), kT0 + 3);  // 2.5 ticks
}

// The line of sight, positive towards the satellite:
// los = -e sin(inc) sin(az) + n sin(inc) cos(az) + u cos(inc).
TEST(GridLineOfSight, HandComputedGeometriesAndTheSign) {
    const std::string dir = MakeTempDir("grid_los");
    const std::string T = "-T2019-01-17T05:21:33.5Z";
    const hgrid::Ticks t = hgrid::ParseTime("2019-01-17T05:21:33.5", "t");
    const Point p = Core(46, 14.5, 0, t);
    const long double n = p.v[0], e = p.v[1], u = p.v[2];
    auto los = [&](const std::string& look) {
        const std::string out = dir + "/l" + std::to_string(std::rand()) + ".nc";
        Grid({"-R14/15/45.5/46.5", "-I0.5", T, "-Clos,azimuth,u,e,n", "--los", look, "--type=float64", "-o", out});
        return std::vector<double>{ReadNc(out, "los")[4], ReadNc(out, "azimuth")[4]};
    };
    // A vertical look sees the up component alone.
    EXPECT_EQ(los("0/102")[0], static_cast<double>(u));
    // Looking up from the ground towards a satellite due west (az = +90,
    // anticlockwise from north) at 90 degrees: east motion goes away from it.
    EXPECT_NEAR(los("90/90")[0], static_cast<double>(-e), 1e-15);
    EXPECT_NEAR(los("90/0")[0], static_cast<double>(n), 1e-15);
    // Sentinel-1 ascending (az +102) and descending (az -102) at 39 degrees,
    // sines and cosines from the C library in double.
    const double d = M_PI / 180;
    for (double az : {102.0, -102.0}) {
        const double inc = 39;
        const double want = -static_cast<double>(e) * std::sin(inc * d) * std::sin(az * d) +
                            static_cast<double>(n) * std::sin(inc * d) * std::cos(az * d) +
                            static_cast<double>(u) * std::cos(inc * d);
        const std::vector<double> v = los("39/" + std::to_string(az));
        EXPECT_NEAR(v[0], want, 1e-15) << az;
        // Along the track (MintPy's en2az with the track at az + 90).
        const double track = (az + 90) * d;
        EXPECT_NEAR(v[1], -static_cast<double>(e) * std::sin(track) + static_cast<double>(n) * std::cos(track), 1e-15);
    }
    // The two passes see the east component with opposite signs.
    const std::vector<double> asc = los("39/102"), dsc = los("39/-102");
    EXPECT_NEAR(asc[0] - dsc[0], -2 * static_cast<double>(e) * std::sin(39 * d) * std::sin(102 * d), 1e-15);
}

struct BadCase {
    std::vector<std::string> args;
    int status;
    std::string message;  // the whole line after "havorkastilo-grid: "
};

TEST(GridBadInput, OneLineNamingTheOptionAndNoFileLeft) {
    const std::string dir = MakeTempDir("grid_bad");
    const std::string out = dir + "/x.nc";
    const std::string T = "-T2018-06-18T12:00:00";
    const BadCase cases[] = {
        {{"-R10/0/40/50", "-I1", T, "-o", out}, 2,
         "--region: '10/0/40/50' is empty or inverted (W < E and S < N are needed)"},
        {{"-R0/10/50/40", "-I1", T, "-o", out}, 2,
         "--region: '0/10/50/40' is empty or inverted (W < E and S < N are needed)"},
        {{"-R0/10/40/91", "-I1", T, "-o", out}, 2, "--region: '0/10/40/91' reaches beyond latitude -90 to 90"},
        {{"-R0/10/-91/40", "-I1", T, "-o", out}, 2, "--region: '0/10/-91/40' reaches beyond latitude -90 to 90"},
        {{"-R-180/181/0/10", "-I1", T, "-o", out}, 2,
         "--region: '-180/181/0/10' spans more than 360 degrees of longitude or lies beyond -360 to 360"},
        {{"-R0/10/40", "-I1", T, "-o", out}, 2, "--region: '0/10/40' is not W/E/S/N in decimal degrees"},
        {{"-R0/10/40/50", "-I0", T, "-o", out}, 2, "--spacing: '0' must be above zero"},
        {{"-R0/10/40/50", "-I-1", T, "-o", out}, 2, "--spacing: '-1' must be above zero"},
        {{"-R0/10/40/50", "-I3", T, "-o", out}, 2,
         "--spacing: '3' does not divide the longitudes 0 to 10; the nearest spacings that do are 2.5 and 3.333333333"},
        {{"-R0/10/40/50", "-I7m", T, "-o", out}, 2,
         "--spacing: '7m' does not divide the longitudes 0 to 10; the nearest spacings that do are 6.976744186m and "
         "7.058823529m"},
        {{"-R0/10/40/50", "-I1", "-T1900-12-31T23:59:59", "-o", out}, 2,
         "--time: '1900-12-31T23:59:59' is outside the years 1901 to 2199"},
        {{"-R0/10/40/50", "-I1", "-T2200-01-01T00:00:00", "-o", out}, 2,
         "--time: '2200-01-01T00:00:00' is outside the years 1901 to 2199"},
        {{"-R0/10/40/50", "-I1", "-T2018-06-18 12:00", "-o", out}, 2,
         "--time: '2018-06-18 12:00' is not a UTC time YYYY-MM-DDThh:mm:ss[.fffffff][Z]"},
        {{"-R0/10/40/50", "-I1", "-T2018-06-18T12:00:00/2018-06-18T13:00:00/5x", "-o", out}, 2,
         "--time: the step '5x' is not a positive number with s, m, h or d"},
        {{"-R0/10/40/50", "-I1", T, "-Cn,q", "-o", out}, 2,
         "--components: 'q' in 'n,q' is not one of n, e, u, x, y, z, los, azimuth"},
        {{"-R0/10/40/50", "-I1", T, "-Clos", "-o", out}, 2,
         "--components: 'los' asks for los, which needs the look angles of --los INC/AZ"},
        {{"-R0/10/40/50", "-I1", T, "-Clos", "--los", "90.5/102", "-o", out}, 2,
         "--los: the incidence angle in '90.5/102' is outside 0 to 90 degrees"},
        {{"-R0/10/40/50", "-I1", T, "-Clos", "--los", "-0.5/102", "-o", out}, 2,
         "--los: the incidence angle in '-0.5/102' is outside 0 to 90 degrees"},
        {{"-R0/10/40/50", "-I1", T, "-Clos", "--los", "39", "-o", out}, 2, "--los: '39' is not INC/AZ in degrees"},
        {{"-R0/10/40/50", "-I1", T, "--row-time", "2019-01-17T05:21:30/2019-01-17T05:21:55", "-o", out}, 2,
         "--row-time takes the place of --time and --times; give one of them"},
        {{"-R0/10/40/50", "-I1", "--row-time", "2019-01-17T05:21:55/2019-01-17T05:21:30", "-o", out}, 2,
         "--row-time: '2019-01-17T05:21:55/2019-01-17T05:21:30' ends before it begins"},
        {{"-R0/10/40/50", "-I1", "--row-time", "2199-12-31T23:59:59/2200-01-01T00:00:01", "-o", out}, 2,
         "--row-time: '2200-01-01T00:00:01' is outside the years 1901 to 2199"},
        {{"-R0/10/40/50", "-I1", T, "--deflate", "10", "-o", out}, 2,
         "--deflate: '10' is not a whole number from 0 to 9"},
        {{"-R0/10/40/50", "-I1", T, "--type", "int16", "-o", out}, 2,
         "--type: 'int16' is neither float32 nor float64"},
        {{"-R0/10/40/50", "-I1", T, "-o", dir + "/x.png"}, 2,
         "--output: '" + dir + "/x.png' ends neither in .nc nor in .tif; give --format"},
        {{"-R0/10/40/50", "-I1", T, "-o", dir + "/none/x.nc"}, 1,
         "--output: cannot write '" + dir + "/none/x.nc': No such file or directory"},
        {{"-R0/10/40/50", "-I1", T}, 2, "--output is missing (-o FILE)"},
        {{"-R0/10/40/50", "-I1", T, "--bogus", "-o", out}, 2, "unknown option '--bogus' (see --help)"},
    };
    for (const BadCase& c : cases) {
        const ProgramRun r = RunProgram(kGrid, c.args);
        ASSERT_TRUE(r.exited);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_EQ(r.err, "havorkastilo-grid: " + c.message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(Entries(dir).empty()) << c.message;
    }
}

TEST(GridBadInput, AFullDiskAndAnInterruptLeaveNoFile) {
    const std::string dir = MakeTempDir("grid_full");
    // A file size limit of 256 KiB fails the writes as a full disk does.
    const ProgramRun r = Shell("ulimit -f 256; " + Quote(kGrid) +
                               " -R0/90/0/60 -I0.05 -T2018-06-18T12:00:00 --deflate 0 -o " + Quote(dir + "/f.nc"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("havorkastilo-grid: writing '" + dir + "/f.nc': ", 0), 0u) << r.err;
    EXPECT_EQ(testsupport::Count(r.err, "\n"), 1);
    EXPECT_TRUE(Entries(dir).empty());
    const ProgramRun t = Shell("ulimit -f 256; " + Quote(kGrid) +
                               " -R0/90/0/60 -I0.05 -T2018-06-18T12:00:00 --deflate 0 -o " + Quote(dir + "/f.tif"));
    EXPECT_EQ(t.status, 1);
    EXPECT_EQ(t.err.rfind("havorkastilo-grid: writing '" + dir + "/f.tif': ", 0), 0u) << t.err;
    EXPECT_TRUE(Entries(dir).empty());

    const ProgramRun k = Shell(Quote(kGrid) + " -R-180/180/-90/90 -I1m -T2018-06-18T12:00:00 -j1 -o " +
                               Quote(dir + "/big.nc") + " & p=$!; sleep 1; kill -TERM $p; wait $p; echo $?");
    EXPECT_EQ(k.out, "1\n");
    EXPECT_EQ(k.err, "havorkastilo-grid: interrupted by SIGTERM; '" + dir + "/big.nc' was not written\n");
    EXPECT_TRUE(Entries(dir).empty());
}

TEST(GridCommandLine, HelpAndVersion) {
    const ProgramRun h = RunProgram(kGrid, {"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.out.rfind("Usage: havorkastilo-grid -R W/E/S/N -I DX[/DY] -T TIME... -o FILE [OPTION]...\n", 0), 0u);
    const ProgramRun v = RunProgram(kGrid, {"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, std::string("havorkastilo-grid ") + HAVORKASTILO_VERSION + "\n");
}

}  // namespace

#endif
