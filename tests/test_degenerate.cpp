// Degenerate geometries and the ends of the valid ranges: stations on the
// polar axis and at the geocentre, heights from far below the surface to
// beyond the geostationary orbit, longitudes and latitudes outside their usual
// ranges in every notation, and epochs on the first and last valid days and
// across a leap second.  Through the built program where the command line can
// express them, else through the library.
//
// Every run must end as the program promises (fuzz/outcome_check.h); beyond
// that the expectations come from the geometry:
//   - the tide depends on the station's direction only, so points on one ray
//     from the geocentre along the equator or the polar axis (where geodetic
//     and geocentric latitude agree at every height) get the same north,
//     east and up;
//   - positions and frames are built from sines and cosines, so angles that
//     differ by whole turns give the same table;
//   - at a pole the north and east axes turn with the longitude given, while
//     up stays the polar axis.
// Printed values carry 0.1 cm (or 1e-5 degree) of rounding, so two printings
// of the same quantity may differ by one unit in the last place.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/TimeConverse.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"
#include "fuzz/outcome_check.h"
#include "support/run_program.h"
#include "support/table.h"

using testsupport::ParseRow;
using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::SplitLines;
using testsupport::TableRow;

namespace {

// Four rows, six hours apart: the bodies at four hour angles.
const std::vector<std::string> kSpan = {"-e12019-01-17/00:00:00", "-e22019-01-17/18:00:00",
                                        "-ed06:00:00"};

// One unit in the last printed place of the centimetre fields, and of the
// degree fields; a value printed twice may differ by that much.
constexpr double kCm = 0.1 + 1e-9;
constexpr double kDeg = 1e-5 + 1e-12;

// Fields of a row (0-based): epoch day and second, north, east, up [cm], Sun
// longitude, latitude [deg] and distance [km], the same for the Moon.
enum Field { kDay, kSecond, kN, kE, kU, kLAs, kFIs, kRs, kLAm, kFIm, kRm };

std::string ReadHelp() {
    std::ifstream in(std::string(HAVORKASTILO_SOURCE_DIR) + "/tests/e2e/help.txt",
                     std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ProgramRun RunCli(const std::vector<std::string>& args) {
    return RunProgram(HAVORKASTILO_EXE, args, 60);
}

// The rows of a run that must succeed; each run is also held to every
// promise of the program.
std::vector<TableRow> Table(std::vector<std::string> args, bool withSpan = true) {
    if (withSpan) args.insert(args.end(), kSpan.begin(), kSpan.end());
    const ProgramRun run = RunCli(args);
    std::vector<TableRow> rows;
    EXPECT_TRUE(run.exited) << args[0];
    EXPECT_EQ(run.status, 0) << args[0] << "\n" << run.out << run.err;
    static const std::string help = ReadHelp();
    EXPECT_EQ(
        outcomecheck::CheckOutcome(HAVORKASTILO_EXE, args, help, run.status, run.out, run.err), "")
        << args[0];
    const std::vector<std::string> lines = SplitLines(run.out);
    for (std::size_t i = 2; i < lines.size(); ++i) {
        TableRow row;
        if (ParseRow(lines[i], row)) rows.push_back(row);
    }
    return rows;
}

// Field f of every row of a equals sign times field f of b, within tol.
void ExpectSame(const std::vector<TableRow>& a, const std::vector<TableRow>& b,
                const std::vector<Field>& fields, double tol, const std::string& what,
                double sign = 1) {
    ASSERT_EQ(a.size(), b.size()) << what;
    ASSERT_FALSE(a.empty()) << what;
    for (std::size_t r = 0; r < a.size(); ++r)
        for (Field f : fields)
            EXPECT_NEAR(static_cast<double>(a[r].value[f]),
                        sign * static_cast<double>(b[r].value[f]), tol)
                << what << ", row " << r + 1 << ", field " << f + 1;
}

const std::vector<Field> kAll = {kDay, kSecond, kN, kE, kU, kLAs, kFIs, kRs, kLAm, kFIm, kRm};
const std::vector<Field> kDisplacement = {kN, kE, kU};
// Everything but the bodies' latitudes, which are taken at the station's
// geocentric distance and so depend on it.
const std::vector<Field> kAllButLatitudes = {kDay, kSecond, kN, kE, kU, kLAs, kRs, kLAm, kRm};

TEST(PolarAxis, CartesianPolesMatchTheGeodeticPolesAndAnyPointOnTheAxis) {
    const auto north = Table({"-px0,0,6356752.3141"});
    const auto south = Table({"-px0,0,-6356752.3141"});
    ASSERT_EQ(north.size(), 4u);
    ASSERT_EQ(south.size(), 4u);
    // The polar semi-axis of GRS80 is 6356752.3141 m: the same points as
    // latitude +-90 degrees at height 0, which the axis gives longitude 0.
    ExpectSame(north, Table({"-pc90,0,0"}), kAll, kCm, "north pole");
    ExpectSame(south, Table({"-pc-90,0,0"}), kAll, kCm, "south pole");
    // One metre from the geocentre, or 40,000 km above the pole, on the same
    // ray: the same direction, the same frame.
    ExpectSame(north, Table({"-px0,0,1"}), kAllButLatitudes, kCm, "axis at 1 m");
    ExpectSame(north, Table({"-px0,0,46356752.3141"}), kAllButLatitudes, kCm, "40,000 km up");
    ExpectSame(north, Table({"-px0,0,356752.3141"}), kAllButLatitudes, kCm, "6,000 km down");
    ExpectSame(south, Table({"-px-0,-0,-1"}), kAllButLatitudes, kCm, "axis at -1 m");
}

TEST(PolarAxis, NorthAndEastTurnWithTheLongitudeGivenAtAPole) {
    // North pole: n = -cos(L) x - sin(L) y, e = -sin(L) x + cos(L) y, so the
    // pair (n, e) at longitude L is the pair at 0 turned by L; up is z.
    const auto n0 = Table({"-pc90,0,0"});
    const auto n90 = Table({"-pc90,90,0"});
    const auto n180 = Table({"-pc90,180,0"});
    const auto n45 = Table({"-pc90,45,0"});
    ASSERT_EQ(n0.size(), 4u);
    ASSERT_EQ(n90.size(), 4u);
    ASSERT_EQ(n180.size(), 4u);
    ASSERT_EQ(n45.size(), 4u);
    const double h = std::sqrt(0.5);
    for (std::size_t r = 0; r < n0.size(); ++r) {
        const double n = static_cast<double>(n0[r].value[kN]);
        const double e = static_cast<double>(n0[r].value[kE]);
        EXPECT_NEAR(static_cast<double>(n90[r].value[kN]), -e, kCm) << r;
        EXPECT_NEAR(static_cast<double>(n90[r].value[kE]), n, kCm) << r;
        EXPECT_NEAR(static_cast<double>(n180[r].value[kN]), -n, kCm) << r;
        EXPECT_NEAR(static_cast<double>(n180[r].value[kE]), -e, kCm) << r;
        // Rounded inputs: 0.05 cm in each of n and e, 0.05 cm in the result.
        EXPECT_NEAR(static_cast<double>(n45[r].value[kN]), h * (n - e), 0.13) << r;
        EXPECT_NEAR(static_cast<double>(n45[r].value[kE]), h * (n + e), 0.13) << r;
        for (const auto* t : {&n90, &n180, &n45})
            EXPECT_NEAR(static_cast<double>((*t)[r].value[kU]),
                        static_cast<double>(n0[r].value[kU]), kCm)
                << r;
    }
    // South pole: n = cos(L) x + sin(L) y, e = -sin(L) x + cos(L) y.
    const auto s0 = Table({"-pc-90,0,0"});
    const auto s90 = Table({"-pc-90,90,0"});
    ASSERT_EQ(s0.size(), 4u);
    ASSERT_EQ(s90.size(), 4u);
    for (std::size_t r = 0; r < s0.size(); ++r) {
        EXPECT_NEAR(static_cast<double>(s90[r].value[kN]), static_cast<double>(s0[r].value[kE]),
                    kCm);
        EXPECT_NEAR(static_cast<double>(s90[r].value[kE]), -static_cast<double>(s0[r].value[kN]),
                    kCm);
        EXPECT_NEAR(static_cast<double>(s90[r].value[kU]), static_cast<double>(s0[r].value[kU]),
                    kCm);
    }
}

TEST(PolarAxis, TheTwoPolesMoveOppositeWaysAcrossTheAxisAndRiseAlike) {
    // The degree-2 tide moves a pole sideways along 3 (R.z) R_h, whose sign
    // flips with the pole's direction, and lifts both poles alike; the
    // degree-3 terms and the corrections differ by a few millimetres at most.
    // In Earth-fixed axes the north pole's (x, y) is (-n, e), the south
    // pole's (n, e), both at longitude 0.
    const auto north = Table({"-px0,0,6356752.3141"});
    const auto south = Table({"-px0,0,-6356752.3141"});
    ASSERT_EQ(north.size(), south.size());
    for (std::size_t r = 0; r < north.size(); ++r) {
        EXPECT_NEAR(static_cast<double>(-north[r].value[kN]),
                    -static_cast<double>(south[r].value[kN]), 0.3);
        EXPECT_NEAR(static_cast<double>(north[r].value[kE]),
                    -static_cast<double>(south[r].value[kE]), 0.3);
        EXPECT_NEAR(static_cast<double>(north[r].value[kU]),
                    static_cast<double>(south[r].value[kU]), 0.3);
    }
}

TEST(Geocentre, EveryNotationOfTheCentreEndsWithTheFramedErrorAndStatusOne) {
    // N(0) = a = 6378137 m, so height -a at latitude 0 is the centre itself.
    const std::vector<std::vector<std::string>> centres = {{"-px0,0,0"},
                                                           {"-px-0,-0,-0"},
                                                           {"-pc0,0,-6378137"},
                                                           {"-pd0,180,-6378137"},
                                                           {"-pr0,3.141592653589793,-6378137"},
                                                           {"-px0,0,0", "-v"}};
    for (const auto& args : centres) {
        const ProgramRun run = RunCli(args);
        ASSERT_TRUE(run.exited) << args[0];
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_TRUE(outcomecheck::EndsWith(run.err, outcomecheck::kGeocentreReport)) << args[0];
        if (args.size() == 1) {
            EXPECT_EQ(run.err, outcomecheck::kGeocentreReport) << args[0];
        }
    }
    // A millimetre away the station has a direction and the table is computed.
    EXPECT_EQ(Table({"-px0.001,0,0"}).size(), 4u);
    EXPECT_EQ(Table({"-pc0,0,-6378136.999"}).size(), 4u);
}

TEST(Heights, OnTheEquatorTheTableIsTheSameAtEveryHeight) {
    // Along the equator geodetic and geocentric latitude are both 0, so from
    // 6,000 km below the surface to 40,000 km above it only the bodies'
    // latitudes (taken at the station's distance) change.
    const auto surface = Table({"-px6378137,0,0"});
    ASSERT_EQ(surface.size(), 4u);
    ExpectSame(surface, Table({"-px378137,0,0"}), kAllButLatitudes, kCm, "-6,000 km");
    ExpectSame(surface, Table({"-px46378137,0,0"}), kAllButLatitudes, kCm, "+40,000 km");
    // The same points given geodetically: x = N(0) + h = 6378137 m + h.
    ExpectSame(Table({"-px378137,0,0"}), Table({"-pc0,0,-6000000"}), kAll, kCm,
               "geodetic -6,000 km");
    ExpectSame(Table({"-px46378137,0,0"}), Table({"-pr0,0,40000000"}), kAll, kCm,
               "geodetic +40,000 km");
}

TEST(Heights, GeodeticHeightsFromMinus6000To40000KmGiveBoundedTides) {
    // The displacement depends on the station's direction only; in any
    // direction the tide stays within some 60 cm up and 30 cm sideways.
    for (const char* h :
         {"-6000000", "-3000000", "-1000", "0", "8848", "10000000", "35786000", "40000000"}) {
        for (const char* place : {"-pc46,15,", "-pd-33.5153,-70.3900,", "-pr1.5,3,"}) {
            const auto rows = Table({std::string(place) + h});
            ASSERT_EQ(rows.size(), 4u) << place << h;
            for (const TableRow& r : rows) {
                EXPECT_LT(std::fabs(static_cast<double>(r.value[kU])), 60) << place << h;
                EXPECT_LT(std::fabs(static_cast<double>(r.value[kN])), 30) << place << h;
                EXPECT_LT(std::fabs(static_cast<double>(r.value[kE])), 30) << place << h;
            }
        }
    }
}

TEST(Heights, BelowTheCentreThePointLiesOnTheOtherSideButKeepsTheFrameGiven) {
    // Height -7,000 km at latitude 0, longitude 0 is x = 6378137 - 7000000 =
    // -621863 m: the point of -px-621863,0,0, whose own frame (longitude 180)
    // has the same north and the opposite east and up.
    const auto below = Table({"-pc0,0,-7000000"});
    const auto other = Table({"-px-621863,0,0"});
    ExpectSame(below, other, {kN, kLAs, kFIs, kRs, kLAm, kFIm, kRm}, kCm, "north and bodies");
    ExpectSame(below, other, {kE, kU}, kCm, "east and up", -1);
}

TEST(Angles, LongitudesBeyond180AreNotReducedButActAsTheirRemainder) {
    // Positions and frames use the sine and cosine of the longitude, so whole
    // turns change nothing; nothing ever checks the station's own angles.
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"-pc30,200,0", "-pc30,-160,0"},
        {"-pc30,540,0", "-pc30,180,0"},
        {"-pc30,-900,0", "-pc30,180,0"},
        {"-pc30,36015,0", "-pc30,15,0"},
        {"-pd30,200,0", "-pd30,-160,0"},
        {"-pd-30,-359.3030,0", "-pd-30,0.2930,0"},  // -359 deg 30' 30" is 0 deg 29' 30"
        {"-pr0.5,4,0", "-pr0.5,-2.283185307179586,0"},
        // 200 rad, beyond even the raw number 180, is 200 - 31 * 2 pi.
        {"-pr0,200,0", "-pr0,5.22125547743283,0"},
        // -px gives longitudes in [-180, 180] by itself; -180 and 180 agree.
        {"-px-6378137,0,0", "-pc0,180,0"},
        {"-px-6378137,-0,0", "-pc0,-180,0"},
    };
    for (const auto& p : pairs)
        ExpectSame(Table({p.first}), Table({p.second}), kAll, kCm, p.first + " / " + p.second);
}

TEST(Angles, TheTableShowsTheBodiesAtTheReducedLongitude) {
    // With -gk both bodies are put on the station's meridian; the table reads
    // their longitude back from Cartesian axes, in [-180, 180].
    struct Case {
        const char* option;
        double degrees;
    };
    const Case cases[] = {{"-pc30,200,0", -160},
                          {"-pd30,540,0", 180},
                          {"-pc30,-900,0", 180},
                          {"-pr0.5,4,0", 4 * 180 / 3.141592653589793 - 360},
                          {"-px-6378137,0,0", 180}};
    for (const Case& c : cases) {
        const auto rows = Table({c.option, "-gk"});
        ASSERT_EQ(rows.size(), 4u) << c.option;
        for (const TableRow& r : rows) {
            for (Field f : {kLAs, kLAm}) {
                const double la = static_cast<double>(r.value[f]);
                EXPECT_LE(std::fabs(la), 180) << c.option;
                // +-180 are the same meridian.
                const double miss = std::fabs(std::fabs(c.degrees) - 180) < 1e-9
                                        ? std::fabs(std::fabs(la) - 180)
                                        : std::fabs(la - c.degrees);
                EXPECT_LE(miss, 2 * kDeg) << c.option << " field " << f + 1 << ": " << la;
            }
        }
    }
}

TEST(Angles, LatitudesBeyond90PutThePointOverThePole) {
    // Latitude 100 degrees at longitude 0 is the point at latitude 80,
    // longitude 180, but its frame is built from 100 and 0: north and east
    // point the other way, up is the same.  100 rad (beyond the raw number 90)
    // acts as 100 - 32 pi.
    const auto over = Table({"-pc100,0,0"});
    const auto real = Table({"-pc80,180,0"});
    ExpectSame(over, real, {kU, kLAs, kFIs, kRs, kLAm, kFIm, kRm}, kCm, "up and bodies");
    ExpectSame(over, real, {kN, kE}, kCm, "north and east", -1);
    ExpectSame(Table({"-pr100,0,0"}), Table({"-pr-0.53096491487338,0,0"}), kAll, kCm, "100 rad");
}

TEST(EpochRangeEnds, FirstAndLastYearsOnTheCommandLine) {
    // MJD 15385 is 1901-01-01 (1900-01-01 is MJD 15020 and 1900 has 365
    // days); 2200-01-01 is 51544 + 200 * 365 + 49 leap days = MJD 124593.
    const auto first =
        Table({"-e11901-01-01/00:00:00", "-e21901-01-01/02:00:00", "-ed01:00:00"}, false);
    ASSERT_EQ(first.size(), 3u);
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(first[r].text[kDay], "15385");
        EXPECT_EQ(static_cast<double>(first[r].value[kSecond]), 3600.0 * r);
    }
    const auto last = Table({"-e12199-12-31/22:00:00", "-e22199-12-31/23:59:59.9"}, false);
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[0].text[kDay], "124592");
    EXPECT_EQ(last[0].text[kSecond], "79200.0");
    EXPECT_EQ(last[1].text[kSecond], "82800.0");
    // 24:00:00 of the last day is the first second of the next day.
    const auto midnight = Table({"-e12199-12-31/24:00:00", "-e22199-12-31/24:00:00"}, false);
    ASSERT_EQ(midnight.size(), 1u);
    EXPECT_EQ(midnight[0].text[kDay], "124593");
    EXPECT_EQ(midnight[0].text[kSecond], "0.0");
    // The whole range in steps of 36524 days (876576 hours).
    const auto whole =
        Table({"-e11901-01-01/00:00:00", "-e22199-12-31/23:59:59", "-ed876576:00:00"}, false);
    ASSERT_EQ(whole.size(), 3u);
    EXPECT_EQ(whole[0].text[kDay], "15385");
    EXPECT_EQ(whole[1].text[kDay], "51909");
    EXPECT_EQ(whole[2].text[kDay], "88433");
}

TEST(EpochRangeEnds, YearsJustOutsideTheRangeEndWithTheYearReport) {
    const std::string report =
        "\n**** ymdhms: Error -> YEAR not valid ****\n     Exiting class ymdhms ... \n";
    for (const char* option : {"-e11900-12-31/23:59:59", "-e22200-01-01/00:00:00"}) {
        const ProgramRun run = RunCli({option});
        ASSERT_TRUE(run.exited) << option;
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_EQ(run.out, report) << option;
        EXPECT_EQ(run.err, "") << option;
    }
}

TEST(EpochRangeEnds, TheLeapSecondOf2016IsCrossedWithoutAJump) {
    // 2017-01-01 is MJD 51544 + 17 * 365 + 5 leap days = 57754.  The GPS-UTC
    // count steps from 17 to 18 s there, which moves the bodies by one second
    // of their motion: far below the printed centimetre.
    const auto rows =
        Table({"-e12016-12-31/23:59:59.9", "-e22017-01-01/00:00:00.1", "-ed0:0:0.1"}, false);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text[kDay] + " " + rows[0].text[kSecond], "57753 86399.9");
    EXPECT_EQ(rows[1].text[kDay] + " " + rows[1].text[kSecond], "57754 0.0");
    EXPECT_EQ(rows[2].text[kDay] + " " + rows[2].text[kSecond], "57754 0.1");
    for (Field f : kDisplacement) {
        EXPECT_NEAR(static_cast<double>(rows[0].value[f]), static_cast<double>(rows[1].value[f]),
                    kCm);
        EXPECT_NEAR(static_cast<double>(rows[1].value[f]), static_cast<double>(rows[2].value[f]),
                    kCm);
    }
    const auto half =
        Table({"-e12016-12-31/23:00:00", "-e22017-01-01/01:00:00", "-ed00:30:00"}, false);
    ASSERT_EQ(half.size(), 5u);
    const char* const epochs[] = {"57753 82800.0", "57753 84600.0", "57754 0.0", "57754 1800.0",
                                  "57754 3600.0"};
    for (std::size_t r = 0; r < 5; ++r)
        EXPECT_EQ(half[r].text[kDay] + " " + half[r].text[kSecond], epochs[r]);
}

// Library: the Sun and Moon series and the tide on the first and last valid
// days of the day count, where the series run furthest from their epoch.
TEST(EpochRangeEnds, SeriesAndTideStayBoundedOnDays0And199999) {
    constexpr long double kAU = 149597870.0 * 1000.0;
    constexpr long double kDegToRad = 3.141592653589793 / 180;
    // The Sun's distance (1.000140612 - 0.016708617 cos M - 0.000139589 cos 2M)
    // AU and the Moon's 6378.137 km / sin(p), p = 0.9508 +- 0.0719 degrees,
    // are bounded whatever the angles.
    const long double sunMin = (1.000140612 - 0.016708617 - 0.000139589) * kAU;
    const long double sunMax = (1.000140612 + 0.016708617 + 0.000139589) * kAU;
    const long double moonMin = 6378137.0 / std::sin((0.9508 + 0.0719) * kDegToRad);
    const long double moonMax = 6378137.0 / std::sin((0.9508 - 0.0719) * kDegToRad);

    EXPECT_EQ(LeapSecond(mjd(0, 0)), -9);
    EXPECT_EQ(LeapSecond(mjd(199999, 86399.9)), 18);

    const xyz stations[] = {xyz(1, 0, 0), xyz(0, 0, 1), xyz(0, 0, -1),
                            xyz(0.5, 0.5, std::sqrt(0.5L))};
    LuniSolarPosition lsp;
    for (const mjd& e : {mjd(0, 0), mjd(0, 86399.9), mjd(199999, 0), mjd(199999, 86399.9)}) {
        const std::string at = std::to_string(e.GetMJDay());
        xyz sun, moon;
        long double rs = 0, rm = 0;
        lsp.SunPosition(e, sun, rs);
        lsp.MoonPosition(e, moon, rm);
        EXPECT_NEAR(static_cast<double>(sun.GetLength()), 1.0, 1e-15) << at;
        EXPECT_NEAR(static_cast<double>(moon.GetLength()), 1.0, 1e-15) << at;
        EXPECT_GE(rs, sunMin * (1 - 1e-15L)) << at;
        EXPECT_LE(rs, sunMax * (1 + 1e-15L)) << at;
        EXPECT_GE(rm, moonMin * (1 - 1e-15L)) << at;
        EXPECT_LE(rm, moonMax * (1 + 1e-15L)) << at;
        const long double gst = lsp.GSTime(e);
        EXPECT_GE(gst, 0) << at;
        EXPECT_LT(gst, 6.283185307179586L) << at;

        for (const xyz& s : stations) {
            SolidEarthTide tide;
            tide.SetStaPosition(s, 6371000.0L);
            tide.SetSunPosition(sun, rs);
            tide.SetMoonPosition(moon, rm);
            xyz d;
            tide.GetDisplacement(e, d);
            EXPECT_TRUE(std::isfinite(d.GetX()) && std::isfinite(d.GetY()) &&
                        std::isfinite(d.GetZ()))
                << at;
            EXPECT_LT(d.GetLength(), 1.0L) << at;
        }
    }
}

TEST(EpochRangeEnds, TheTideAcrossTheLeapSecondMovesLessThanATenthOfAMillimetre) {
    // 0.1 s of UTC apart, but the bodies' time argument jumps by 1.1 s as the
    // leap-second count steps; the tide changes by at most some 2e-5 m/s.
    LuniSolarPosition lsp;
    xyz before, after;
    for (auto [e, d] : {std::pair<mjd, xyz*>{mjd(57753, 86399.9), &before},
                        std::pair<mjd, xyz*>{mjd(57754, 0), &after}}) {
        xyz sun, moon;
        long double rs = 0, rm = 0;
        lsp.SunPosition(e, sun, rs);
        lsp.MoonPosition(e, moon, rm);
        SolidEarthTide tide;
        tide.SetStaPosition(xyz(0.7, 0.1, std::sqrt(1 - 0.5L)), 6371000.0L);
        tide.SetSunPosition(sun, rs);
        tide.SetMoonPosition(moon, rm);
        tide.GetDisplacement(e, *d);
    }
    EXPECT_EQ(LeapSecond(mjd(57753, 86399.9)), 17);
    EXPECT_EQ(LeapSecond(mjd(57754, 0)), 18);
    EXPECT_LT((after - before).GetLength(), 1e-4L);
    EXPECT_GT(before.GetLength(), 1e-3L);  // a tide of at least a millimetre to compare
}

}  // namespace
