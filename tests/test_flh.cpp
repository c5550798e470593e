// Geodetic positions flh and flht: the angle checks and their reports, the
// operations that check, and every notation of writing and reading.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

#include "GNSS/flh.h"
#include "GNSS/flht.h"
#include "support/capture.h"
#include "support/close.h"

using testsupport::Capture;

namespace {

const long double kPi = 3.141592653589793;

// Radians of degrees, minutes and seconds, computed apart from the code under
// test.
long double Rad(long double d, long double m, long double s) {
    return (d + m / 60 + s / 3600) * kPi / 180;
}

const char kFlhLatitude[] =
    "\n**** flh: Error -> LATITUDE not valid ****\n     Exiting class flh ... \n";
const char kFlhLongitude[] =
    "\n**** flh: Error -> LONGITUDE not valid ****\n     Exiting class flh ... \n";
const char kFlhtLatitude[] =
    "\n**** flht: Error -> LATITUDE not valid ****\n     Exiting class flht ... \n";
const char kFlhtLongitude[] =
    "\n**** flht: Error -> LONGITUDE not valid ****\n     Exiting class flht ... \n";

// Keeps the process-wide print settings of both classes as a test found them.
class Notation : public testing::Test {
  protected:
    void SetUp() override {
        flh_ = {flhns::NDecFL, flhns::NDecH, flhns::WidthFL, flhns::WidthH, flhns::Unit};
        flht_ = {flhtns::NDecFL, flhtns::NDecH,  flhtns::WidthFL, flhtns::WidthH,
                 flhtns::NDecT,  flhtns::WidthT, flhtns::UnitT,   flhtns::Unit};
    }
    void TearDown() override {
        flhns::NDecFL = flh_[0];
        flhns::NDecH = flh_[1];
        flhns::WidthFL = flh_[2];
        flhns::WidthH = flh_[3];
        flhns::Unit = flh_[4];
        flhtns::NDecFL = flht_[0];
        flhtns::NDecH = flht_[1];
        flhtns::WidthFL = flht_[2];
        flhtns::WidthH = flht_[3];
        flhtns::NDecT = flht_[4];
        flhtns::WidthT = flht_[5];
        flhtns::UnitT = flht_[6];
        flhtns::Unit = flht_[7];
    }

    static std::string Write(const flh& p) {
        std::ostringstream os;
        os << p;
        return os.str();
    }
    static std::string Write(const flht& p) {
        std::ostringstream os;
        os << p;
        return os.str();
    }

  private:
    std::array<std::uint16_t, 5> flh_{};
    std::array<std::uint16_t, 8> flht_{};
};

}  // namespace

TEST(FlhChecks, ValidPositionsPassAndKeepTheirValues) {
    auto o = Capture([] {
        flh p(0.8L, 0.25L, 300.0L);
        EXPECT_EQ(p.GetF(), 0.8L);
        EXPECT_EQ(p.GetL(), 0.25L);
        EXPECT_EQ(p.GetH(), 300.0L);
        // The bounds are inclusive and compare the raw numbers 90 and 180.
        flh corner(90.0L, -180.0L, -1e6L);
        flh other(-90.0L, 180.0L, 0.0L);
        flh degreesAsRadians(46.0L, 15.0L, 0.0L);
    });
    EXPECT_FALSE(o.exited);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(flh().GetF(), 0.0L);
    EXPECT_EQ(flh().GetL(), 0.0L);
    EXPECT_EQ(flh().GetH(), 0.0L);
}

TEST(FlhChecks, ReportsLatitudeFirstThenLongitude) {
    auto lat = Capture([] { flh p(91.0L, 0.0L, 0.0L); });
    EXPECT_TRUE(lat.exited);
    EXPECT_EQ(lat.status, 1);
    EXPECT_EQ(lat.out, kFlhLatitude);
    EXPECT_EQ(lat.err, "");

    auto lon = Capture([] { flh p(0.0L, 200.0L, 0.0L); });
    EXPECT_EQ(lon.status, 1);
    EXPECT_EQ(lon.out, kFlhLongitude);

    auto both = Capture([] { flh p(95.0L, 200.0L, 0.0L); });
    EXPECT_EQ(both.out, kFlhLatitude);

    EXPECT_EQ(Capture([] { flh p(-90.0000001L, 0.0L, 0.0L); }).out, kFlhLatitude);
    EXPECT_EQ(Capture([] { flh p(0.0L, -180.0000001L, 0.0L); }).out, kFlhLongitude);
    EXPECT_EQ(Capture([] { flh p(std::nan(""), 0.0L, 0.0L); }).out, kFlhLatitude);
    EXPECT_EQ(Capture([] { flh p(0.0L, std::nan(""), 0.0L); }).out, kFlhLongitude);
}

TEST(FlhChecks, WhichOperationsCheck) {
    // Set, the setters, the default constructor and reading never check.
    auto quiet = Capture([] {
        flh p;
        p.Set(500.0L, -500.0L, 1.0L);
        p.SetL(4.0L);
        p.SetF(100.0L);
        p.SetH(-7.0L);
        EXPECT_EQ(p.GetL(), 4.0L);
        EXPECT_EQ(p.GetF(), 100.0L);
        flh& same = p;
        p = same;  // assignment to itself copies nothing and checks nothing
        flhns::Unit = flhns::RAD;
        std::istringstream in("100 200 5");
        in >> p;
        EXPECT_EQ(p.GetF(), 100.0L);
    });
    EXPECT_FALSE(quiet.exited);
    EXPECT_EQ(quiet.out, "");

    flh bad;
    bad.Set(91.0L, 0.0L, 0.0L);
    EXPECT_EQ(Capture([&] { flh copy(bad); }).out, kFlhLatitude);
    EXPECT_EQ(Capture([&] {
                  flh p;
                  p = bad;
              }).out,
              kFlhLatitude);

    const flh sixty(60.0L, 100.0L, 0.0L);
    const flh forty(40.0L, 90.0L, 0.0L);
    EXPECT_EQ(Capture([&] {
                  flh p(sixty);
                  p += forty;
              }).out,
              kFlhLatitude);
    EXPECT_EQ(Capture([&] {
                  flh p(0.0L, -100.0L, 0.0L);
                  p -= forty;
              }).out,
              kFlhLongitude);
    EXPECT_EQ(Capture([&] { (void)(sixty + forty); }).out, kFlhLatitude);
    EXPECT_EQ(Capture([&] { (void)(flh(-60.0L, 0.0L, 0.0L) - forty); }).out, kFlhLatitude);
    // The copy of the left operand is checked, even when the result would pass.
    EXPECT_EQ(Capture([&] { (void)(bad - flh(10.0L, 0.0L, 0.0L)); }).out, kFlhLatitude);

    auto sum = Capture([&] {
        flh p = flh(0.5L, 1.0L, 10.0L) + flh(0.25L, -2.0L, 5.0L);
        EXPECT_EQ(p.GetF(), 0.75L);
        EXPECT_EQ(p.GetL(), -1.0L);
        EXPECT_EQ(p.GetH(), 15.0L);
        p -= flh(0.75L, -1.0L, 15.0L);
        EXPECT_EQ(p, flh());
    });
    EXPECT_FALSE(sum.exited);
}

TEST(FlhChecks, EqualityWithinOneHundredTrillionth) {
    const flh p(0.8L, 0.25L, 300.0L);
    EXPECT_TRUE(p == flh(0.8L + 5e-15L, 0.25L - 5e-15L, 300.0L + 5e-15L));
    EXPECT_FALSE(p == flh(0.8L + 2e-14L, 0.25L, 300.0L));
    EXPECT_FALSE(p == flh(0.8L, 0.25L - 2e-14L, 300.0L));
    EXPECT_FALSE(p == flh(0.8L, 0.25L, 300.0L + 1e-13L));
    EXPECT_TRUE(p != flh(0.8L, 0.25L, 301.0L));
    EXPECT_FALSE(p != flh(0.8L, 0.25L, 300.0L));
    flh q;
    q.Set(std::nan(""), 0.0L, 0.0L);
    const flh& same = q;
    EXPECT_TRUE(q == same);  // the same object, whatever it holds
    flh r;
    r.Set(std::nan(""), 0.0L, 0.0L);
    EXPECT_FALSE(q == r);
}

TEST(FlhChecksDeathTest, InvalidPositionsEndTheProcessWithStatusOne) {
    EXPECT_EXIT(flh(91.0L, 0.0L, 0.0L), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(flh(0.0L, 200.0L, 0.0L), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(flht(0.0L, 0.0L, 0.0L, 0.0L) + flht(100.0L, 0.0L, 0.0L, 0.0L),
                testing::ExitedWithCode(1), "");
}

TEST_F(Notation, FlhWritesEveryNotation) {
    const flh p(Rad(46, 30, 0), Rad(15, 15, 0), 300.1234L);
    flhns::Unit = flhns::RAD;
    EXPECT_EQ(Write(flh(0.8L, -0.25L, 300.1234L)), "  0.80000000 -0.25000000  300.1234");
    flhns::Unit = flhns::DEG;
    EXPECT_EQ(Write(p), " 46.50000000 15.25000000  300.1234");
    flhns::Unit = flhns::GON;
    EXPECT_EQ(Write(p), " 51.66666667 16.94444444  300.1234");
    flhns::Unit = flhns::DMS;
    EXPECT_EQ(Write(p), " 46.30000000 15.15000000  300.1234");
    flhns::Unit = flhns::DMSV;
    // The texts are longer than the 12-character field and written whole.
    EXPECT_EQ(Write(p), " 46 30  0.00000000 15 15  0.00000000  300.1234");
    EXPECT_EQ(Write(flh(Rad(46, 2, 54.321L), -Rad(14, 30, 0.5L), -12.5L)),
              " 46  2 54.32100000-14 30  0.50000000  -12.5000");
    EXPECT_EQ(Write(flh(-Rad(0, 30, 0), Rad(0, 0, 0), 0.0L)),
              " -0 30  0.00000000  0  0  0.00000000    0.0000");
}

TEST_F(Notation, FlhSinexIsLongitudeFirstInThirtyOneCharacters) {
    flhns::Unit = flhns::SINEX;
    const std::string a = Write(flh(Rad(46, 30, 0), Rad(15, 15, 0), 300.1234L));
    EXPECT_EQ(a, " 15 15  0.0  46 30  0.0   300.1");
    EXPECT_EQ(a.size(), 31u);
    const std::string b = Write(flh(-Rad(0, 30, 0), -Rad(12, 30, 0), 99999.94L));
    EXPECT_EQ(b, "-12 30  0.0  -0 30  0.0 99999.9");
    EXPECT_EQ(b.size(), 31u);
    // The global widths and decimals play no part.
    flhns::WidthFL = 30;
    flhns::NDecFL = 2;
    flhns::WidthH = 30;
    flhns::NDecH = 0;
    EXPECT_EQ(Write(flh(Rad(46, 30, 0), Rad(15, 15, 0), 300.1234L)), a);
}

TEST_F(Notation, FlhWidthsDecimalsAndTheFixedFlag) {
    flhns::Unit = flhns::DEG;
    flhns::WidthFL = 8;
    flhns::NDecFL = 3;
    flhns::WidthH = 6;
    flhns::NDecH = 1;
    std::ostringstream os;
    os << std::scientific;
    os << flh(Rad(46, 30, 0), -Rad(15, 15, 0), 300.1234L);
    EXPECT_EQ(os.str(), "  46.500 -15.250 300.1");
    EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
    // A value wider than its field is written whole.
    flhns::WidthFL = 2;
    EXPECT_EQ(Write(flh(Rad(46, 30, 0), 0.0L, 0.0L)), "46.5000.000   0.0");
}

TEST_F(Notation, FlhUnknownNotationWritesNothing) {
    for (std::uint16_t unit : {6, 7, 1000}) {
        flhns::Unit = unit;
        std::ostringstream os;
        os << flh(0.8L, 0.25L, 300.0L);
        EXPECT_EQ(os.str(), "") << unit;
        EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
    }
}

TEST_F(Notation, FlhReadsEveryNotation) {
    flh p;
    flhns::Unit = flhns::RAD;
    std::istringstream rad("0.8 -0.25 300");
    rad >> p;
    EXPECT_EQ(p.GetF(), 0.8L);
    EXPECT_EQ(p.GetL(), -0.25L);
    EXPECT_EQ(p.GetH(), 300.0L);

    flhns::Unit = flhns::DEG;
    std::istringstream deg("46.05 14.5 300");
    deg >> p;
    EXPECT_CLOSE(p.GetF(), 46.05L * kPi / 180, 1e-18L);
    EXPECT_CLOSE(p.GetF(), 0.80372, 1e-5L);
    EXPECT_CLOSE(p.GetL(), 0.25307, 1e-5L);
    EXPECT_EQ(p.GetH(), 300.0L);

    flhns::Unit = flhns::DMS;
    std::istringstream dms("46.3 -14.59 100.1");
    dms >> p;
    EXPECT_CLOSE(p.GetF(), Rad(46, 30, 0), 1e-18L);
    EXPECT_CLOSE(p.GetL(), -Rad(14, 59, 0), 1e-18L);
    EXPECT_EQ(p.GetH(), 100.1L);

    flhns::Unit = flhns::DMSV;
    std::istringstream dmsv("-45 30 0 0 30 0 12.5");
    dmsv >> p;
    EXPECT_CLOSE(p.GetF(), -Rad(45, 30, 0), 1e-18L);
    EXPECT_CLOSE(p.GetL(), Rad(0, 30, 0), 1e-18L);
    EXPECT_EQ(p.GetH(), 12.5L);
    std::istringstream seconds("46 2 54.321 -14 30 0.5 1");
    seconds >> p;
    EXPECT_CLOSE(p.GetF(), Rad(46, 2, 54.321L), 1e-16L);
    EXPECT_CLOSE(p.GetL(), -Rad(14, 30, 0.5L), 1e-16L);
}

TEST_F(Notation, FlhNotationsThatReadNothingLeaveStreamAndObject) {
    const std::uint16_t units[] = {flhns::GON, flhns::SINEX, 6, 100};
    for (std::uint16_t unit : units) {
        flhns::Unit = unit;
        flh p;
        p.Set(0.1L, 0.2L, 3.0L);
        std::istringstream in("51.5 16.9 300");
        in >> p;
        EXPECT_TRUE(in.good()) << unit;
        EXPECT_EQ(in.tellg(), 0) << unit;
        EXPECT_EQ(p.GetF(), 0.1L) << unit;
        EXPECT_EQ(p.GetL(), 0.2L) << unit;
        EXPECT_EQ(p.GetH(), 3.0L) << unit;
    }
}

TEST_F(Notation, FlhFailedReadLeavesTheObject) {
    flhns::Unit = flhns::DEG;
    flh p;
    p.Set(0.1L, 0.2L, 3.0L);
    std::istringstream in("46.05 abc 300");
    in >> p;
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(p.GetF(), 0.1L);
    EXPECT_EQ(p.GetH(), 3.0L);
    std::istringstream shortText("46.05 14.5");
    shortText >> p;
    EXPECT_TRUE(shortText.fail());
    EXPECT_EQ(p.GetL(), 0.2L);
}

TEST_F(Notation, FlhReadingInvertsWriting) {
    // Half a unit of the last written decimal, in radians, per notation.
    struct Case {
        std::uint16_t unit;
        long double tol;
    };
    const Case cases[] = {{flhns::RAD, 5e-9L},
                          {flhns::DEG, 5e-9L * kPi / 180},
                          {flhns::DMS, 5e-5L / 3600 * kPi / 180},
                          {flhns::DMSV, 5e-9L / 3600 * kPi / 180}};
    const flh positions[] = {flh(Rad(46, 2, 54.321L), Rad(14, 30, 0.5L), 300.1234L),
                             flh(-Rad(33, 51, 35.9L), -Rad(151, 12, 40.1L), -12.5L),
                             flh(Rad(89, 59, 59.99L), Rad(179, 59, 59.999L), 8848.8L)};
    for (const Case& c : cases) {
        flhns::Unit = c.unit;
        // With the initial width of 12 a longitude of three positive digits
        // fills its field and runs into the latitude before it; a wider field
        // keeps them apart.
        for (std::uint16_t width : {12, 21}) {
            flhns::WidthFL = width;
            for (const flh& p : positions) {
                if (width == 12 && p.GetL() > 100 * kPi / 180) continue;
                std::stringstream io;
                io << p;
                flh q;
                io >> q;
                EXPECT_FALSE(io.fail()) << c.unit << " '" << io.str() << "'";
                EXPECT_CLOSE(q.GetF(), p.GetF(), c.tol) << c.unit << " '" << io.str() << "'";
                EXPECT_CLOSE(q.GetL(), p.GetL(), c.tol) << c.unit << " '" << io.str() << "'";
                EXPECT_CLOSE(q.GetH(), p.GetH(), 5e-5L) << c.unit;
            }
        }
    }
}

TEST(FlhtChecks, SameBoundsWithItsOwnReport) {
    auto ok = Capture([] {
        flht p(0.8L, 0.25L, 300.0L, 12.5L);
        EXPECT_EQ(p.GetT(), 12.5L);
        flht q(p);
        q = p;
        q += flht(0.1L, 0.1L, 1.0L, 1.0L);
        EXPECT_EQ(q.GetT(), 13.5L);
        q -= flht(0.1L, 0.1L, 1.0L, 1.0L);
        EXPECT_EQ(q, p);
        q.Set(100.0L, 200.0L, 0.0L, 0.0L);
        q.SetF(-100.0L);
        q.SetL(-200.0L);
        q.SetT(4.0L);
        EXPECT_EQ(q.GetF(), -100.0L);
        EXPECT_EQ(q.GetT(), 4.0L);
    });
    EXPECT_FALSE(ok.exited);
    EXPECT_EQ(ok.out, "");

    auto lat = Capture([] { flht p(91.0L, 200.0L, 0.0L, 0.0L); });
    EXPECT_TRUE(lat.exited);
    EXPECT_EQ(lat.status, 1);
    EXPECT_EQ(lat.out, kFlhtLatitude);
    EXPECT_EQ(Capture([] { flht p(0.0L, -200.0L, 0.0L, 0.0L); }).out, kFlhtLongitude);
    flht bad;
    bad.Set(0.0L, 181.0L, 0.0L, 0.0L);
    EXPECT_EQ(Capture([&] { flht copy(bad); }).out, kFlhtLongitude);
    EXPECT_EQ(Capture([&] {
                  flht p;
                  p = bad;
              }).out,
              kFlhtLongitude);
    EXPECT_EQ(Capture([] {
                  flht p(50.0L, 0.0L, 0.0L, 0.0L);
                  p += flht(50.0L, 0.0L, 0.0L, 0.0L);
              }).out,
              kFlhtLatitude);
    EXPECT_EQ(Capture([] { (void)(flht(-50.0L, 0.0L, 0, 0) - flht(50.0L, 0.0L, 0, 0)); }).out,
              kFlhtLatitude);
}

TEST(FlhtChecks, EqualityCountsTheTimeValue) {
    const flht p(0.8L, 0.25L, 300.0L, 10.0L);
    EXPECT_TRUE(p == flht(0.8L, 0.25L, 300.0L, 10.0L + 5e-15L));
    EXPECT_FALSE(p == flht(0.8L, 0.25L, 300.0L, 10.0L + 1e-13L));
    EXPECT_TRUE(p != flht(0.8L, 0.25L, 300.0L, 11.0L));
}

TEST_F(Notation, FlhtWritesItsOwnNotationsAndTheTimeValue) {
    const flht p(Rad(46, 30, 0), Rad(15, 15, 0), 300.1234L, 12.5L);
    flhtns::Unit = flhtns::RAD;
    EXPECT_EQ(Write(flht(0.8L, 0.25L, 300.1234L, 12.5L)),
              "  0.80000000  0.25000000  300.1234   12.500000");
    flhtns::Unit = flhtns::DEG;
    EXPECT_EQ(Write(p), " 46.50000000 15.25000000  300.1234   12.500000");
    flhtns::Unit = flhtns::DMS;  // 2 here, gon for flh
    EXPECT_EQ(Write(p), " 46.30000000 15.15000000  300.1234   12.500000");
    flhtns::Unit = flhtns::DMSV;  // 3 here
    EXPECT_EQ(Write(p), " 46 30  0.00000000 15 15  0.00000000  300.1234   12.500000");
    flhtns::UnitT = flhtns::MS;
    flhtns::WidthT = 9;
    flhtns::NDecT = 1;
    EXPECT_EQ(Write(p), " 46 30  0.00000000 15 15  0.00000000  300.1234  12500.0");
    // Neither the flh settings nor its numbering apply.
    flhns::Unit = flhns::RAD;
    flhns::WidthFL = 30;
    EXPECT_EQ(Write(p), " 46 30  0.00000000 15 15  0.00000000  300.1234  12500.0");
    for (std::uint16_t unit : {4, 5, 9}) {
        flhtns::Unit = unit;
        std::ostringstream os;
        os << p;
        EXPECT_EQ(os.str(), "") << unit;
        EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
    }
}

TEST_F(Notation, FlhtReadsItsOwnNotationsAndAPlainTimeValue) {
    flht p;
    flhtns::UnitT = flhtns::MS;  // not applied when reading
    flhtns::Unit = flhtns::DMS;
    std::istringstream dms("46.3 14.59 100 1.5");
    dms >> p;
    EXPECT_CLOSE(p.GetF(), Rad(46, 30, 0), 1e-18L);
    EXPECT_CLOSE(p.GetL(), Rad(14, 59, 0), 1e-18L);
    EXPECT_EQ(p.GetH(), 100.0L);
    EXPECT_EQ(p.GetT(), 1.5L);

    flhtns::Unit = flhtns::DMSV;
    std::istringstream dmsv("-45 30 0 0 30 0 12.5 7");
    dmsv >> p;
    EXPECT_CLOSE(p.GetF(), -Rad(45, 30, 0), 1e-18L);
    EXPECT_CLOSE(p.GetL(), Rad(0, 30, 0), 1e-18L);
    EXPECT_EQ(p.GetH(), 12.5L);
    EXPECT_EQ(p.GetT(), 7.0L);

    flhtns::Unit = flhtns::DEG;
    std::istringstream deg("46.05 14.5 300 2");
    deg >> p;
    EXPECT_CLOSE(p.GetF(), 46.05L * kPi / 180, 1e-18L);

    flhtns::Unit = flhtns::RAD;
    std::istringstream rad("0.8 0.25 3 4");
    rad >> p;
    EXPECT_EQ(p.GetL(), 0.25L);
    EXPECT_EQ(p.GetT(), 4.0L);

    for (std::uint16_t unit : {4, 5}) {
        flhtns::Unit = unit;
        std::istringstream none("1 2 3 4");
        none >> p;
        EXPECT_EQ(none.tellg(), 0);
        EXPECT_EQ(p.GetF(), 0.8L);
        EXPECT_EQ(p.GetH(), 3.0L);
        EXPECT_EQ(p.GetT(), 4.0L);
    }
}
