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
#include <cpl_conv.h>
#include <gdal.h>
#include <netcdf.h>
#include <ogr_srs_api.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
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
using testsupport::Names;
using testsupport::ProgramRun;
using testsupport::Quote;
using testsupport::RunProgram;
using testsupport::Shell;

const std::string kGrid = HAVORKASTILO_GRID_EXE;
const std::string kPython = "/usr/bin/python3";

bool Have(const std::string& tool) {
    return Shell("command -v " + tool + " >/dev/null 2>&1").status == 0;
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

// Nodes of a radar-geometry scene from memory: node (i, j) at latitude
// 40 + j/100 and longitude 10 + i/100, degrees.  It notes the threads that
// read.
class SceneNodes : public hgrid::NodeSource {
  public:
    explicit SceneNodes(std::uint32_t nx) : nx_(nx) {}
    void Read(std::uint32_t row0, std::uint32_t nrows, hgrid::NodeBlock& b) override {
        threads.insert(std::this_thread::get_id());
        const std::size_t n = std::size_t(nrows) * nx_;
        b.lat.resize(n);
        b.lon.resize(n);
        b.valid.assign(n, 1);
        for (std::uint32_t r = 0; r < nrows; ++r)
            for (std::uint32_t i = 0; i < nx_; ++i) {
                b.lat[r * nx_ + i] = 40 + (row0 + r) / 100.0;
                b.lon[r * nx_ + i] = 10 + i / 100.0;
            }
    }
    std::set<std::thread::id> threads;

  private:
    std::uint32_t nx_;
};

// The same writer noting the threads and rows of its blocks, and failing at
// block failAt (counted from 1; 0 for never) as a full disk does.
class NotingMemory : public Memory {
  public:
    NotingMemory(const hgrid::Settings& s, int failAt) : Memory(s), failAt_(failAt) {}
    void Block(std::uint32_t row0, std::uint32_t nrows, std::size_t t0, std::size_t nt,
               const std::vector<double>& values) override {
        threads.insert(std::this_thread::get_id());
        rows.push_back(row0);
        if (static_cast<int>(rows.size()) == failAt_) throw hgrid::GridError("writing 'm': disk full", 1);
        Memory::Block(row0, nrows, t0, nt, values);
    }
    std::set<std::thread::id> threads;
    std::vector<std::uint32_t> rows;

  private:
    int failAt_;
};

// Blocks are computed while the one before is written: the writer and the
// nodes' source are called from the calling thread alone, block by block in
// order, and a failed write ends the run while the next block is computed.
TEST(ThreadedGrid, WritingOverlapsComputingOnTheCallingThread) {
    hgrid::Settings s;
    s.nodes = hgrid::Nodes::Points;
    s.rasters.lat = s.rasters.lon = "memory";
    s.grid.nx = 512;  // 128 rows of 65536 input nodes a block: 3 blocks
    s.grid.ny = 300;
    s.components = hgrid::ParseComponents("u");
    s.times = {kT0};
    std::vector<double> first;
    for (unsigned j : {1u, 3u}) {
        s.threads = j;
        SceneNodes nodes(s.grid.nx);
        NotingMemory m(s, 0);
        hgrid::Compute(s, m, nullptr, nullptr, &nodes);
        EXPECT_TRUE(m.closed);
        EXPECT_EQ(m.rows, (std::vector<std::uint32_t>{0, 128, 256}));
        EXPECT_EQ(m.threads, std::set<std::thread::id>{std::this_thread::get_id()});
        EXPECT_EQ(nodes.threads, std::set<std::thread::id>{std::this_thread::get_id()});
        if (first.empty()) first = m.Values();
        else EXPECT_TRUE(m.Values() == first) << j << " threads";
    }
    // Node (7, 299), in the last block: latitude 42.99, longitude 10.07.
    const Point p = Core(static_cast<long double>(40 + 299 / 100.0), static_cast<long double>(10 + 7 / 100.0), 0, kT0);
    EXPECT_EQ(first[299 * 512 + 7], static_cast<double>(p.v[2]));
    for (int failAt : {1, 2, 3}) {
        s.threads = 2;
        SceneNodes nodes(s.grid.nx);
        NotingMemory m(s, failAt);
        try {
            hgrid::Compute(s, m, nullptr, nullptr, &nodes);
            ADD_FAILURE() << "a failed write at block " << failAt << " went unnoticed";
        } catch (const hgrid::GridError& e) {
            EXPECT_STREQ(e.what(), "writing 'm': disk full");
        }
        EXPECT_FALSE(m.closed);
        EXPECT_EQ(m.rows.size(), static_cast<std::size_t>(failAt));
    }
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
         "--components: 'los' asks for los, which needs the look angles of --los INC/AZ or --los-rasters INC,AZ"},
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
        EXPECT_TRUE(Names(dir).empty()) << c.message;
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
    EXPECT_TRUE(Names(dir).empty());
    const ProgramRun t = Shell("ulimit -f 256; " + Quote(kGrid) +
                               " -R0/90/0/60 -I0.05 -T2018-06-18T12:00:00 --deflate 0 -o " + Quote(dir + "/f.tif"));
    EXPECT_EQ(t.status, 1);
    EXPECT_EQ(t.err.rfind("havorkastilo-grid: writing '" + dir + "/f.tif': ", 0), 0u) << t.err;
    EXPECT_TRUE(Names(dir).empty());

    const ProgramRun k = Shell(Quote(kGrid) + " -R-180/180/-90/90 -I1m -T2018-06-18T12:00:00 -j1 -o " +
                               Quote(dir + "/big.nc") + " & p=$!; sleep 1; kill -TERM $p; wait $p; echo $?");
    EXPECT_EQ(k.out, "1\n");
    EXPECT_EQ(k.err, "havorkastilo-grid: interrupted by SIGTERM; '" + dir + "/big.nc' was not written\n");
    EXPECT_TRUE(Names(dir).empty());
}

TEST(GridCommandLine, HelpAndVersion) {
    const ProgramRun h = RunProgram(kGrid, {"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.out.rfind("Usage: havorkastilo-grid -R W/E/S/N -I DX[/DY] -T TIME... -o FILE [OPTION]...\n", 0), 0u);
    const ProgramRun v = RunProgram(kGrid, {"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, std::string("havorkastilo-grid ") + HAVORKASTILO_VERSION + "\n");
}


// ---- A product's own grid, radar geometry, per-node inputs ----

// A raster of float64 bands made through GDAL: gt and epsg (0 for none) as
// given; noData set on every band when hasNoData; AREA_OR_POINT=Point
// when point.
struct RasterFile {
    std::uint32_t nx = 0, ny = 0;
    std::vector<std::vector<double>> bands;  // each nx * ny, image row 0 first
    const double* gt = nullptr;
    int epsg = 0;
    bool hasNoData = false;
    double noData = 0;
    bool point = false;
};

void MakeRaster(const std::string& path, const RasterFile& r) {
    GDALAllRegister();
    GDALDatasetH d = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), static_cast<int>(r.nx),
                                static_cast<int>(r.ny), static_cast<int>(r.bands.size()), GDT_Float64, nullptr);
    ASSERT_NE(d, nullptr) << path;
    if (r.point) GDALSetMetadataItem(d, "AREA_OR_POINT", "Point", nullptr);
    if (r.gt) GDALSetGeoTransform(d, const_cast<double*>(r.gt));
    if (r.epsg) {
        OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
        OSRImportFromEPSG(srs, r.epsg);
        GDALSetSpatialRef(d, srs);
        OSRDestroySpatialReference(srs);
    }
    for (std::size_t k = 0; k < r.bands.size(); ++k) {
        GDALRasterBandH b = GDALGetRasterBand(d, static_cast<int>(k + 1));
        if (r.hasNoData) GDALSetRasterNoDataValue(b, r.noData);
        ASSERT_EQ(GDALRasterIO(b, GF_Write, 0, 0, static_cast<int>(r.nx), static_cast<int>(r.ny),
                               const_cast<double*>(r.bands[k].data()), static_cast<int>(r.nx), static_cast<int>(r.ny),
                               GDT_Float64, 0, 0),
                  CE_None);
    }
    GDALClose(d);
}

// One band of a raster, image row 0 first, with its geotransform (ok
// false without one) and CRS as WKT.
struct RasterRead {
    std::uint32_t nx = 0, ny = 0;
    std::vector<double> v;
    double gt[6] = {0, 0, 0, 0, 0, 0};
    bool hasGt = false;
    std::string wkt, areaOrPoint;
};

RasterRead ReadRaster(const std::string& path, int band) {
    GDALAllRegister();
    RasterRead out;
    GDALDatasetH d = GDALOpen(path.c_str(), GA_ReadOnly);
    EXPECT_NE(d, nullptr) << path;
    if (!d) return out;
    out.nx = static_cast<std::uint32_t>(GDALGetRasterXSize(d));
    out.ny = static_cast<std::uint32_t>(GDALGetRasterYSize(d));
    out.hasGt = GDALGetGeoTransform(d, out.gt) == CE_None;
    if (const char* w = GDALGetProjectionRef(d)) out.wkt = w;
    if (const char* a = GDALGetMetadataItem(d, "AREA_OR_POINT", nullptr)) out.areaOrPoint = a;
    out.v.resize(std::size_t(out.nx) * out.ny);
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(d, band), GF_Read, 0, 0, static_cast<int>(out.nx),
                           static_cast<int>(out.ny), out.v.data(), static_cast<int>(out.nx),
                           static_cast<int>(out.ny), GDT_Float64, 0, 0),
              CE_None);
    GDALClose(d);
    return out;
}

// Longitude and latitude of (x, y) in EPSG:from, through OSR.
void ToLonLat(int from, double x, double y, double& lon, double& lat) {
    OGRSpatialReferenceH a = OSRNewSpatialReference(nullptr), w = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(a, from);
    OSRImportFromEPSG(w, 4326);
    OSRSetAxisMappingStrategy(a, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(w, OAMS_TRADITIONAL_GIS_ORDER);
    OGRCoordinateTransformationH ct = OCTNewCoordinateTransformation(a, w);
    lon = x;
    lat = y;
    EXPECT_TRUE(OCTTransform(ct, 1, &lon, &lat, nullptr));
    OCTDestroyCoordinateTransformation(ct);
    OSRDestroySpatialReference(a);
    OSRDestroySpatialReference(w);
}

const hgrid::Ticks kScene = (58500LL * 86400 + 5 * 3600 + 21 * 60 + 33) * hgrid::kTicksPerSecond;  // 2019-01-17T05:21:33
const std::string kSceneT = "-T2019-01-17T05:21:33";

TEST(GridLike, UtmNodesEqualThePointComputationAtTheirLatitudeAndLongitude) {
    const std::string dir = MakeTempDir("grid_like");
    // Zone 33N, 90 m pixels, 9 x 6, its corner at 430000 E 5100000 N.
    const double gt[6] = {430000, 90, 0, 5100000, 0, -90};
    RasterFile made;
    made.nx = 9;
    made.ny = 6;
    made.bands = {std::vector<double>(54, 1.0)};
    made.gt = gt;
    made.epsg = 32633;
    MakeRaster(dir + "/utm.tif", made);
    for (const std::string ext : {".tif", ".nc"}) {
        const std::string out = dir + "/t" + ext;
        Grid({"--like", dir + "/utm.tif", kSceneT, "-Cn,e,u", "--type=float64", "-o", out});
        const std::vector<double> n = ext == ".nc" ? ReadNc(out, "north") : ReadRaster(out, 1).v;
        const std::vector<double> u = ext == ".nc" ? ReadNc(out, "up") : ReadRaster(out, 3).v;
        ASSERT_EQ(u.size(), 54u);
        for (std::uint32_t y = 0; y < 6; ++y)
            for (std::uint32_t i = 0; i < 9; ++i) {
                // The pixel's centre; netCDF holds the rows upwards.
                double lon, lat;
                ToLonLat(32633, 430000 + 90 * (i + 0.5), 5100000 - 90 * (y + 0.5), lon, lat);
                const Point p = Core(lat, lon, 0, kScene);
                const std::size_t k = (ext == ".nc" ? 5 - y : y) * 9 + i;
                EXPECT_EQ(n[k], static_cast<double>(p.v[0])) << ext << " row " << y << " column " << i;
                EXPECT_EQ(u[k], static_cast<double>(p.v[2])) << ext << " row " << y << " column " << i;
            }
        // The file overlays the product: its geotransform and CRS, as GDAL
        // reads them back.
        const std::string name = ext == ".nc" ? "NETCDF:\"" + out + "\":up" : out;
        const RasterRead r = ReadRaster(name, 1);
        ASSERT_TRUE(r.hasGt) << ext;
        for (int k = 0; k < 6; ++k) EXPECT_EQ(r.gt[k], gt[k]) << ext << " geotransform " << k;
        OGRSpatialReferenceH want = OSRNewSpatialReference(nullptr), got = OSRNewSpatialReference(nullptr);
        OSRImportFromEPSG(want, 32633);
        ASSERT_EQ(OSRSetFromUserInput(got, r.wkt.c_str()), OGRERR_NONE) << ext;
        EXPECT_TRUE(OSRIsSame(want, got)) << ext << ": " << r.wkt;
        OSRDestroySpatialReference(want);
        OSRDestroySpatialReference(got);
    }
    // netCDF: x and y at the pixels' centres, a crs grid mapping for the
    // transverse Mercator.
    const std::vector<double> x = ReadNc(dir + "/t.nc", "x"), y = ReadNc(dir + "/t.nc", "y");
    ASSERT_EQ(x.size(), 9u);
    ASSERT_EQ(y.size(), 6u);
    EXPECT_EQ(x[0], 430045);
    EXPECT_EQ(x[8], 430765);
    EXPECT_EQ(y[0], 5100000 - 90 * 5.5);
    EXPECT_EQ(y[5], 5099955);
    EXPECT_EQ(NcText(dir + "/t.nc", "crs", "grid_mapping_name"), "transverse_mercator");
    EXPECT_EQ(NcText(dir + "/t.nc", "up", "grid_mapping"), "crs");
    EXPECT_EQ(NcText(dir + "/t.nc", "x", "standard_name"), "projection_x_coordinate");
}

TEST(GridLike, APixelIsPointRasterHasItsNodesAtItsPoints) {
    const std::string dir = MakeTempDir("grid_point");
    // Pixel-is-point at 0.25 degree: the value of pixel (0, 0) lies at
    // 14 E 46 N, the tie point itself.
    const double gt[6] = {14 - 0.125, 0.25, 0, 46 + 0.125, 0, -0.25};
    RasterFile made;
    made.nx = 4;
    made.ny = 3;
    made.bands = {std::vector<double>(12, 0.0)};
    made.gt = gt;  // GDAL's: the corner half a pixel outside the point
    made.epsg = 4326;
    made.point = true;
    MakeRaster(dir + "/p.tif", made);
    // The file's own tie point, read without GDAL's half-pixel shift.
    CPLSetConfigOption("GTIFF_POINT_GEO_IGNORE", "TRUE");
    const RasterRead raw = ReadRaster(dir + "/p.tif", 1);
    CPLSetConfigOption("GTIFF_POINT_GEO_IGNORE", nullptr);
    ASSERT_EQ(raw.gt[0], 14);
    ASSERT_EQ(raw.gt[3], 46);
    Grid({"--like", dir + "/p.tif", kSceneT, "-Cu", "--type=float64", "-o", dir + "/o.tif"});
    const RasterRead o = ReadRaster(dir + "/o.tif", 1);
    EXPECT_EQ(o.areaOrPoint, "Point");
    for (int k = 0; k < 6; ++k) EXPECT_EQ(o.gt[k], gt[k]) << k;
    EXPECT_EQ(o.v[0], static_cast<double>(Core(46, 14, 0, kScene).v[2]));
    EXPECT_EQ(o.v[2 * 4 + 3], static_cast<double>(Core(45.5, 14.75, 0, kScene).v[2]));
    // Read back as the file is, the output's tie point is the input's.
    CPLSetConfigOption("GTIFF_POINT_GEO_IGNORE", "TRUE");
    const RasterRead oraw = ReadRaster(dir + "/o.tif", 1);
    CPLSetConfigOption("GTIFF_POINT_GEO_IGNORE", nullptr);
    EXPECT_EQ(oraw.gt[0], 14);
    EXPECT_EQ(oraw.gt[3], 46);
    // The same raster as pixel-is-area puts the nodes at the cell centres.
    made.point = false;
    MakeRaster(dir + "/a.tif", made);
    Grid({"--like", dir + "/a.tif", kSceneT, "-Cu", "--type=float64", "-o", dir + "/a_o.tif"});
    EXPECT_EQ(ReadRaster(dir + "/a_o.tif", 1).v[0], static_cast<double>(Core(46, 14, 0, kScene).v[2]));
    EXPECT_EQ(ReadRaster(dir + "/a_o.tif", 1).areaOrPoint, "Area");
}

// Radar geometry: per-pixel positions and heights, with no-data in both.
TEST(GridRadar, LatLonRastersAndTheDemGiveThePointComputationAndNoDataGivesNaN) {
    const std::string dir = MakeTempDir("grid_radar");
    const std::uint32_t nx = 7, ny = 5;
    std::vector<double> lat(nx * ny), lon(nx * ny), dem(nx * ny);
    for (std::uint32_t y = 0; y < ny; ++y)
        for (std::uint32_t i = 0; i < nx; ++i) {
            // A sheared, rotated swath, as radar geometry is.
            lat[y * nx + i] = 44.1 - 0.031 * y + 0.0071 * i;
            lon[y * nx + i] = 12.3 + 0.043 * i + 0.0093 * y;
            dem[y * nx + i] = 100.0 * y + 7.5 * i - 20;
        }
    lat[1 * nx + 2] = -9999;                                    // the latitude's no-data
    dem[3 * nx + 4] = -32768;                                   // the DEM's no-data
    lon[4 * nx + 6] = std::numeric_limits<double>::quiet_NaN();  // NaN is no-data too
    RasterFile s;
    s.nx = nx;
    s.ny = ny;
    s.hasNoData = true;
    s.noData = -9999;
    s.bands = {lat};
    MakeRaster(dir + "/lat.tif", s);
    s.hasNoData = false;
    s.bands = {lon};
    MakeRaster(dir + "/lon.tif", s);
    s.hasNoData = true;
    s.noData = -32768;
    s.bands = {dem};
    MakeRaster(dir + "/dem.tif", s);
    const std::string out = dir + "/r.tif";
    const ProgramRun r = RunProgram(kGrid, {"--lat", dir + "/lat.tif", "--lon", dir + "/lon.tif", "--dem",
                                            dir + "/dem.tif", kSceneT, "-Ce,u", "--type=float64", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "havorkastilo-grid: 3 of 35 nodes have no data in the input; they are NaN in '" + out + "'\n");
    const RasterRead e = ReadRaster(out, 1), u = ReadRaster(out, 2);
    EXPECT_FALSE(u.hasGt);
    EXPECT_EQ(u.wkt, "");
    ASSERT_EQ(u.v.size(), 35u);
    for (std::size_t k = 0; k < 35; ++k) {
        if (k == 1 * nx + 2 || k == 3 * nx + 4 || k == 4 * nx + 6) {
            EXPECT_TRUE(std::isnan(u.v[k]) && std::isnan(e.v[k])) << k;
            continue;
        }
        const Point p = Core(lat[k], lon[k], dem[k], kScene);
        EXPECT_EQ(e.v[k], static_cast<double>(p.v[1])) << k;
        EXPECT_EQ(u.v[k], static_cast<double>(p.v[2])) << k;
    }
    // The height matters: at 0 m the up component differs.
    const Point ground = Core(lat[0], lon[0], 0, kScene);
    EXPECT_NE(static_cast<double>(ground.v[2]), u.v[0]);
    // netCDF keeps the rows upwards, as GDAL reads them, with NaN its
    // fill value; -q leaves out the progress, not the count.
    const ProgramRun q = RunProgram(kGrid, {"--lat", dir + "/lat.tif", "--lon", dir + "/lon.tif", "--dem",
                                            dir + "/dem.tif", kSceneT, "-Cu", "--type=float64", "-q", "-o",
                                            dir + "/r.nc"});
    EXPECT_EQ(q.err, "havorkastilo-grid: 3 of 35 nodes have no data in the input; they are NaN in '" + dir +
                         "/r.nc'\n");
    const std::vector<double> nc = ReadNc(dir + "/r.nc", "up");
    ASSERT_EQ(nc.size(), 35u);
    for (std::uint32_t y = 0; y < ny; ++y)
        for (std::uint32_t i = 0; i < nx; ++i) {
            const double a = nc[(ny - 1 - y) * nx + i], b = u.v[y * nx + i];
            EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << y << " " << i;
        }
}

TEST(GridRadar, ALatitudeRasterAtThePoleIsTakenAndBeyondItRefused) {
    const std::string dir = MakeTempDir("grid_pole");
    RasterFile s;
    s.nx = 2;
    s.ny = 2;
    s.bands = {{90, -90, 45, 0}};
    MakeRaster(dir + "/lat.tif", s);
    s.bands = {{0, 0, 10, 20}};
    MakeRaster(dir + "/lon.tif", s);
    Grid({"--lat", dir + "/lat.tif", "--lon", dir + "/lon.tif", kSceneT, "-Cu", "--type=float64", "-o",
          dir + "/ok.tif"});
    EXPECT_EQ(ReadRaster(dir + "/ok.tif", 1).v[1], static_cast<double>(Core(-90, 0, 0, kScene).v[2]));
    s.bands = {{90, -90.0000001, 45, 0}};
    MakeRaster(dir + "/lat2.tif", s);
    const ProgramRun r = RunProgram(kGrid, {"--lat", dir + "/lat2.tif", "--lon", dir + "/lon.tif", kSceneT, "-o",
                                            dir + "/no.tif"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "havorkastilo-grid: --lat: '" + dir +
                         "/lat2.tif' has the latitude -90.0000001 at row 0, column 1 (from 0), beyond -90 to 90 "
                         "degrees\n");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"lat.tif", "lat2.tif", "lon.tif", "ok.tif"}));
}

// Per-node time: the seconds of a raster after --time, each node at its own
// epoch, to the 1e-7 s tick.
TEST(GridPerNodeTime, ATimeRasterPutsEachNodeAtItsOwnEpoch) {
    const std::string dir = MakeTempDir("grid_time");
    const double gt[6] = {14, 0.25, 0, 46, 0, -0.25};
    RasterFile s;
    s.nx = 4;
    s.ny = 3;
    s.gt = gt;
    s.epsg = 4326;
    s.bands = {{0, 0.1234567, 2.5, 2.5, 10, 12.75, -3.0000001, 1e-7, 86400, 600.5, 25, -25}};
    MakeRaster(dir + "/t.tif", s);
    Grid({"--like", dir + "/t.tif", "--time-raster", dir + "/t.tif", kSceneT, "-Cn,u", "--type=float64", "-o",
          dir + "/o.tif"});
    const RasterRead n = ReadRaster(dir + "/o.tif", 1), u = ReadRaster(dir + "/o.tif", 2);
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t i = 0; i < 4; ++i) {
            const std::size_t k = y * 4 + i;
            const hgrid::Ticks t = kScene + static_cast<hgrid::Ticks>(std::llround(s.bands[0][k] * 1e7));
            const Point p = Core(46 - 0.25 * (y + 0.5), 14 + 0.25 * (i + 0.5), 0, t);
            EXPECT_EQ(n.v[k], static_cast<double>(p.v[0])) << k;
            EXPECT_EQ(u.v[k], static_cast<double>(p.v[2])) << k;
        }
    // A tenth of a microsecond is seen: nodes 0 and 7 lie at the same place
    // in two files only by their times.
    EXPECT_NE(u.v[0], static_cast<double>(Core(46 - 0.125, 14.125, 0, kScene + 1).v[2]));

    // The years' bounds hold for every node: the last tick of 2199 is in,
    // the next is out.
    RasterFile one;
    one.nx = 1;
    one.ny = 1;
    one.gt = gt;
    one.epsg = 4326;
    one.bands = {{0.9999999}};
    MakeRaster(dir + "/end.tif", one);
    const std::string late = "-T2199-12-31T23:59:59";
    Grid({"--like", dir + "/end.tif", "--time-raster", dir + "/end.tif", late, "-o", dir + "/end_o.tif"});
    one.bands = {{1.0}};
    MakeRaster(dir + "/over.tif", one);
    const ProgramRun r = RunProgram(kGrid, {"--like", dir + "/end.tif", "--time-raster", dir + "/over.tif", late,
                                            "-o", dir + "/over_o.tif"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "havorkastilo-grid: --time-raster: '" + dir +
                         "/over.tif' has the time 1 at row 0, column 0 (from 0), seconds after --time, which falls "
                         "outside the years 1901 to 2199\n");
    EXPECT_EQ(Names(dir).count("over_o.tif"), 0u);
}

TEST(GridPerNodeTime, RowTimeOnAProductsGridEqualsEachRowsOwnEpoch) {
    const std::string dir = MakeTempDir("grid_like_rows");
    const double gt[6] = {430000, 90, 0, 5100000, 0, -90};
    RasterFile s;
    s.nx = 5;
    s.ny = 4;
    s.gt = gt;
    s.epsg = 32633;
    s.bands = {std::vector<double>(20, 0.0)};
    MakeRaster(dir + "/utm.tif", s);
    Grid({"--like", dir + "/utm.tif", "--row-time", "2019-01-17T05:21:30/2019-01-17T05:21:33.3", "-Cu",
          "--type=float64", "-o", dir + "/rows.tif"});
    const RasterRead rows = ReadRaster(dir + "/rows.tif", 1);
    for (std::uint32_t y = 0; y < 4; ++y) {
        // Image row y at 05:21:30 + 1.1 y s.
        const hgrid::Ticks t = hgrid::ParseTime("2019-01-17T05:21:30", "t") + y * 11000000LL;
        const std::string one = dir + "/one" + std::to_string(y) + ".tif";
        Grid({"--like", dir + "/utm.tif", "-T" + hgrid::IsoTime(t), "-Cu", "--type=float64", "-o", one});
        const RasterRead ref = ReadRaster(one, 1);
        for (std::uint32_t i = 0; i < 5; ++i) EXPECT_EQ(rows.v[y * 5 + i], ref.v[y * 5 + i]) << y << " " << i;
    }
}

// The look angles per node: band 1 the incidence, band 2 the azimuth.
TEST(GridLineOfSight, AnglesFromRastersPerNodeInTheStatedConvention) {
    const std::string dir = MakeTempDir("grid_los_rasters");
    const double gt[6] = {14, 0.5, 0, 46.5, 0, -0.5};
    RasterFile s;
    s.nx = 3;
    s.ny = 1;
    s.gt = gt;
    s.epsg = 4326;
    // A vertical look, Sentinel-1 ascending and descending, at 39 degrees.
    const std::vector<double> inc = {0, 39, 39}, az = {55, 102, -102};
    s.bands = {inc, az};
    MakeRaster(dir + "/los.tif", s);
    s.bands = {inc};
    MakeRaster(dir + "/inc.tif", s);
    s.bands = {az};
    MakeRaster(dir + "/az.tif", s);
    for (const std::string& look : {dir + "/los.tif", dir + "/inc.tif," + dir + "/az.tif"}) {
        const std::string out = dir + "/o" + std::to_string(look.size()) + ".tif";
        Grid({"--like", dir + "/los.tif", "--los-rasters", look, kSceneT, "-Clos,azimuth", "--type=float64", "-o",
              out});
        const RasterRead l = ReadRaster(out, 1), a = ReadRaster(out, 2);
        const double d = M_PI / 180;
        for (std::uint32_t i = 0; i < 3; ++i) {
            const Point p = Core(46.25, 14.25 + 0.5 * i, 0, kScene);
            const double n = static_cast<double>(p.v[0]), e = static_cast<double>(p.v[1]),
                         u = static_cast<double>(p.v[2]);
            if (i == 0) {
                EXPECT_EQ(l.v[0], u);  // looking straight up sees only up
            }
            const double want = -e * std::sin(inc[i] * d) * std::sin(az[i] * d) +
                                n * std::sin(inc[i] * d) * std::cos(az[i] * d) + u * std::cos(inc[i] * d);
            EXPECT_NEAR(l.v[i], want, 1e-15) << look << " " << i;
            const double track = (az[i] + 90) * d;
            EXPECT_NEAR(a.v[i], -e * std::sin(track) + n * std::cos(track), 1e-15) << look << " " << i;
        }
    }
}

TEST(GridBadInput, RastersThatDoNotFit) {
    const std::string dir = MakeTempDir("grid_bad_rasters");
    const double gt[6] = {14, 0.5, 0, 46.5, 0, -0.5};
    const double shifted[6] = {14.25, 0.5, 0, 46.5, 0, -0.5};
    RasterFile s;
    s.nx = 3;
    s.ny = 2;
    s.gt = gt;
    s.epsg = 4326;
    s.bands = {std::vector<double>(6, 30.0)};
    MakeRaster(dir + "/g.tif", s);
    s.bands = {std::vector<double>(6, 90.0), std::vector<double>(6, 10.0)};
    MakeRaster(dir + "/los90.tif", s);
    s.bands = {std::vector<double>(6, 90.000001), std::vector<double>(6, 10.0)};
    MakeRaster(dir + "/los91.tif", s);
    s.bands = {{0, 0, 0, -1e-7, 0, 0}, std::vector<double>(6, 10.0)};
    MakeRaster(dir + "/losneg.tif", s);
    s.bands = {std::vector<double>(6, 30.0)};
    s.gt = shifted;
    MakeRaster(dir + "/shifted.tif", s);
    s.gt = gt;
    s.epsg = 0;
    MakeRaster(dir + "/nocrs.tif", s);
    s.epsg = 4326;
    s.nx = 2;
    s.ny = 3;
    MakeRaster(dir + "/other.tif", s);
    testsupport::WriteFile(dir + "/junk.tif", "not a raster\n");
    const std::string g = dir + "/g.tif", out = dir + "/x.tif";
    // The 90 degree incidence is in.
    Grid({"--like", g, "--los-rasters", dir + "/los90.tif", kSceneT, "-Clos", "-o", dir + "/ok.tif"});
    const BadCase cases[] = {
        {{"--like", dir + "/nocrs.tif", kSceneT, "-o", out}, 2,
         "--like: '" + dir + "/nocrs.tif' has no CRS, so the latitude and longitude of its pixels are unknown"},
        {{"--like", dir + "/junk.tif", kSceneT, "-o", out}, 2, "--like: cannot read '" + dir + "/junk.tif': "},
        {{"--like", g, "--dem", dir + "/other.tif", kSceneT, "-o", out}, 2,
         "--dem: '" + dir + "/other.tif' is 2 x 3 pixels, but --like '" + g + "' is 3 x 2; rasters are not resampled"},
        {{"--like", g, "--dem", dir + "/shifted.tif", kSceneT, "-o", out}, 2,
         "--dem: '" + dir + "/shifted.tif' lies on another grid (geotransform 14.25 0.5 0 46.5 0 -0.5) than --like '" +
             g + "' (14 0.5 0 46.5 0 -0.5); rasters are not resampled"},
        {{"--lat", g, "--lon", dir + "/other.tif", kSceneT, "-o", out}, 2,
         "--lon: '" + dir + "/other.tif' is 2 x 3 pixels, but --lat '" + g + "' is 3 x 2"},
        {{"--lat", dir + "/los90.tif", "--lon", g, kSceneT, "-o", out}, 2,
         "--lat: '" + dir + "/los90.tif' has 2 bands; one is needed (latitudes in degrees)"},
        {{"--like", g, "--los-rasters", g, kSceneT, "-Clos", "-o", out}, 2,
         "--los-rasters: '" + g +
             "' has 1 band; one raster needs two (band 1 the incidence, band 2 the azimuth), or give INC,AZ"},
        {{"--like", g, "--los-rasters", dir + "/los91.tif", kSceneT, "-Clos", "-o", out}, 2,
         "--los-rasters: '" + dir +
             "/los91.tif' has the incidence angle 90.000001 at row 1, column 0 (from 0), outside 0 to 90 degrees"},
        {{"--like", g, "--los-rasters", dir + "/losneg.tif", kSceneT, "-Clos", "-o", out}, 2,
         "--los-rasters: '" + dir +
             "/losneg.tif' has the incidence angle -1e-07 at row 1, column 0 (from 0), outside 0 to 90 degrees"},
        {{"--lat", g, kSceneT, "-o", out}, 2, "--lat needs --lon too: the positions need both rasters"},
        {{"-I1", kSceneT, "-o", out}, 2, "--region is missing (-R W/E/S/N, or --like RASTER, or --lat and --lon)"},
        {{"--like", g, "--pixel", kSceneT, "-o", out}, 2,
         "--pixel does not apply to --like: its nodes are the raster's pixels"},
        {{"--like", g, "--los", "30/10", "--los-rasters", dir + "/los90.tif", kSceneT, "-o", out}, 2,
         "--los and --los-rasters both give the look angles; give one of them"},
        {{"--like", g, "--row-time", "2019-01-17T05:21:33/2019-01-17T05:21:35", "--time-raster", g, "-o", out}, 2,
         "--time-raster and --row-time both give the nodes' times; give one of them"},
        {{"--like", g, "-R0/1/0/1", "-I1", kSceneT, "-o", out}, 2,
         "--region and --like both give the nodes; give one of them"},
        {{"--like", g, "--height", "5", "--dem", g, kSceneT, "-o", out}, 2,
         "--height and --dem both give the heights; give one of them"},
        {{"--like", g, "--time-raster", g, kSceneT, "-T2019-01-17T06:00:00", "-o", out}, 2,
         "--time-raster needs one --time, the epoch its seconds count from; 2 are given"},
        {{"--like", g, "-Clos", kSceneT, "-o", out}, 2,
         "--components: 'los' asks for los, which needs the look angles of --los INC/AZ or --los-rasters INC,AZ"},
        {{"-R14/15.5/45.5/46.5", "-I0.5", "--pixel", "--dem", dir + "/shifted.tif", kSceneT, "-o", out}, 2,
         "--dem: '" + dir + "/shifted.tif' lies on another grid (geotransform 14.25 0.5 0 46.5 0 -0.5) than the grid "
         "of --region and --spacing (14 0.5 0 46.5 0 -0.5); rasters are not resampled"},
    };
    for (const BadCase& c : cases) {
        const ProgramRun r = RunProgram(kGrid, c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_EQ(r.err.rfind("havorkastilo-grid: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(testsupport::Count(r.err, "\n"), 1) << r.err;
        EXPECT_EQ(Names(dir).count("x.tif"), 0u) << c.message;
    }
    // Nothing else was left: only the inputs and the one good output.
    EXPECT_EQ(Names(dir), (std::set<std::string>{"g.tif", "junk.tif", "los90.tif", "los91.tif", "losneg.tif",
                                                 "nocrs.tif", "ok.tif", "other.tif", "shifted.tif"}));
}

// On a latitude/longitude grid a DEM on the same nodes is honoured.
TEST(GridRadar, ADemOnTheRegionsGrid) {
    const std::string dir = MakeTempDir("grid_dem");
    const double gt[6] = {14, 0.5, 0, 46.5, 0, -0.5};
    RasterFile s;
    s.nx = 3;
    s.ny = 2;
    s.gt = gt;
    s.epsg = 4326;
    s.bands = {{0, 1000, 2000, 3000, 4000, 8848}};
    MakeRaster(dir + "/dem.tif", s);
    Grid({"-R14/15.5/45.5/46.5", "-I0.5", "--pixel", "--dem", dir + "/dem.tif", kSceneT, "-Cu", "--type=float64",
          "-o", dir + "/o.tif"});
    const RasterRead u = ReadRaster(dir + "/o.tif", 1);
    for (std::uint32_t y = 0; y < 2; ++y)
        for (std::uint32_t i = 0; i < 3; ++i)
            EXPECT_EQ(u.v[y * 3 + i],
                      static_cast<double>(Core(46.25L - 0.5L * y, 14.25L + 0.5L * i, s.bands[0][y * 3 + i], kScene).v[2]));
}

}  // namespace

#endif
