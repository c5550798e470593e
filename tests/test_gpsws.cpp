// GPS week and second: validity reports, day of week, second arithmetic with
// the week carry and the 16-bit week count, stream input and print layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iomanip>
#include <limits>
#include <sstream>
#include <string>

#include "GNSS/GPSws.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

std::string Report(const char* text) {
    return std::string("\n**** GPSws: Error -> ") + text + " ****\n     Exiting class GPSws ... \n";
}

std::string WS(const GPSws& g) {
    std::ostringstream s;
    s.precision(21);
    s << g.GetWeek() << " " << g.GetSecond();
    return s.str();
}

std::string WS(int w, long double sec) {
    std::ostringstream s;
    s.precision(21);
    s << w << " " << sec;
    return s.str();
}

void ExpectReport(const std::function<void()>& f, const char* text, const char* what) {
    auto o = Capture(f);
    EXPECT_TRUE(o.exited) << what;
    EXPECT_EQ(o.status, 1) << what;
    EXPECT_EQ(o.out, Report(text)) << what;
    EXPECT_EQ(o.err, "") << what;
}

std::string Print(const GPSws& g) {
    std::ostringstream s;
    s << g;
    return s.str();
}

// The week that a step back from week 0 wraps to.
GPSws Wrapped() {
    GPSws g;
    g += -1.0L;
    return g;
}

class GPSwsPrint : public testing::Test {
  protected:
    void TearDown() override {
        gpswsns::PrintFormat = gpswsns::GPSWS;
        gpswsns::NDecSecond = 1;
    }
};

}  // namespace

TEST(GPSwsValidity, WeekAndSecondBounds) {
    auto ok = Capture([] {
        GPSws a(11999, 604799.9L);
        GPSws b(a);
        GPSws c;
        c = b;
        c.Set(0, 0);
        std::istringstream in("2086 302400");
        in >> c;
        EXPECT_EQ(WS(c), WS(2086, 302400));
    });
    EXPECT_FALSE(ok.exited) << ok.out;

    ExpectReport([] { GPSws g(12000, 0); }, "WEEK not valid", "week 12000");
    ExpectReport([] { GPSws g(0, 604800); }, "SECOND not valid", "604800 s");
    ExpectReport([] { GPSws g(0, -0.5L); }, "SECOND not valid", "negative");
    ExpectReport([] { GPSws g(0, std::nanl("")); }, "SECOND not valid", "NaN");
    ExpectReport([] { GPSws g(12000, 604800); }, "WEEK not valid", "both: week first");
    ExpectReport([] { GPSws().Set(100, 700000); }, "SECOND not valid", "Set");
    ExpectReport(
        [] {
            const GPSws w = Wrapped();
            GPSws g(w);
        },
        "WEEK not valid", "copy");
    ExpectReport(
        [] {
            GPSws g;
            g = Wrapped();
        },
        "WEEK not valid", "assignment");
    ExpectReport(
        [] {
            std::istringstream in("12000 0");
            GPSws g;
            in >> g;
        },
        "WEEK not valid", "stream input");
}

TEST(GPSwsValidityDeathTest, InvalidValuesEndTheProcessWithStatusOne) {
    EXPECT_EXIT(GPSws(12000, 0), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(GPSws(0, 604800), testing::ExitedWithCode(1), "");
}

TEST(GPSwsQueries, DayOfWeekAndSecondsOfDay) {
    EXPECT_EQ(GPSws(5, 86399.9L).GetWeekDay(), 0);
    EXPECT_EQ(GPSws(5, 86400).GetWeekDay(), 1);
    EXPECT_EQ(GPSws(5, 604799.9L).GetWeekDay(), 6);
    EXPECT_EQ(GPSws(5, 90000).GetDaySecond(), 3600.0L);
    EXPECT_EQ(GPSws(5, 0).GetDaySecond(), 0.0L);
}

TEST(GPSwsAddSeconds, BorrowsAndCarriesWholeWeeks) {
    GPSws g(5, 3);
    g += -10.0L;
    EXPECT_EQ(WS(g), WS(4, 604793));

    g.Set(5, 0);
    g += 2 * 604800.0L + 7;
    EXPECT_EQ(WS(g), WS(7, 7));

    g.Set(5, 100);
    g += -(3 * 604800.0L + 50);
    EXPECT_EQ(WS(g), WS(2, 50));

    // Fault: a positive step left the seconds of week at 604800 or more.
    g.Set(5, 604790);
    g += 20.0L;
    EXPECT_EQ(WS(g), WS(6, 10));
    g.Set(5, 604799.5L);
    g += 0.5L;
    EXPECT_EQ(WS(g), WS(6, 0));
    g.Set(5, 604000);
    g += 604800.0L + 1000;
    EXPECT_EQ(WS(g), WS(7, 200));
}

TEST(GPSwsAddSeconds, TheSixteenBitWeekCountWrapsBelowZeroAndSaturatesAbove) {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(WS(Wrapped()), WS(65535, 604799));
    GPSws g(5, 0);
    g += -10 * 604800.0L;
    EXPECT_EQ(WS(g), WS(65531, 0));

    // Fault: week counts past 16 bits were converted without a range check.
    g.Set(11999, 0);
    g += 60000 * 604800.0L;
    EXPECT_EQ(WS(g), WS(65535, 0));
    g.Set(0, 0);
    g += 65536 * 604800.0L;
    EXPECT_EQ(WS(g), WS(65535, 0));
    g.Set(100, 5);
    g += inf;
    EXPECT_EQ(WS(g), WS(65535, 0));
    g.Set(100, 5);
    g += -inf;
    EXPECT_EQ(WS(g), WS(0, 0));
    g.Set(100, 5);
    g += -1e300L;
    EXPECT_EQ(WS(g), WS(0, 0));
    g.Set(100, 5);
    g += std::nanl("");
    EXPECT_EQ(WS(g), WS(100, 5));
}

TEST(GPSwsAddWeeks, SixteenBitWeekArithmetic) {
    GPSws g(5, 10);
    g += std::uint16_t{3};
    EXPECT_EQ(WS(g), WS(8, 10));
    GPSws w = Wrapped();
    w += std::uint16_t{1};
    EXPECT_EQ(WS(w), WS(0, 604799));
}

TEST_F(GPSwsPrint, WeekAndSecondLayouts) {
    std::ostringstream s;
    s.fill('*');
    s << GPSws(2086, 302400) << std::setw(2) << 1;
    EXPECT_EQ(s.str(), "*2086*302400.0 1");
    EXPECT_TRUE(s.flags() & std::ios::fixed);
    EXPECT_EQ(Print(GPSws(2086, 302400)), " 2086 302400.0");

    gpswsns::PrintFormat = gpswsns::GPSWDS;
    EXPECT_EQ(Print(GPSws(2086, 90000)), " 2086 1  3600.0");

    gpswsns::PrintFormat = gpswsns::SP3;
    EXPECT_EQ(Print(GPSws(2086, 302400)), " 2086 302400.00000000");

    gpswsns::PrintFormat = 5;
    std::ostringstream none;
    none << GPSws(2086, 302400);
    EXPECT_EQ(none.str(), "");
    EXPECT_FALSE(none.flags() & std::ios::fixed);
}

TEST_F(GPSwsPrint, ClockAndDayLayouts) {
    gpswsns::PrintFormat = gpswsns::GPSWDHMS;
    std::ostringstream s;
    s << GPSws(2086, 3723.5L);
    EXPECT_EQ(s.str(), " 2086 0  01:02:03.5");
    EXPECT_EQ(s.fill(), ' ');
    // Without a carry, a second within rounding of 60 prints as 60.
    EXPECT_EQ(Print(GPSws(2086, 3599.99999999999L)), " 2086 0  00:59:60.0");
    EXPECT_EQ(Print(GPSws(2086, 5 * 86400 + 45296)), " 2086 5  12:34:56.0");

    gpswsns::PrintFormat = gpswsns::GPSWD;
    std::ostringstream d;
    d << GPSws(2086, 302400);
    EXPECT_EQ(d.str(), " 2086 3");
    EXPECT_FALSE(d.flags() & std::ios::fixed);
    EXPECT_EQ(d.fill(), ' ');
    EXPECT_EQ(Print(GPSws(5, 0)), " 0005 0");
}
