// The comma-separated output against the table, over long spans.
//
// Both layouts show the same epochs and the same computed numbers; the CSV
// only keeps more decimals and metres.  Rounded to the table's decimals, every
// north, east, up and Sun and Moon value of the CSV must print exactly what
// the table prints, except where the CSV value lies within one unit of its
// own last digit of a rounding boundary of the table (there its own rounding
// may have moved it across).  The time stamps are checked against a calendar
// written here independently of the program's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/table.h"

using testsupport::CsvRow;
using testsupport::kCsvHeaderText;
using testsupport::ParseCsvRow;
using testsupport::ParseRow;
using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::SplitLines;
using testsupport::TableRow;

namespace {

// Gregorian date of a Modified Julian Day: days since 1970-01-01 to civil
// date by eras of 400 years (the proleptic Gregorian calendar).
void CivilFromMjd(long long mjd, int& y, int& m, int& d) {
    long long z = mjd - 40587 + 719468;  // days since 0000-03-01
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

// A fixed-point text with `decimals` decimals as a sign and a count of units
// of its last digit.
struct Units {
    bool negative;
    std::uint64_t count;
};

Units ReadUnits(const std::string& text) {
    Units u{!text.empty() && text[0] == '-', 0};
    for (char c : text)
        if (c >= '0' && c <= '9') u.count = u.count * 10 + static_cast<std::uint64_t>(c - '0');
    return u;
}

std::string UnitsText(bool negative, std::uint64_t count, int decimals) {
    std::string digits = std::to_string(count);
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    return (negative ? "-" : "") + digits;
}

struct Agreement {
    long compared = 0;
    long nearBoundary = 0;
};

// Whether the CSV's text `fine` rounds to the table's text `coarse`, where
// one unit of the table's last digit is `ratio` units of the CSV's.  The
// CSV's value within one unit of a boundary is not held to it.
void ExpectRoundsTo(const std::string& fine, const std::string& coarse, std::uint64_t ratio,
                    int coarseDecimals, Agreement& a, const char* what, long row) {
    const Units u = ReadUnits(fine);
    const std::uint64_t q = u.count / ratio, r = u.count % ratio;
    const std::uint64_t twice = 2 * r;
    if (twice + 2 >= ratio && twice <= ratio + 2) {
        ++a.nearBoundary;
        return;
    }
    ++a.compared;
    const std::string expected = UnitsText(u.negative, q + (twice > ratio ? 1 : 0), coarseDecimals);
    ASSERT_EQ(coarse, expected) << what << " of row " << row << ": CSV " << fine;
}

void CompareRuns(const std::vector<std::string>& args, std::size_t expectRows) {
    std::vector<std::string> csvArgs = args;
    csvArgs.push_back("-oc");
    const ProgramRun table = RunProgram(HAVORKASTILO_EXE, args, 900);
    const ProgramRun csv = RunProgram(HAVORKASTILO_EXE, csvArgs, 900);
    ASSERT_TRUE(table.exited && csv.exited);
    ASSERT_EQ(table.status, 0) << table.err;
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.err, "");
    const std::vector<std::string> t = SplitLines(table.out), c = SplitLines(csv.out);
    ASSERT_EQ(t.size(), expectRows + 2);
    ASSERT_EQ(c.size(), expectRows + 1);
    EXPECT_EQ(c[0], kCsvHeaderText);
    EXPECT_EQ(csv.out.find('\r'), std::string::npos);
    EXPECT_EQ(csv.out.find(' '), std::string::npos);

    Agreement a;
    for (std::size_t i = 0; i < expectRows; ++i) {
        const long row = static_cast<long>(i) + 1;
        TableRow tr;
        CsvRow cr;
        std::string why;
        ASSERT_TRUE(ParseRow(t[i + 2], tr, &why)) << why;
        ASSERT_TRUE(ParseCsvRow(c[i + 1], cr, &why)) << why;

        // The same epoch (the table shows a tenth of a second).
        const long double tableEpoch = tr.value[0] * 86400 + tr.value[1];
        const long double csvEpoch = cr.value[1] * 86400 + cr.value[2];
        ASSERT_LE(std::abs(static_cast<double>(tableEpoch - csvEpoch)), 0.05 + 1e-6) << row;
        // The time stamp is the day number and the seconds of day.
        int y = 0, m = 0, d = 0;
        CivilFromMjd(std::atoll(cr.text[1].c_str()), y, m, d);
        const Units sod = ReadUnits(cr.text[2]);  // 1e-7 s
        ASSERT_LT(sod.count, 864000000000ULL) << row;
        const std::uint64_t s = sod.count / 10000000;
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%07dZ", y, m, d,
                      static_cast<int>(s / 3600), static_cast<int>(s % 3600 / 60),
                      static_cast<int>(s % 60), static_cast<int>(sod.count % 10000000));
        ASSERT_EQ(cr.text[0], stamp) << row;

        // North, east, up: metres with 9 decimals against centimetres with 1.
        for (int k = 0; k < 3; ++k)
            ExpectRoundsTo(cr.text[3 + k], tr.text[2 + k], 1000000, 1, a, "displacement", row);
        // Sun and Moon: degrees 7 against 5 decimals, km 3 against 1.
        for (int body = 0; body < 2; ++body) {
            ExpectRoundsTo(cr.text[9 + 3 * body], tr.text[5 + 3 * body], 100, 5, a, "longitude",
                           row);
            ExpectRoundsTo(cr.text[10 + 3 * body], tr.text[6 + 3 * body], 100, 5, a, "latitude",
                           row);
            ExpectRoundsTo(cr.text[11 + 3 * body], tr.text[7 + 3 * body], 100, 1, a, "distance",
                           row);
        }
        if (testing::Test::HasFatalFailure()) return;
    }
    // Near a boundary are 3 in 100 values of the Sun and Moon columns (two
    // more decimals than the table) and some in a million of the rest: the
    // comparison skips few.
    EXPECT_LT(a.nearBoundary, a.compared / 20);
    testing::Test::RecordProperty("compared", static_cast<int>(a.compared));
}

const char* const kStations[] = {
    "-pc46.05,14.5,300",                       // the worked example
    "-pd-33.5526,-70.4012,570",                // southern hemisphere, western longitude
    "-px1112189.66,-4842955.026,3985352.284",  // Earth-fixed, 38.9 N 77.1 W
};

}  // namespace

TEST(CsvTableAgreement, AYearAtOneMinuteAtThreeStations) {
#ifdef HAVORKASTILO_SANITIZED
    // A month in the sanitized build (a year there takes minutes).
    const char* end = "-e22019-01-30/23:59:00";
    const std::size_t rows = 43200;
#else
    const char* end = "-e22019-12-31/23:59:00";
    const std::size_t rows = 525600;
#endif
    for (const char* station : kStations) {
        SCOPED_TRACE(station);
        CompareRuns({station, "-e12019-01-01/00:00:00", end, "-ed00:01:00"}, rows);
    }
}

TEST(CsvTableAgreement, ADayAtOneSecondAtThreeStations) {
    for (const char* station : kStations) {
        SCOPED_TRACE(station);
        CompareRuns({station, "-e12016-12-31/12:00:00", "-e22017-01-01/11:59:59", "-ed00:00:01"},
                    86400);
    }
}

TEST(CsvTableAgreement, GeometryModesApplyAsInTheTable) {
    for (const char* mode : {"-gk", "-goS", "-goL", "-goN"}) {
        SCOPED_TRACE(mode);
        CompareRuns({mode, "-pc-45.87,170.5,0", "-e12024-07-15/00:00:00", "-e22024-07-16/00:00:00",
                     "-ed00:05:00"},
                    289);
    }
}
