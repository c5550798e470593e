// Table rows of the built program checked against values derived
// independently of the program: the worked tide examples rotated into the
// station's frame by a separate geodetic conversion, the bodies' longitudes
// and latitudes from their worked unit vectors, and the identities of the
// forced geometries.  Also the shortening of over-long arguments in warnings.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/table.h"

using testsupport::ParseRow;
using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::SplitLines;
using testsupport::TableRow;

namespace {

constexpr double kPi = 3.14159265358979323846;
double Deg(double rad) {
    return rad * 180 / kPi;
}
double Rad(double deg) {
    return deg * kPi / 180;
}

// GRS80 geodetic latitude, longitude [rad] and height [m] of a Cartesian
// point, by a plain fixed-point iteration in double precision: a derivation
// separate from the program's own conversion.
struct Geodetic {
    double phi, lam, h;
};
Geodetic ToGeodetic(double x, double y, double z) {
    const double a = 6378137.0, f = 1 / 298.257222101, e2 = f * (2 - f);
    const double p = std::hypot(x, y);
    double phi = std::atan2(z, p * (1 - e2)), h = 0;
    for (int i = 0; i < 100; ++i) {
        const double N = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
        h = p / std::cos(phi) - N;
        phi = std::atan2(z, p * (1 - e2 * N / (N + h)));
    }
    return {phi, std::atan2(y, x), h};
}

// Station of the worked tide example: geocentric latitude 46 degrees,
// longitude 14.5 degrees, 6367 km from the geocentre.
struct Station {
    double x, y, z;
    std::string option() const {
        char buf[160];
        std::snprintf(buf, sizeof buf, "-px%.6f,%.6f,%.6f", x, y, z);
        return buf;
    }
};
Station ExampleStation() {
    const double r = 6367000.0, lat = Rad(46), lon = Rad(14.5);
    return {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon),
            r * std::sin(lat)};
}

ProgramRun RunWith(const std::vector<std::string>& args) {
    return RunProgram(HAVORKASTILO_EXE, args);
}

// The table rows of a successful run (every row must be well formed).
std::vector<TableRow> Rows(const ProgramRun& run) {
    std::vector<TableRow> rows;
    EXPECT_TRUE(run.exited && run.status == 0) << run.err;
    const std::vector<std::string> lines = SplitLines(run.out);
    EXPECT_GE(lines.size(), 2u);
    for (std::size_t i = 2; i < lines.size(); ++i) {
        TableRow row;
        std::string why;
        EXPECT_TRUE(ParseRow(lines[i], row, &why)) << why;
        rows.push_back(row);
    }
    return rows;
}

// North, east, up [cm] of an Earth-fixed displacement [m] at a station.
void ToNEU(const double d[3], const Geodetic& g, double neu[3]) {
    const double sf = std::sin(g.phi), cf = std::cos(g.phi), sl = std::sin(g.lam),
                 cl = std::cos(g.lam);
    neu[0] = 100 * (-sf * cl * d[0] - sf * sl * d[1] + cf * d[2]);
    neu[1] = 100 * (-sl * d[0] + cl * d[1]);
    neu[2] = 100 * (cf * cl * d[0] + cf * sl * d[1] + sf * d[2]);
}

struct Body {
    double u[3];    // worked unit vector (six decimals)
    double meters;  // worked distance
};

// Longitude and latitude [deg] the table gives a body: its direction scaled
// to the station's geocentric distance, converted to geodetic coordinates.
void BodyColumns(const Body& b, const Station& s, double& lon, double& lat) {
    const double r = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
    const Geodetic g = ToGeodetic(b.u[0] * r, b.u[1] * r, b.u[2] * r);
    lon = Deg(g.lam);
    lat = Deg(g.phi);
}

struct WorkedEpoch {
    const char* date;  // -e1/-e2 value
    const char* day;   // expected epoch fields
    const char* second;
    double tide[3];  // worked total displacement, Earth-fixed [m]
    Body sun, moon;
};

const WorkedEpoch kWorked[] = {
    {"2023-02-25/00:00:00",
     "60000",
     "0.0",
     {-0.007970266, 0.010043631, -0.058186748},
     {{-0.985249, -0.057871, -0.161042}, 148059602777.0},
     {{-0.458234, -0.852507, 0.251502}, 381872174.0}},
    {"2000-01-01/12:00:00",
     "51544",
     "43200.0",
     {-0.065432615, -0.025908563, -0.094539453},
     {{0.920166, 0.014135, -0.391272}, 147100854102.0},
     {{0.520712, -0.832682, -0.188415}, 402459232.0}},
};

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

TEST(TableWorkedExamples, RowMatchesTheTideAndTheBodiesOfTheWorkedEpochs) {
    const Station st = ExampleStation();
    const Geodetic g = ToGeodetic(st.x, st.y, st.z);
    for (const WorkedEpoch& w : kWorked) {
        SCOPED_TRACE(w.date);
        const std::vector<TableRow> rows =
            Rows(RunWith({st.option(), std::string("-e1") + w.date, std::string("-e2") + w.date}));
        ASSERT_EQ(rows.size(), 1u);
        const TableRow& r = rows[0];
        EXPECT_EQ(r.text[0], w.day);
        EXPECT_EQ(r.text[1], w.second);

        // The worked displacement is good to 1e-9 m; none of these values lies
        // within 1e-6 cm of a rounding boundary, so the printed digits are fixed.
        double neu[3];
        ToNEU(w.tide, g, neu);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(r.text[2 + k], Fixed(neu[k], 1)) << "component " << k << ": " << neu[k];
            const double toBoundary = std::fabs(std::fmod(std::fabs(neu[k]) * 10, 1.0) - 0.5);
            EXPECT_GT(toBoundary, 1e-5) << "example too close to a rounding boundary";
        }

        // The worked unit vectors carry six decimals, so the directions are
        // known to about 5e-5 degrees; the distances to about 1e-9 relative.
        double lon, lat;
        BodyColumns(w.sun, st, lon, lat);
        EXPECT_NEAR(static_cast<double>(r.value[5]), lon, 1e-4);
        EXPECT_NEAR(static_cast<double>(r.value[6]), lat, 1e-4);
        EXPECT_NEAR(static_cast<double>(r.value[7]), w.sun.meters / 1000, 0.5);
        BodyColumns(w.moon, st, lon, lat);
        EXPECT_NEAR(static_cast<double>(r.value[8]), lon, 1e-4);
        EXPECT_NEAR(static_cast<double>(r.value[9]), lat, 1e-4);
        EXPECT_EQ(r.text[10], Fixed(w.moon.meters / 1000, 1));
    }
}

// Longitude in (-180, 180].
double Wrap(double deg) {
    while (deg > 180) deg -= 360;
    while (deg <= -180) deg += 360;
    return deg;
}

struct GeometryCase {
    std::vector<std::string> options;
    double sunOffset, moonOffset;  // degrees east of the station's meridian
};

TEST(GeometryModes, BodiesAreTurnedToTheChosenLongitudesKeepingLatitudeAndDistance) {
    const std::string span[] = {"-e12021-06-10/00:00:00", "-e22021-06-10/18:00:00", "-ed06:00:00"};
    // With several modes, the later step in the fixed order wins.
    const GeometryCase cases[] = {
        {{"-gk"}, 0, 0},          {{"-goS"}, 0, 90},          {{"-goL"}, 90, 0},
        {{"-goN"}, 90, -90},      {{"-goN", "-gk"}, 90, -90}, {{"-goL", "-goS"}, 90, 0},
        {{"-gk", "-goS"}, 0, 90},
    };
    for (const double stationLon : {14.5, 100.0, -170.25}) {
        const std::string position = "-pc45.5," + Fixed(stationLon, 2) + ",250";
        std::vector<std::string> plain = {position, span[0], span[1], span[2]};
        const std::vector<TableRow> reference = Rows(RunWith(plain));
        ASSERT_EQ(reference.size(), 4u);
        for (const GeometryCase& c : cases) {
            std::vector<std::string> args = plain;
            args.insert(args.end(), c.options.begin(), c.options.end());
            SCOPED_TRACE(position + " " + c.options[0]);
            const std::vector<TableRow> rows = Rows(RunWith(args));
            ASSERT_EQ(rows.size(), reference.size());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                EXPECT_EQ(rows[i].text[5], Fixed(Wrap(stationLon + c.sunOffset), 5));
                EXPECT_EQ(rows[i].text[8], Fixed(Wrap(stationLon + c.moonOffset), 5));
                // Turning about the polar axis keeps latitude and distance.
                EXPECT_NEAR(static_cast<double>(rows[i].value[6]),
                            static_cast<double>(reference[i].value[6]), 1.01e-5);
                EXPECT_NEAR(static_cast<double>(rows[i].value[9]),
                            static_cast<double>(reference[i].value[9]), 1.01e-5);
                EXPECT_EQ(rows[i].text[7], reference[i].text[7]);
                EXPECT_EQ(rows[i].text[10], reference[i].text[10]);
                for (int k = 0; k < 2; ++k) EXPECT_EQ(rows[i].text[k], reference[i].text[k]);
            }
        }
    }
}

TEST(GeometryModes, BothBodiesOnTheMeridianLeaveOnlyASmallEastDisplacement) {
    // With the Sun and the Moon in the station's meridian plane the in-phase
    // displacement lies in that plane: what remains east comes from the
    // out-of-phase and frequency-dependent corrections, a few millimetres.
    const std::vector<TableRow> rows =
        Rows(RunWith({"-pc46.05,14.5,300", "-e12021-06-10/00:00:00", "-e22021-06-11/00:00:00",
                      "-ed01:00:00", "-gk"}));
    ASSERT_EQ(rows.size(), 25u);
    long double largestUp = 0;
    for (const TableRow& r : rows) {
        EXPECT_LE(std::fabs(static_cast<double>(r.value[3])), 0.5);
        largestUp = std::max(largestUp, std::fabs(r.value[4]));
    }
    EXPECT_GT(largestUp, 10);  // while the up displacement reaches decimetres
}

std::string Warning(const std::string& text) {
    return "\n#### Havorkastilo: Warning -> " + text +
           " ####\n     Continuing Havorkastilo ... \n\n";
}

TEST(LongArguments, WarningsShowTheArgumentWholeUpTo511CharactersThenCutWithDots) {
    const std::string bare = " - PARAMETHER NUJEN ->  ";
    const std::string unknown = "NEPOZNAN PARAMETER: ";
    const std::string epochs[] = {"-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"};
    struct Case {
        std::string argument, prefix;
    };
    const Case cases[] = {
        {std::string(511 - bare.size(), 'a'), bare},  // fits exactly
        {std::string(512 - bare.size(), 'b'), bare},  // one too many
        {"-q" + std::string(100000, 'c'), unknown},   // very long
        {"-Q" + std::string(511 - unknown.size() - 2, 'd'), unknown},
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunWith({c.argument, epochs[0], epochs[1]});
        ASSERT_TRUE(run.exited);
        EXPECT_EQ(run.status, 0);
        std::string text = c.prefix + c.argument;
        if (text.size() > 511) text = text.substr(0, 508) + "...";
        EXPECT_EQ(run.err, Warning(text)) << "argument of " << c.argument.size() << " characters";
        EXPECT_EQ(Rows(run).size(), 1u);
    }
}

TEST(LongArguments, OverLongValuesAreReadToTheirLimitWithoutHarm) {
    const std::string digits(60000, '7');  // one argument holds at most 128 KiB
    const ProgramRun position =
        RunWith({"-px" + digits + ",1," + digits, "-e22019-01-17/00:00:00"});
    EXPECT_EQ(position.err, "");
    EXPECT_EQ(Rows(position).size(), 1u);
    const ProgramRun step = RunWith({"-ed0:0:" + digits});
    EXPECT_EQ(step.err, "");
    // The step is read from its first 31 characters: 7.8e26 s passes every day.
    EXPECT_EQ(Rows(step).size(), 1u);
    const ProgramRun date = RunWith({"-e12019-01-17/00:00:0" + digits});
    ASSERT_TRUE(date.exited);
    EXPECT_EQ(date.status, 1);  // seconds "077777777" (9 characters): invalid
    EXPECT_EQ(date.out,
              "\n**** ymdhms: Error -> SECOND not valid ****\n     Exiting class ymdhms ... \n");
}

}  // namespace

namespace {

// Runs the program through the shell with standard output sent to /dev/full
// (every write fails: "no space left on device"); returns the exit status and
// fills err with standard error.
int RunIntoFullDevice(const std::string& args, std::string& err) {
    const std::string errFile = testing::TempDir() + "havorkastilo_full_device.err";
    const std::string command =
        std::string("'") + HAVORKASTILO_EXE + "' " + args + " > /dev/full 2> '" + errFile + "'";
    const int status = std::system(command.c_str());
    std::FILE* f = std::fopen(errFile.c_str(), "rb");
    err.clear();
    if (f) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) err.append(buf, n);
        std::fclose(f);
    }
    std::remove(errFile.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A table or help text that cannot be written used to end with status 0, a
// failure reported as success.
TEST(UnwritableOutput, EndsWithAFramedErrorAndStatusOne) {
    const std::string report =
        "\n**** Havorkastilo: Error -> REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD ****\n"
        "     Exiting Havorkastilo ... \n\n";
    std::string err;
    EXPECT_EQ(RunIntoFullDevice("-pc46,15,0", err), 1);
    EXPECT_EQ(err, report);
    EXPECT_EQ(RunIntoFullDevice("", err), 1);  // the help text
    EXPECT_EQ(err, report);
    // A long table stops at the first failed write instead of computing on.
    EXPECT_EQ(RunIntoFullDevice("-e12019-01-01/00:00:00 -e22030-01-01/00:00:00 -ed00:00:10", err),
              1);
    EXPECT_EQ(err, report);
}

// The rest of a span is not computed once the output has failed: 298 years
// at a millisecond (some 9.4e12 rows, days of work) end with the report as
// soon as the first block cannot be written, on one thread and on several.
TEST(UnwritableOutput, TheRunEndsAtTheFirstFailedWriteHoweverLongTheSpan) {
    const std::string report =
        "\n**** Havorkastilo: Error -> REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD ****\n"
        "     Exiting Havorkastilo ... \n\n";
    for (const char* threads : {"-j1", "-j4"}) {
        SCOPED_TRACE(threads);
        const ProgramRun run = testsupport::Shell(
            std::string("exec '") + HAVORKASTILO_EXE + "' " + threads +
                " -e11901-01-01/00:00:00 -e22199-01-01/00:00:00 -ed00:00:00.001 >/dev/full",
            60);
        EXPECT_FALSE(run.timed_out);
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, report);
    }
}

}  // namespace
