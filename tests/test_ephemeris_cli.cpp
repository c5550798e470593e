// The precise Sun and Moon (-mp) against the sky: events of the published
// almanacs found in the program's own output, at one-minute steps, as a user
// would find them in the comma-separated output.  And -ms, the default, is
// what the program always printed.
//
// Almanac values: the Moon's perigee of 2016-11-14, 356,509 km at 11:22 UTC;
// the Earth's perihelion of 2020-01-05, 0.983243 au (147,091,144 km) at
// 07:48 UTC; the March equinox of 2020, 03:50 UTC for the apparent Sun, which
// the geometric Sun (no aberration, 20.5") reaches about 8 minutes earlier.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/table.h"

using testsupport::CsvRow;
using testsupport::ParseCsvRow;
using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::SplitLines;

namespace {

// Columns of the comma-separated output.
enum {
    kMjd = 1,
    kSod = 2,
    kDn = 3,
    kDe = 4,
    kDu = 5,
    kSunLon = 9,
    kSunLat = 10,
    kSunKm = 11,
    kMoonLon = 12,
    kMoonLat = 13,
    kMoonKm = 14
};

std::vector<CsvRow> Rows(std::vector<std::string> args) {
    args.push_back("-oc");
    const ProgramRun run = RunProgram(HAVORKASTILO_EXE, args, 600);
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<CsvRow> rows;
    const std::vector<std::string> lines = SplitLines(run.out);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        CsvRow r;
        std::string why;
        EXPECT_TRUE(ParseCsvRow(lines[i], r, &why)) << why;
        rows.push_back(r);
    }
    return rows;
}

// Minutes of the day of a row.
double Minutes(const CsvRow& r) {
    return static_cast<double>(r.value[kSod]) / 60.0;
}

const CsvRow& Smallest(const std::vector<CsvRow>& rows, int column) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i].value[column] < rows[best].value[column]) best = i;
    return rows[best];
}

}  // namespace

TEST(PreciseSunMoonSky, MoonPerigeeOf14November2016) {
    const std::vector<CsvRow> rows =
        Rows({"-mp", "-e12016-11-14/00:00:00", "-e22016-11-14/23:59:00", "-ed00:01:00"});
    ASSERT_EQ(rows.size(), 1440u);
    const CsvRow& p = Smallest(rows, kMoonKm);
    EXPECT_NEAR(static_cast<double>(p.value[kMoonKm]), 356509.0, 10.0);
    EXPECT_NEAR(Minutes(p), 11 * 60 + 22, 30.0) << p.text[0];
}

TEST(PreciseSunMoonSky, PerihelionOf5January2020) {
    // The minimum is flat (some metres over an hour): read from the metres.
    const std::vector<CsvRow> rows =
        Rows({"-mp", "-e12020-01-05/00:00:00", "-e22020-01-05/15:59:00", "-ed00:01:00"});
    ASSERT_EQ(rows.size(), 960u);
    const CsvRow& p = Smallest(rows, kSunKm);
    EXPECT_NEAR(static_cast<double>(p.value[kSunKm]), 147091144.0, 100.0);
    EXPECT_NEAR(Minutes(p), 7 * 60 + 48, 30.0) << p.text[0];
    // 0.983243 au (IAU 2012: 149,597,870.700 km).
    EXPECT_NEAR(static_cast<double>(p.value[kSunKm]) / 149597870.7, 0.983243, 1e-6);
}

TEST(PreciseSunMoonSky, SunCrossesTheEquatorAtTheMarchEquinoxOf2020) {
    const std::vector<CsvRow> rows =
        Rows({"-mp", "-e12020-03-20/02:00:00", "-e22020-03-20/05:59:00", "-ed00:01:00"});
    ASSERT_EQ(rows.size(), 240u);
    int crossings = 0;
    double at = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i - 1].value[kSunLat] < 0 && rows[i].value[kSunLat] >= 0) {
            ++crossings;
            // Linear between the two minutes.
            const double a = static_cast<double>(rows[i - 1].value[kSunLat]);
            const double b = static_cast<double>(rows[i].value[kSunLat]);
            at = Minutes(rows[i - 1]) + a / (a - b);
        }
    }
    EXPECT_EQ(crossings, 1);
    EXPECT_NEAR(at, 3 * 60 + 42, 3.0);
}

namespace {

// Angle between two directions given as longitude and latitude [deg].
double Separation(long double lon1, long double lat1, long double lon2, long double lat2) {
    const double d2r = 3.141592653589793 / 180;
    const double a = static_cast<double>(lat1) * d2r, b = static_cast<double>(lat2) * d2r;
    const double dl = static_cast<double>(lon2 - lon1) * d2r;
    const double c = std::sin(a) * std::sin(b) + std::cos(a) * std::cos(b) * std::cos(dl);
    return std::acos(c > 1 ? 1 : c) / d2r;
}

}  // namespace

TEST(PreciseSunMoonSky, SeriesAndPreciseDifferAsTheSeriesErrorsAllow) {
    // A year at one hour at three stations: the displacements of the two
    // ephemerides differ by at most 4 mm (and by 0.1 mm at least somewhere,
    // or the option would do nothing), the bodies' directions by less than
    // 0.5 degrees, the series' own error.
    for (const char* station : {"-pc46.05,14.5,300", "-pc-33.9,18.4,10", "-pc64.1,-21.9,30"}) {
        SCOPED_TRACE(station);
        const std::vector<std::string> span = {station, "-e12019-01-01/00:00:00",
                                               "-e22019-12-31/23:00:00", "-ed01:00:00"};
        std::vector<std::string> p = span, s = span;
        p.push_back("-mp");
        s.push_back("-ms");
        const std::vector<CsvRow> precise = Rows(p), series = Rows(s);
        ASSERT_EQ(precise.size(), 8760u);
        ASSERT_EQ(series.size(), 8760u);
        double largest = 0, sun = 0, moon = 0;
        for (std::size_t i = 0; i < precise.size(); ++i) {
            ASSERT_EQ(precise[i].text[0], series[i].text[0]);
            for (int c : {kDn, kDe, kDu})
                largest = std::max(largest, std::fabs(static_cast<double>(precise[i].value[c] -
                                                                          series[i].value[c])));
            sun = std::max(sun, Separation(precise[i].value[kSunLon], precise[i].value[kSunLat],
                                           series[i].value[kSunLon], series[i].value[kSunLat]));
            moon = std::max(moon, Separation(precise[i].value[kMoonLon], precise[i].value[kMoonLat],
                                             series[i].value[kMoonLon], series[i].value[kMoonLat]));
        }
        EXPECT_LE(largest, 0.004);
        EXPECT_GE(largest, 0.0001);
        EXPECT_LT(sun, 0.5);
        EXPECT_LT(moon, 0.5);
        std::printf("%s: displacement %.2f mm, Sun %.3f deg, Moon %.3f deg\n", station,
                    largest * 1000, sun, moon);
    }
}

TEST(EphemerisOption, TheSeriesAreTheDefaultAndTheLaterOptionWins) {
    const std::vector<std::string> span = {"-pc46.05,14.5,300", "-e12019-02-18/00:00:00",
                                           "-e22019-02-20/00:00:00", "-ed00:10:00"};
    auto out = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = span;
        args.insert(args.end(), extra.begin(), extra.end());
        const ProgramRun run = RunProgram(HAVORKASTILO_EXE, args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        return run.out;
    };
    const std::string plain = out({}), series = out({"-ms"}), precise = out({"-MP"});
    EXPECT_EQ(series, plain);
    EXPECT_NE(precise, plain);
    EXPECT_EQ(out({"-mp", "-ms"}), plain);
    EXPECT_EQ(out({"-ms", "-Mp"}), precise);
    EXPECT_EQ(out({"-mp", "-j1"}), precise);  // threads change nothing
}
