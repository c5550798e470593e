// Readers of option values: number runs and single separators, the angle
// notations of positions, fixed date positions and the "%d:%d:%Lf" step.
#include <gtest/gtest.h>

#include <string>

#include "GNSS/flh.h"
#include "GNSS/neu.h"
#include "GNSS/xyz.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ParseArgument.h"
#include "funkcije/KotnePretvorbe.h"
#include "support/capture.h"
#include "support/close.h"

using testsupport::Capture;

namespace {

xyz ReadXYZ(const std::string& arg) {
    xyz v(-9, -9, -9);
    ParseXYZ(arg.c_str(), v, 3);
    return v;
}

TEST(NumberFields, RunsOfDigitsPointsAndMinusSeparatedByAnyOneCharacter) {
    EXPECT_VECTOR_CLOSE("commas", ReadXYZ("-px1,2,3"), 1, 2, 3, 0);
    EXPECT_VECTOR_CLOSE("semicolon and blank", ReadXYZ("-px4252544;1100000 4500000"), 4252544,
                        1100000, 4500000, 0);
    EXPECT_VECTOR_CLOSE("empty middle field", ReadXYZ("-px1,,3"), 1, 0, 3, 0);
    EXPECT_VECTOR_CLOSE("missing fields", ReadXYZ("-px7"), 7, 0, 0, 0);
    EXPECT_VECTOR_CLOSE("nothing", ReadXYZ("-px"), 0, 0, 0, 0);
    EXPECT_VECTOR_CLOSE("signs and fractions", ReadXYZ("-px-1.5,.25,-0.125"), -1.5, 0.25, -0.125,
                        0);
}

TEST(NumberFields, OnlyTheLeadingWellFormedNumberOfARunCounts) {
    // "1-2" is one run read as 1; an exponent letter ends a run, so "1e6"
    // gives 1 and then 6 as the next field.
    EXPECT_VECTOR_CLOSE("run with inner minus", ReadXYZ("-px1-2,5,6"), 1, 5, 6, 0);
    EXPECT_VECTOR_CLOSE("exponent", ReadXYZ("-px1e6,7"), 1, 6, 7, 0);
    EXPECT_VECTOR_CLOSE("plus sign ends a run", ReadXYZ("-px+5,7,8"), 0, 5, 7, 0);
    EXPECT_VECTOR_CLOSE("two separators", ReadXYZ("-px1,,,4"), 1, 0, 0, 0);
}

TEST(NumberFields, AnOverLongRunIsConvertedFromItsFirst49Characters) {
    const std::string run(60, '9');
    const xyz v = ReadXYZ("-px" + run + ",2,3");
    // 49 nines: 1e49 - 1, which as a double is 1e49.
    EXPECT_EQ(v.GetX(), static_cast<long double>(1e49));
    EXPECT_EQ(v.GetY(), 2);
    EXPECT_EQ(v.GetZ(), 3);
}

TEST(NumberFields, NorthEastUpReadLikeCartesian) {
    neu n;
    ParseNEU("-xx0.01,-0.02,0.3", n, 3);
    EXPECT_EQ(n.GetN(), static_cast<long double>(0.01));
    EXPECT_EQ(n.GetE(), static_cast<long double>(-0.02));
    EXPECT_EQ(n.GetU(), static_cast<long double>(0.3));
}

class Positions : public testing::Test {
  protected:
    void TearDown() override { flhns::Unit = saved_; }
    flh Read(unsigned short unit, const std::string& arg) {
        flhns::Unit = unit;
        flh p;
        p.Set(-7, -7, -7);
        ParseFLH(arg.c_str(), p, 3);
        return p;
    }
    unsigned short saved_ = flhns::Unit;
};

TEST_F(Positions, EachNotationConvertsBothAnglesAndKeepsTheHeightInMetres) {
    const flh r = Read(flhns::RAD, "-pr0.8958,0.2266,100.1");
    EXPECT_EQ(r.GetF(), static_cast<long double>(0.8958));
    EXPECT_EQ(r.GetL(), static_cast<long double>(0.2266));
    EXPECT_EQ(r.GetH(), static_cast<long double>(100.1));

    const flh d = Read(flhns::DEG, "-pc47.8958,14.4766,100.1");
    EXPECT_EQ(d.GetF(), deg2rad(static_cast<long double>(47.8958)));
    EXPECT_EQ(d.GetL(), deg2rad(static_cast<long double>(14.4766)));

    const flh g = Read(flhns::GON, "-pg100,-50,0");
    // Gon to radians with pi the double 3.141592653589793.
    const long double pi = 3.141592653589793;
    EXPECT_CLOSE(g.GetF(), pi / 2, 1e-18L);
    EXPECT_CLOSE(g.GetL(), -pi / 4, 1e-18L);
}

TEST_F(Positions, PackedDegreesMinutesSecondsWithTheSignOnTheWholeAngle) {
    const long double pi = 3.141592653589793;
    // The packed values are read as doubles, whose seconds lie up to about
    // 4e-11 arc-seconds (2e-16 rad) from the whole second typed.
    const flh p = Read(flhns::DMS, "-pd47.5823,-14.3255,100.1");
    EXPECT_CLOSE(p.GetF(), (47 + 58 / 60.0L + 23 / 3600.0L) * pi / 180, 5e-16L);
    EXPECT_CLOSE(p.GetL(), -(14 + 32 / 60.0L + 55 / 3600.0L) * pi / 180, 5e-16L);
    EXPECT_EQ(p.GetH(), static_cast<long double>(100.1));
    // 46.3 is 46 degrees 30 minutes, though the double just below the minute
    // holds it.
    EXPECT_CLOSE(Read(flhns::DMS, "-pd46.3,0,0").GetF(), 46.5L * pi / 180, 1e-17L);
}

TEST_F(Positions, NotationsWithoutAnInputFormLeaveThePositionUnchanged) {
    for (unsigned short unit :
         {static_cast<unsigned short>(flhns::DMSV), static_cast<unsigned short>(flhns::SINEX),
          static_cast<unsigned short>(9)}) {
        const flh p = Read(unit, "-pd1,2,3");
        EXPECT_EQ(p.GetF(), -7);
        EXPECT_EQ(p.GetL(), -7);
        EXPECT_EQ(p.GetH(), -7);
    }
}

std::string DateText(const ymdhms& d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u-%u-%u %u:%u:%.3Lf", d.GetYear(), d.GetMonth(), d.GetDay(),
                  d.GetHour(), d.GetMinute(), d.GetSecond());
    return buf;
}

TEST(Dates, FieldsAreReadByPositionWhateverTheSeparators) {
    ymdhms d;
    ParseDate("-e12019-01-17/12:30:15.5", d, 3);
    EXPECT_EQ(DateText(d), "2019-1-17 12:30:15.500");
    ParseDate("-e12019x01y17z12a30b15.25", d, 3);
    EXPECT_EQ(DateText(d), "2019-1-17 12:30:15.250");
    // A one-digit month shifts every later field, without a message.
    ParseDate("-e12019-1-17/12:00:00", d, 3);
    EXPECT_EQ(DateText(d), "2019-1-7 2:0:0.000");
    // Time fields beyond the end of the text read as 0.
    ParseDate("-e12019-01-17", d, 3);
    EXPECT_EQ(DateText(d), "2019-1-17 0:0:0.000");
    ParseYMD("-e12020-02-29", d, 3);
    EXPECT_EQ(DateText(d), "2020-2-29 0:0:0.000");
}

TEST(Dates, SecondsAreReadFromAtMostNineCharacters) {
    ymdhms d;
    ParseDate("-e12019-01-17/00:00:12.3456789999", d, 3);
    EXPECT_EQ(d.GetSecond(), static_cast<long double>(12.345678));
}

TEST(Dates, AnInvalidFieldEndsWithTheCalendarReportOfTheFirstBadField) {
    const struct {
        const char* arg;
        const char* message;
    } cases[] = {
        {"-e12019-13-01/00:00:00", "MONTH not valid"},
        {"-e12019-02-29/00:00:00", "DAY not valid"},
        {"-e1", "YEAR not valid"},
        {"-e12019-01-17/60:00:00", "HOUR not valid"},
    };
    for (const auto& c : cases) {
        ymdhms d;
        const auto o = Capture([&] { ParseDate(c.arg, d, 3); });
        EXPECT_TRUE(o.exited) << c.arg;
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, std::string("\n**** ymdhms: Error -> ") + c.message +
                             " ****\n     Exiting class ymdhms ... \n");
    }
}

TEST(Steps, HoursMinutesSecondsWithSignsPerFieldAndMissingFieldsZero) {
    EXPECT_EQ(ParseHMS("-ed01:00:00", 3), 3600);
    EXPECT_EQ(ParseHMS("-ed00:00:30.5", 3), 30.5);
    EXPECT_EQ(ParseHMS("-ed2", 3), 7200);
    EXPECT_EQ(ParseHMS("-ed-1:00:00", 3), -3600);
    EXPECT_EQ(ParseHMS("-ed0:0:-5", 3), -5);
    EXPECT_EQ(ParseHMS("-ed1:-30", 3), 1800);
    EXPECT_EQ(ParseHMS("-ed", 3), 0);
    EXPECT_EQ(ParseHMS("-edabc", 3), 0);
    EXPECT_EQ(ParseHMS("-ed1:x:5", 3), 3600);  // reading stops at the first mismatch
    EXPECT_EQ(ParseHMS("-ed0:0:0.1", 3), static_cast<long double>(0.1L));
}

TEST(Steps, WholeNumbersBeyondIntKeepTheirLow32Bits) {
    EXPECT_EQ(ParseHMS("-ed4294967297", 3), 3600);  // 2^32 + 1 -> 1 hour
    EXPECT_EQ(ParseHMS("-ed4234430175", 3), -60537121.0L * 3600);
    EXPECT_EQ(ParseHMS("-ed0:99999999999999999999", 3), -60);  // held at LONG_MAX -> -1
}

TEST(Steps, WholeFieldsBeyondIntAreReported) {
    // Fault guarded: hours or minutes beyond int wrapped to some other step
    // without a word (2147483648 h read as -7.7e12 s).
    const struct {
        const char* arg;
        bool fit;
    } cases[] = {
        {"-ed2147483647:0:0", true},       {"-ed2147483648:0:0", false},
        {"-ed-2147483648:0:0", true},      {"-ed-2147483649:0:0", false},
        {"-ed0:2147483647", true},         {"-ed0:2147483648", false},
        {"-ed0:-2147483649:0", false},     {"-ed9999999999", false},
        {"-ed0:0:99999999999", true},       // the seconds are no int
        {"-ed1:x:99999999999", true},       // reading stops before the last field
        {"-ed00000000000000000001", true},  // leading zeros
    };
    for (const auto& c : cases) {
        bool fit = !c.fit;
        ParseHMS(c.arg, 3, fit);
        EXPECT_EQ(fit, c.fit) << c.arg;
    }
    // Where the fields fit, the span is the one ParseHMS gives.
    bool fit = false;
    EXPECT_EQ(ParseHMS("-ed2147483647:0:0", 3, fit), 2147483647.0L * 3600);
    EXPECT_EQ(ParseHMS("-ed-1:30:15.5", 3, fit), -3600 + 1800 + 15.5L);
    EXPECT_TRUE(fit);
}

TEST(Steps, TheValueIsReadFromItsFirst31Characters) {
    // 0:0: and 27 sevens: the rest of the digits are not read.
    const std::string sevens(100, '7');
    const long double s = ParseHMS(("-ed0:0:" + sevens).c_str(), 3);
    EXPECT_CLOSE(s, 7.77777777777777777777777777e26L, 1e9L);
}

}  // namespace
