// Conversions between calendar epochs, Modified Julian Dates and GPS weeks,
// the seconds-of-day splitter and the leap-second table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

#include "GNSS/TimeConverse.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

// An independent Gregorian calendar: dates are stepped one day at a time.
struct Date {
    int y;
    int m;
    int d;
};

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int MonthLength(int y, int m) {
    static const int len[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : len[m - 1];
}

Date Next(Date t) {
    if (++t.d > MonthLength(t.y, t.m)) {
        t.d = 1;
        if (++t.m > 12) {
            t.m = 1;
            ++t.y;
        }
    }
    return t;
}

// Modified Julian Day of a date counted as whole years and months from
// 2000-01-01, Modified Julian Day 51544 (a different count from the stepping
// above).
std::int64_t DaysFrom2000(int y, int m, int d) {
    std::int64_t n = 51544;
    for (int k = 2000; k < y; ++k) n += IsLeap(k) ? 366 : 365;
    for (int k = 1; k < m; ++k) n += MonthLength(y, k);
    return n + d - 1;
}

std::string DS(const mjd& e) {
    std::ostringstream s;
    s.precision(21);
    s << e.GetMJDay() << " " << e.GetSecond();
    return s.str();
}

std::string DS(std::uint32_t d, long double sec) {
    std::ostringstream s;
    s.precision(21);
    s << d << " " << sec;
    return s.str();
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

std::string F(const ymdhms& e) {
    std::ostringstream s;
    s.precision(21);
    s << e.GetYear() << "-" << e.GetMonth() << "-" << e.GetDay() << " " << e.GetHour() << ":"
      << e.GetMinute() << ":" << e.GetSecond();
    return s.str();
}

std::string F(int y, int mo, int d, int h, int mi, long double sec) {
    std::ostringstream s;
    s.precision(21);
    s << y << "-" << mo << "-" << d << " " << h << ":" << mi << ":" << sec;
    return s.str();
}

std::string ClassReport(const char* cls, const char* text) {
    return std::string("\n**** ") + cls + ": Error -> " + text + " ****\n     Exiting class " +
           cls + " ... \n";
}

void ExpectReport(const std::function<void()>& f, const char* cls, const char* text,
                  const char* what) {
    auto o = Capture(f);
    EXPECT_TRUE(o.exited) << what;
    EXPECT_EQ(o.status, 1) << what;
    EXPECT_EQ(o.out, ClassReport(cls, text)) << what;
}

}  // namespace

TEST(LeapYearRule, GregorianYearsAboveZero) {
    EXPECT_EQ(LeapYear(2000), 1);
    EXPECT_EQ(LeapYear(2020), 1);
    EXPECT_EQ(LeapYear(1904), 1);
    EXPECT_EQ(LeapYear(1900), 0);
    EXPECT_EQ(LeapYear(2100), 0);
    EXPECT_EQ(LeapYear(2019), 0);
    EXPECT_EQ(LeapYear(0), 0);
    EXPECT_EQ(LeapYear(-4), 0);
    EXPECT_EQ(LeapYear(-400), 0);
}

TEST(CalendarToMjd, WorkedExamplesAndTheEndOfDayRounding) {
    EXPECT_EQ(DS(ymdhms2mjd(ymdhms(2000, 1, 1, 12, 0, 0))), DS(51544, 43200));
    EXPECT_EQ(DS(ymdhms2mjd(ymdhms(1980, 1, 6, 0, 0, 0))), DS(44244, 0));
    EXPECT_EQ(DS(ymdhms2mjd(ymdhms(2020, 2, 29, 0, 0, 0))), DS(58908, 0));
    EXPECT_EQ(DS(ymdhms2mjd(ymdhms(1901, 1, 1, 0, 0, 0))), DS(15385, 0));
    EXPECT_EQ(DS(ymdhms2mjd(ymdhms(2020, 1, 1, 23, 59, 59.99999999999L))), DS(58850, 0));
    // The calendar class takes hours to 59: 24:00:00 is the next day.
    EXPECT_EQ(DS(ymdhms2mjd(ymdhms(2020, 1, 1, 24, 0, 0))), DS(58850, 0));
    ExpectReport([] { ymdhms2mjd(ymdhms(2020, 1, 1, 24, 0, 1)); }, "mjd", "SECOND not valid",
                 "24:00:01");
}

TEST(MjdToCalendar, WorkedExamples) {
    const ymdhms t = mjd2ymdhms(mjd(58849, 3723.5L));
    EXPECT_EQ(F(ymdhms(t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute(), 0)),
              F(2020, 1, 1, 1, 2, 0));
    EXPECT_NEAR(static_cast<double>(t.GetSecond()), 3.5, 1e-12);
    EXPECT_EQ(F(mjd2ymdhms(mjd(58908, 0))), F(2020, 2, 29, 0, 0, 0));
    EXPECT_EQ(F(mjd2ymdhms(mjd(58909, 0))), F(2020, 3, 1, 0, 0, 0));
    EXPECT_EQ(DS(ymdhms2mjd(mjd2ymdhms(mjd(51544, 0)))), DS(51544, 0));
    EXPECT_EQ(F(mjd2ymdhms(mjd(58849, 86399.99999999999L))), F(2020, 1, 1, 24, 0, 0));
}

TEST(CalendarRoundTrip, EveryDayFrom1901To2199) {
    // Fault: 2101-2199 came out one day late, since the four-year cycle
    // counted a leap day in 2100.
    // A wrong result may also be one that a class rejects, so the loop runs
    // inside the capture of the exit seam.
    Date t{1901, 1, 1};
    std::uint32_t D = 15385;
    int bad = 0;
    auto run = Capture([&] {
        for (; t.y < 2200; t = Next(t), ++D) {
            const mjd there = ymdhms2mjd(ymdhms(t.y, t.m, t.d, 0, 0, 0));
            const ymdhms back = mjd2ymdhms(mjd(D, 0));
            if (there.GetMJDay() != D || there.GetSecond() != 0 ||
                F(back) != F(t.y, t.m, t.d, 0, 0, 0)) {
                if (++bad < 5) {
                    ADD_FAILURE() << t.y << "-" << t.m << "-" << t.d << " day " << D << ": to mjd "
                                  << DS(there) << ", back " << F(back);
                }
            }
            if (t.y == 2000 && t.m == 1 && t.d == 1) {
                EXPECT_EQ(D, 51544u);
            }
        }
    });
    EXPECT_FALSE(run.exited) << t.y << "-" << t.m << "-" << t.d << run.out;
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(D, 124593u);  // 2200-01-01: 88434 + 99 * 365 + 24 leap days (2104..2196)
    ExpectReport([] { mjd2ymdhms(mjd(124593, 0)); }, "ymdhms", "YEAR not valid", "2200");
}

TEST(CalendarRoundTrip, TwentySecondCenturyAgainstACountFrom2000) {
    // 2000-01-01 + 36890 days (101 years with the 25 leap days 2000..2096).
    EXPECT_EQ(DaysFrom2000(2101, 1, 1), 88434);
    const Date dates[] = {{2100, 2, 28}, {2100, 3, 1},  {2100, 12, 31}, {2101, 1, 1},
                          {2101, 3, 1},  {2150, 6, 15}, {2196, 2, 29},  {2199, 12, 31}};
    for (const Date& t : dates) {
        const std::int64_t n = DaysFrom2000(t.y, t.m, t.d);
        EXPECT_EQ(static_cast<std::int64_t>(ymdhms2mjd(ymdhms(t.y, t.m, t.d, 6, 0, 0)).GetMJDay()),
                  n)
            << t.y << "-" << t.m << "-" << t.d;
        EXPECT_EQ(F(mjd2ymdhms(mjd(static_cast<std::uint32_t>(n), 21600))),
                  F(t.y, t.m, t.d, 6, 0, 0));
    }
}

TEST(MjdToCalendar, DaysBefore1901AreRejectedWithoutLeavingTheTables) {
    ExpectReport([] { mjd2ymdhms(mjd(15384, 0)); }, "ymdhms", "DAY not valid", "1900-12-31");
    // Fault: this day guessed month -11 and read before the month table.
    ExpectReport([] { mjd2ymdhms(mjd(15021, 0)); }, "ymdhms", "DAY not valid", "day 15021");
    ExpectReport([] { mjd2ymdhms(mjd(0, 0)); }, "ymdhms", "YEAR not valid", "day 0");
}

TEST(GpsConversions, WorkedExamples) {
    EXPECT_EQ(WS(mjd2GPSws(mjd(44244, 0))), WS(0, 0));
    EXPECT_EQ(WS(mjd2GPSws(mjd(58849, 43200))), WS(2086, 302400));
    EXPECT_EQ(DS(GPSws2mjd(GPSws(2086, 302400))), DS(58849, 43200));
    EXPECT_EQ(DS(GPSws2mjd(GPSws(0, 0))), DS(44244, 0));
    // 2020-01-01 is the Wednesday of week 2086.
    EXPECT_EQ(WS(ymdhms2GPSws(ymdhms(2020, 1, 1, 12, 0, 0))), WS(2086, 302400));
    EXPECT_EQ(F(GPSws2ymdhms(GPSws(2086, 302400))), F(2020, 1, 1, 12, 0, 0));
    EXPECT_EQ(WS(ymdhms2GPSws(ymdhms(1980, 1, 6, 0, 0, 0))), WS(0, 0));

    // Week 2086 starts on Sunday 2019-12-29; a second within 1e-5 of 60 carries.
    EXPECT_EQ(F(GPSws2ymdhms(GPSws(2086, 59.999999L))), F(2019, 12, 29, 0, 1, 0));
    EXPECT_EQ(F(GPSws2ymdhms(GPSws(2086, 3599.999999L))), F(2019, 12, 29, 1, 0, 0));
    const ymdhms t = GPSws2ymdhms(GPSws(2086, 59.99L));
    EXPECT_EQ(t.GetMinute(), 0);
    EXPECT_NEAR(static_cast<double>(t.GetSecond()), 59.99, 1e-9);
}

TEST(GpsConversions, ResultsOutsideTheWeekRangeAreRejected) {
    ExpectReport([] { ymdhms2GPSws(ymdhms(1980, 1, 5, 0, 0, 0)); }, "GPSws", "SECOND not valid",
                 "one day before");
    ExpectReport([] { ymdhms2GPSws(ymdhms(1979, 12, 31, 0, 0, 0)); }, "GPSws", "SECOND not valid",
                 "six days before");
    ExpectReport([] { ymdhms2GPSws(ymdhms(1979, 12, 30, 0, 0, 0)); }, "GPSws", "WEEK not valid",
                 "seven days before");
    ExpectReport([] { mjd2GPSws(mjd(44243, 0)); }, "GPSws", "SECOND not valid", "mjd day before");
    // Fault: the 16-bit day offset wrapped to week 0 from day 44244 + 65536.
    EXPECT_EQ(DaysFrom2000(2159, 6, 12), 109780);
    EXPECT_EQ(WS(mjd2GPSws(mjd(109780, 0))), WS(9362, 2 * 86400));  // 65536 = 7 * 9362 + 2
    EXPECT_EQ(WS(mjd2GPSws(mjd(109779, 0))), WS(9362, 86400));
    // Past week 11999 (day 44244 + 7 * 12000) the week is rejected.
    ExpectReport([] { mjd2GPSws(mjd(128244, 0)); }, "GPSws", "WEEK not valid", "week 12000");
    EXPECT_EQ(WS(mjd2GPSws(mjd(128243, 86399))), WS(11999, 604799));
}

TEST(GpsConversions, EveryDayFromTheGpsEpochTo2199) {
    // Fault: GPS weeks after 2100 met the calendar one day late.
    // Fault: mjd2GPSws wrapped the 16-bit day offset from 2159-06-12 on.
    Date t{1980, 1, 6};
    std::int64_t D = 44244;
    int bad = 0;
    auto run = Capture([&] {
        for (; t.y < 2200; t = Next(t), ++D) {
            const int w = static_cast<int>((D - 44244) / 7);
            const long double sow = ((D - 44244) % 7) * 86400.0L + 43200;
            const ymdhms noon(t.y, t.m, t.d, 12, 0, 0);
            const GPSws g = ymdhms2GPSws(noon);
            const ymdhms back = GPSws2ymdhms(GPSws(w, sow));
            const GPSws fromDay = mjd2GPSws(mjd(static_cast<std::uint32_t>(D), 43200));
            const mjd toDay = GPSws2mjd(GPSws(w, sow));
            if (WS(g) != WS(w, sow) || F(back) != F(noon) || WS(fromDay) != WS(w, sow) ||
                DS(toDay) != DS(static_cast<std::uint32_t>(D), 43200)) {
                if (++bad < 5) {
                    ADD_FAILURE() << F(noon) << ": " << WS(g) << " / " << F(back) << " / "
                                  << WS(fromDay) << " / " << DS(toDay);
                }
            }
        }
    });
    EXPECT_FALSE(run.exited) << t.y << "-" << t.m << "-" << t.d << run.out;
    EXPECT_EQ(bad, 0);
}

TEST(SplitSecondsOfDay, CarriesAndSaturation) {
    std::uint16_t h = 99;
    std::uint16_t m = 99;
    long double s = -1;
    Sec2HMS(3723.5L, h, m, s);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(m, 2);
    EXPECT_NEAR(static_cast<double>(s), 3.5, 1e-12);
    Sec2HMS(59.99999999999L, h, m, s);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(s, 0.0L);
    Sec2HMS(86399.99999999999L, h, m, s);  // hour 24: no carry into a day
    EXPECT_EQ(h, 24);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 0.0L);
    Sec2HMS(0, h, m, s);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 0.0L);

    // Fault: odd inputs were converted to 16-bit integers without a range check.
    Sec2HMS(std::nanl(""), h, m, s);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 0);
    Sec2HMS(1e30L, h, m, s);
    EXPECT_EQ(h, 65535);
    Sec2HMS(-std::numeric_limits<long double>::infinity(), h, m, s);
    EXPECT_EQ(h, 0);
}

TEST(LeapSeconds, TableAndBoundaries) {
    // GPS - UTC from each first day, typed here from the published table.
    const std::int32_t expected[28][2] = {
        {-9, 41317}, {-8, 41499}, {-7, 41683}, {-6, 42048}, {-5, 42413}, {-4, 42778}, {-3, 43144},
        {-2, 43509}, {-1, 43874}, {0, 44239},  {1, 44786},  {2, 45151},  {3, 45516},  {4, 46247},
        {5, 47161},  {6, 47892},  {7, 48257},  {8, 48804},  {9, 49169},  {10, 49534}, {11, 50083},
        {12, 50630}, {13, 51179}, {14, 53736}, {15, 54832}, {16, 56109}, {17, 57204}, {18, 57754}};
    ASSERT_EQ(nls, 28);
    for (int i = 0; i < nls; ++i) {
        EXPECT_EQ(tls[i][0], expected[i][0]) << i;
        EXPECT_EQ(tls[i][1], expected[i][1]) << i;
        const std::uint32_t first = static_cast<std::uint32_t>(expected[i][1]);
        EXPECT_EQ(LeapSecond(mjd(first, 0)), expected[i][0]) << first;
        EXPECT_EQ(LeapSecond(mjd(first - 1, 86399.9L)), i == 0 ? -9 : expected[i - 1][0])
            << first - 1;
    }

    EXPECT_EQ(LeapSecond(mjd(41316, 0)), -9);
    EXPECT_EQ(LeapSecond(mjd(41317, 0)), -9);
    EXPECT_EQ(LeapSecond(mjd(44238, 0)), -1);
    EXPECT_EQ(LeapSecond(mjd(44239, 0)), 0);
    EXPECT_EQ(LeapSecond(mjd(57753, 0)), 17);
    EXPECT_EQ(LeapSecond(mjd(57753, 86399.9L)), 17);
    EXPECT_EQ(LeapSecond(mjd(57754, 0)), 18);
    EXPECT_EQ(LeapSecond(mjd(199999, 0)), 18);
    EXPECT_EQ(LeapSecond(mjd(0, 0)), -9);
    EXPECT_EQ(LeapSecond(mjd(51544, 43200)), 13);
    EXPECT_EQ(LeapSecond(mjd(60000, 0)), 18);
}

TEST(ConversionsDeathTest, OutOfRangeResultsEndTheProcessWithStatusOne) {
    EXPECT_EXIT(ymdhms2mjd(ymdhms(2020, 1, 1, 24, 0, 1)), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(mjd2ymdhms(mjd(124593, 0)), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(ymdhms2GPSws(ymdhms(1979, 12, 30, 0, 0, 0)), testing::ExitedWithCode(1), "");
}
