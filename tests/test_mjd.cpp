// Modified Julian Date epochs: validity reports, second and day arithmetic,
// differences, comparisons with their tolerances, and the print layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iomanip>
#include <limits>
#include <sstream>
#include <string>

#include "GNSS/mjd.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

const char* const kMJDayReport =
    "\n**** mjd: Error -> MJDAY not valid ****\n     Exiting class mjd ... \n";
const char* const kSecondReport =
    "\n**** mjd: Error -> SECOND not valid ****\n     Exiting class mjd ... \n";

// Day number and seconds of an epoch in one comparable string.
std::string DS(const mjd& e) {
    std::ostringstream s;
    s.precision(21);
    s << e.GetMJDay() << " " << e.GetSecond();
    return s.str();
}

std::string DS(std::uint32_t d, long double s) {
    std::ostringstream o;
    o.precision(21);
    o << d << " " << s;
    return o.str();
}

// Restores the print settings a test changes.
class MjdPrint : public testing::Test {
  protected:
    void TearDown() override {
        mjdns::PrintFormat = mjdns::MJDSEC;
        mjdns::NDecSecond = 1;
    }
};

// An epoch at the largest day number, reached by stepping back from day 0
// (the day number wraps like an unsigned count).
mjd LastDay() {
    mjd e;
    e += -1.0L;
    return e;
}

}  // namespace

TEST(MjdValidity, ValidRangeIsKeptAndReportsNameTheFirstBadField) {
    auto ok = Capture([] {
        mjd a(199999, 86399.999L);
        mjd b(0, 0);
        b.Set(58849, 43200);
        mjd c(a);
        c = b;
        EXPECT_EQ(DS(c), DS(58849, 43200));
    });
    EXPECT_FALSE(ok.exited);
    EXPECT_EQ(ok.out, "");

    struct Case {
        const char* what;
        std::function<void()> f;
        const char* report;
    };
    const Case cases[] = {
        {"day past 199999", [] { mjd e(200000, 0); }, kMJDayReport},
        {"86400 s", [] { mjd e(58849, 86400); }, kSecondReport},
        {"negative seconds", [] { mjd e(58849, -1e-9L); }, kSecondReport},
        {"NaN seconds", [] { mjd e(58849, std::nanl("")); }, kSecondReport},
        {"both wrong: day first", [] { mjd e(200000, -5); }, kMJDayReport},
        {"Set",
         [] {
             mjd e;
             e.Set(58849, 90000);
         },
         kSecondReport},
        {"copy of a wrapped epoch",
         [] {
             const mjd w = LastDay();
             mjd e(w);
         },
         kMJDayReport},
        {"assignment of a wrapped epoch",
         [] {
             mjd e;
             e = LastDay();
         },
         kMJDayReport},
    };
    for (const Case& c : cases) {
        auto o = Capture(c.f);
        EXPECT_TRUE(o.exited) << c.what;
        EXPECT_EQ(o.status, 1) << c.what;
        EXPECT_EQ(o.out, c.report) << c.what;
        EXPECT_EQ(o.err, "") << c.what;
    }
}

TEST(MjdValidityDeathTest, InvalidValuesEndTheProcessWithStatusOne) {
    EXPECT_EXIT(mjd(200000, 0), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(mjd(58849, 86400), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(
        {
            std::istringstream in("58849 -3");
            mjd e;
            in >> e;
        },
        testing::ExitedWithCode(1), "");
}

TEST(MjdFractionalDay, AssignmentSplitsTheDayAndRejectsValuesWithoutADayNumber) {
    mjd e;
    e = 58849.25L;
    EXPECT_EQ(DS(e), DS(58849, 21600));
    e = 0.5L;
    EXPECT_EQ(DS(e), DS(0, 43200));
    // Truncation toward zero keeps -0.5 on day 0; the seconds come from the
    // floor: (-0.5 - (-1)) * 86400.
    e = -0.5L;
    EXPECT_EQ(DS(e), DS(0, 43200));

    for (long double v :
         {-1.5L, 200000.0L, 1e30L, std::numeric_limits<long double>::infinity(), std::nanl("")}) {
        auto o = Capture([v] {
            mjd x;
            x = v;
        });
        EXPECT_TRUE(o.exited) << v;
        EXPECT_EQ(o.out, kMJDayReport) << v;
    }
}

TEST(MjdAddSeconds, CarriesWholeDaysBothWays) {
    mjd e(58849, 0);
    e += 86400.0L;
    EXPECT_EQ(DS(e), DS(58850, 0));

    e.Set(58849, 0);
    e += -1.0L;
    EXPECT_EQ(DS(e), DS(58848, 86399));

    e.Set(58849, 0);
    e += 3 * 86400.0L + 10;
    EXPECT_EQ(DS(e), DS(58852, 10));

    e.Set(58849, 100);
    e += -(2 * 86400.0L + 200);
    EXPECT_EQ(DS(e), DS(58846, 86300));

    // Seconds adding up to more than a day carry once.
    e.Set(58849, 86000);
    e += 1000.0L;
    EXPECT_EQ(DS(e), DS(58850, 600));

    // A double-precision step adds seconds, not days.
    e.Set(58849, 0);
    e += 3600.0;
    EXPECT_EQ(DS(e), DS(58849, 3600));
}

TEST(MjdAddSeconds, SumsWithin1e12OfADaySnapToTheNextDay) {
    mjd e(58849, 0);
    e += 86399.9999999999995L;
    EXPECT_EQ(DS(e), DS(58850, 0));

    e.Set(58849, 86399.5L);
    e += 0.4999999999995L;
    EXPECT_EQ(DS(e), DS(58850, 0));

    // 1e-9 s short of the day is kept.
    e.Set(58849, 0);
    e += 86400.0L - 1e-9L;
    EXPECT_EQ(e.GetMJDay(), 58849u);
    EXPECT_NEAR(static_cast<double>(86400.0L - e.GetSecond()), 1e-9, 1e-14);
}

TEST(MjdAddSeconds, DayNumbersBelowZeroWrapLikeAnUnsignedCount) {
    mjd e;
    e += -1.0L;
    EXPECT_EQ(DS(e), DS(4294967295u, 86399));
    e.Set(5, 0);
    e += -10 * 86400.0L;
    EXPECT_EQ(DS(e), DS(4294967291u, 0));
}

TEST(MjdAddSeconds, StepsTheDayCountCannotHoldSaturate) {
    const long double inf = std::numeric_limits<long double>::infinity();

    // Fault: the whole-day count overflowed 32 bits from about 3.7e14 s.
    mjd e(58849, 0);
    e += (4294967295.0L - 58849) * 86400;  // lands exactly on the last day
    EXPECT_EQ(DS(e), DS(4294967295u, 0));
    e.Set(58849, 0);
    e += (4294967296.0L - 58849) * 86400;  // one day more
    EXPECT_EQ(DS(e), DS(4294967295u, 0));
    e.Set(58849, 43200);
    e += 4294967296.0L * 86400;  // n itself needs 33 bits
    EXPECT_EQ(DS(e), DS(4294967295u, 0));
    e.Set(58849, 43200);
    e += 1e300L;
    EXPECT_EQ(DS(e), DS(4294967295u, 0));

    // Fault: a carry past the largest day number wrapped back to day 0.
    e.Set(0, 0);
    e += -1.0L;  // 4294967295, 86399 s
    e += 1.0L;
    EXPECT_EQ(DS(e), DS(4294967295u, 0));

    // Fault: non-finite steps had no day count.
    e.Set(58849, 43200);
    e += inf;
    EXPECT_EQ(DS(e), DS(4294967295u, 0));
    e.Set(58849, 43200);
    e += -inf;
    EXPECT_EQ(DS(e), DS(0, 0));
    e.Set(58849, 43200);
    e += -1e300L;
    EXPECT_EQ(DS(e), DS(0, 0));
    e.Set(58849, 43200);
    e += std::nanl("");
    EXPECT_EQ(DS(e), DS(58849, 43200));
}

TEST(MjdAddSeconds, AnEpochLoopWithAHugeStepEnds) {
    // Fault: a step whose day count overflowed made the loop run again from a
    // small day number.
    const mjd end(199999, 86399);
    mjd e(58849, 0);
    int rows = 0;
    while (e <= end && rows < 10) {
        ++rows;
        e += 1e20L;
    }
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(e > end);
}

TEST(MjdAddDays, WholeDaysChangeOnlyTheDayNumber) {
    mjd e(58849, 123.5L);
    e += std::int32_t{5};
    EXPECT_EQ(DS(e), DS(58854, 123.5L));
    e -= std::int32_t{10};
    EXPECT_EQ(DS(e), DS(58844, 123.5L));
    e += std::int32_t{-44};
    EXPECT_EQ(DS(e), DS(58800, 123.5L));
}

TEST(MjdDifference, SignedSecondsBetweenEpochs) {
    const mjd a(58850, 0);
    const mjd b(58849, 86000);
    EXPECT_EQ(a - b, 400.0L);
    EXPECT_EQ(b - a, -400.0L);
    EXPECT_EQ(mjd(58849, 10) - mjd(58849, 4.5L), 5.5L);
    EXPECT_EQ(mjd(58859, 0) - mjd(58849, 0), 864000.0L);
    EXPECT_EQ(mjd(0, 0) - mjd(199999, 0), -199999.0L * 86400);
}

TEST(MjdComparisons, TolerancesAndSameObjectAnswers) {
    const mjd a(58849, 43200);
    const mjd b(58849, 43200.00000000000005L);
    EXPECT_TRUE(a == b);  // within 1e-13
    EXPECT_TRUE(a < b);   // exact
    EXPECT_TRUE(a <= b);
    EXPECT_FALSE(a >= b);  // tolerance only 1e-14
    EXPECT_FALSE(a > b);
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(b >= a);
    EXPECT_FALSE(b <= a);

    // Within 1e-14 the tolerant comparisons see equality both ways.
    const mjd c(58849, 43200.000000000000005L);
    EXPECT_TRUE(a <= c && c <= a && a >= c && c >= a);
    EXPECT_TRUE(a < c);

    // Beyond 1e-13, == fails.
    const mjd d(58849, 43200.0000000000005L);
    EXPECT_FALSE(a == d);

    // Equal values and the same object.
    const mjd e(58849, 43200);
    EXPECT_TRUE(a == e && a <= e && a >= e);
    EXPECT_FALSE(a < e || a > e);
    EXPECT_TRUE(a == a && a <= a && a >= a);
    EXPECT_FALSE(a < a || a > a);

    // The day number decides first.
    const mjd early(58849, 86399.9L);
    const mjd late(58850, 0);
    EXPECT_TRUE(early < late && early <= late && late > early && late >= early);
    EXPECT_FALSE(early == late);
}

TEST(MjdQueries, FractionalDay) {
    EXPECT_EQ(mjd(58849, 21600).GetMJDDec(), 58849.25L);
    EXPECT_EQ(mjd(51544, 43200).GetMJDDec(), 51544.5L);
    EXPECT_EQ(mjd(58849, 43200).GetMJDay(), 58849u);
    EXPECT_EQ(mjd(58849, 43200.5L).GetSecond(), 43200.5L);
}

TEST(MjdStreamInput, ReadsDayAndSecondsThenTests) {
    std::istringstream in("58849 43200.5\n 51544\t0");
    mjd a;
    mjd b;
    in >> a >> b;
    EXPECT_EQ(DS(a), DS(58849, 43200.5L));
    EXPECT_EQ(DS(b), DS(51544, 0));

    auto o = Capture([] {
        std::istringstream bad("200000 0");
        mjd e;
        bad >> e;
    });
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.out, kMJDayReport);
    o = Capture([] {
        std::istringstream bad("58849 86400");
        mjd e;
        bad >> e;
    });
    EXPECT_EQ(o.out, kSecondReport);
}

TEST_F(MjdPrint, DaySecondLayoutIsTheTableColumn) {
    std::ostringstream s;
    s << mjd(58849, 43200);
    EXPECT_EQ(s.str(), " 58849 43200.0");
    EXPECT_EQ(s.str().size(), 14u);
    EXPECT_TRUE(s.flags() & std::ios::fixed);

    std::ostringstream z;
    z << mjd(58849, 0);
    EXPECT_EQ(z.str(), " 58849     0.0");

    // The current fill pads, then the fill goes back to a blank.
    std::ostringstream f;
    f.fill('*');
    f << mjd(7, 5) << std::setw(3) << 1;
    EXPECT_EQ(f.str(), "*****7*****5.0  1");
    EXPECT_EQ(f.fill(), ' ');

    mjdns::NDecSecond = 3;
    std::ostringstream d;
    d << mjd(58849, 3723.5L);
    EXPECT_EQ(d.str(), " 58849  3723.500");
}

TEST_F(MjdPrint, FractionalDayLayoutKeepsTheStreamFloatFormat) {
    mjdns::PrintFormat = mjdns::MJDDEC;
    mjdns::NDecSecond = 2;
    std::ostringstream general;
    general << mjd(58849, 21600);
    EXPECT_EQ(general.str(), "  5.9e+04");
    EXPECT_FALSE(general.flags() & std::ios::fixed);

    std::ostringstream fixed;
    fixed << std::fixed << mjd(58849, 21600);
    EXPECT_EQ(fixed.str(), " 58849.25");
}

TEST_F(MjdPrint, HourMinuteSecondLayoutFillsWithZeros) {
    mjdns::PrintFormat = mjdns::MJDHMS;
    std::ostringstream s;
    s << mjd(58849, 3723.5L) << std::setw(2) << 7;
    EXPECT_EQ(s.str(), " 58849  01:02:03.5 7");
    EXPECT_TRUE(s.flags() & std::ios::fixed);

    // 3599.99999999999 s: the second within 1e-10 of 60 carries into the
    // minute, the minute of 60 into the hour.
    std::ostringstream c;
    c << mjd(58849, 3599.99999999999L);
    EXPECT_EQ(c.str(), " 58849  01:00:00.0");

    // The carry stops at the hour: the day number stays.
    std::ostringstream h;
    h << mjd(58849, 86399.99999999999L);
    EXPECT_EQ(h.str(), " 58849  24:00:00.0");

    mjdns::NDecSecond = 0;
    std::ostringstream n;
    n << mjd(58849, 45296);
    EXPECT_EQ(n.str(), " 58849  12:34:056");
}

TEST_F(MjdPrint, DayOnlySp3AndUnknownLayouts) {
    mjdns::PrintFormat = mjdns::MJD;
    std::ostringstream d;
    d.fill('#');
    d << mjd(123, 43200);
    EXPECT_EQ(d.str(), "###123");
    EXPECT_EQ(d.fill(), '#');  // this layout leaves the fill alone
    EXPECT_TRUE(d.flags() & std::ios::fixed);

    mjdns::PrintFormat = mjdns::SP3;
    std::ostringstream p;
    p << mjd(58849, 43200);
    EXPECT_EQ(p.str(), " 58849 0.5000000000000");
    EXPECT_EQ(p.fill(), ' ');

    mjdns::PrintFormat = 5;
    std::ostringstream none;
    none << mjd(58849, 43200);
    EXPECT_EQ(none.str(), "");
    EXPECT_FALSE(none.flags() & std::ios::fixed);
}
