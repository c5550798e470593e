// Sun and Moon positions and the mean sidereal angle: worked examples, the
// range of the angles, and the bounds of the distances.
#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/TimeConverse.h"
#include "GNSS/flh.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"
#include "support/close.h"

namespace {

constexpr long double kTwoPi = 6.283185307179586;
constexpr long double kDegToRad = 0.017453292519943295;
constexpr long double kAUm = 149597870.0L * 1000;  // astronomical unit, metres

// Angle difference folded into (-pi, pi].
long double Fold(long double a) {
    a = std::fmod(a, kTwoPi);
    if (a > kTwoPi / 2) a -= kTwoPi;
    if (a <= -kTwoPi / 2) a += kTwoPi;
    return a;
}

}  // namespace

TEST(LuniSolarWorkedExamples, J2000NoonWithThirteenLeapSeconds) {
    LuniSolarPosition lsp;
    const mjd e(51544, 43200);

    const long double gst = lsp.GSTime(e);
    EXPECT_CLOSE(gst, 4.894013238L, 0.5e-9L);
    // Below 2*pi without a wrap, so the sidereal time in seconds and the
    // century argument follow by inverting the first-order series.
    const long double temp = gst * 240 / kDegToRad;
    EXPECT_CLOSE(temp, 67297.5128L, 0.5e-4L);
    EXPECT_CLOSE((temp - 67310.54841L) / 3164400184.812866L, -4.1194514e-9L, 0.5e-16L);

    xyz sun;
    long double rsun = 0;
    lsp.SunPosition(e, sun, rsun);
    EXPECT_VECTOR_CLOSE("Sun", sun, 0.920166L, 0.014135L, -0.391272L, 0.5e-6L);
    EXPECT_CLOSE(rsun, 147100854102.0L, 0.5L);
    // Undo the sidereal rotation: (cos l, cos e sin l, sin e sin l), sin e > 0.
    const xyz ecl = sun.RotateZ(gst);
    const long double sinl =
        std::copysign(std::sqrt(ecl.GetY() * ecl.GetY() + ecl.GetZ() * ecl.GetZ()), ecl.GetZ());
    long double lambda = std::atan2(sinl, ecl.GetX()) / kDegToRad;
    if (lambda < 0) lambda += 360;
    EXPECT_CLOSE(lambda, 280.37615L, 0.5e-5L);

    xyz moon;
    long double rmoon = 0;
    lsp.MoonPosition(e, moon, rmoon);
    EXPECT_VECTOR_CLOSE("Moon", moon, 0.520712L, -0.832682L, -0.188415L, 0.5e-6L);
    EXPECT_CLOSE(rmoon, 402459232.0L, 0.5L);
}

TEST(LuniSolarWorkedExamples, Mjd60000WithEighteenLeapSeconds) {
    LuniSolarPosition lsp;
    const mjd e(60000, 0);
    EXPECT_CLOSE(lsp.GSTime(e), 2.697000386L, 0.5e-9L);

    xyz sun, moon;
    long double rsun = 0, rmoon = 0;
    lsp.SunPosition(e, sun, rsun);
    lsp.MoonPosition(e, moon, rmoon);
    EXPECT_VECTOR_CLOSE("Sun", sun, -0.985249L, -0.057871L, -0.161042L, 0.5e-6L);
    EXPECT_CLOSE(rsun, 148059602777.0L, 0.5L);
    EXPECT_VECTOR_CLOSE("Moon", moon, -0.458234L, -0.852507L, 0.251502L, 0.5e-6L);
    EXPECT_CLOSE(rmoon, 381872174.0L, 0.5L);
}

TEST(SiderealAngle, WrappedIntoRangeAndAdvancingOneSiderealDayPerDay) {
    LuniSolarPosition lsp;
    // One solar day is 3164400184.812866 / 36525 = 86636.5554 s of sidereal
    // time: 236.5554 s more than a whole turn, i.e. 236.5554 / 240 degrees.
    // A new leap second moves the epoch back by one more second of time.
    const long double perDay = 3164400184.812866L / 36525;
    const long double step = (perDay - 86400) / 240 * kDegToRad;
    const long double perLeap = perDay / 86400 / 240 * kDegToRad;
    int leaps = 0;
    auto check = [&](std::uint32_t d) {
        for (long double s : {0.0L, 43200.0L, 86399.5L}) {
            const mjd a(d, s), b(d + 1, s);
            const long double ga = lsp.GSTime(a), gb = lsp.GSTime(b);
            ASSERT_GE(ga, 0) << d << " " << static_cast<double>(s);
            ASSERT_LT(ga, kTwoPi) << d << " " << static_cast<double>(s);
            const int dls = LeapSecond(b) - LeapSecond(a);
            leaps += dls;
            ASSERT_NEAR(static_cast<double>(Fold(gb - ga)),
                        static_cast<double>(step - dls * perLeap), 2e-9)
                << d;
        }
    };
    // From 1972 to 2030, across J2000.0, where T and the raw series change
    // sign, and the eves of three leap seconds.
    for (std::uint32_t d = 41317; d < 62500; d += 23) check(d);
    for (std::uint32_t d : {44785u, 51178u, 57753u}) check(d);
    EXPECT_GE(leaps, 9);  // 3 eves x 3 times of day, at least
    // Before J2000.0 the raw remainder is negative and is wrapped, not returned.
    EXPECT_GT(lsp.GSTime(mjd(45000, 0)), 0);
}

TEST(SiderealAngle, LocalAngleAddsTheLongitudeAndStaysBelowTwoPi) {
    LuniSolarPosition lsp;
    const mjd e(60000, 0);
    const long double gst = lsp.GSTime(e);
    flh place;

    place.Set(0.8, 0, 0);
    EXPECT_EQ(lsp.LSTime(e, place), gst);

    place.Set(0.8, 3.9, 0);  // sum above 2*pi
    EXPECT_CLOSE(lsp.LSTime(e, place), gst + 3.9L - kTwoPi, 1e-15L);
    place.Set(0.8, -3.0, 0);  // sum below 0
    EXPECT_CLOSE(lsp.LSTime(e, place), gst - 3.0L + kTwoPi, 1e-15L);

    // Regression: a sum a hair below zero used to come back as 2*pi itself
    // (remainder -ulp, and -ulp + 2*pi rounds to 2*pi).
    ASSERT_GE(gst, 2);
    ASSERT_LT(gst, 4);
    place.Set(0.8, -std::nextafter(gst, 10.0L), 0);
    const long double lst = lsp.LSTime(e, place);
    EXPECT_GE(lst, 0);
    EXPECT_LT(lst, kTwoPi);
}

TEST(LuniSolarDistances, StayWithinTheBoundsOfTheSeriesAndUnitVectorsHaveLengthOne) {
    LuniSolarPosition lsp;
    // Sun: (1.000140612 - 0.016708617 cos M - 0.000139589 cos 2M) AU has its
    // extremes at M = 0 and M = pi only (0.016708617 > 4 * 0.000139589).
    const long double sunMin = (1.000140612L - 0.016708617L - 0.000139589L) * kAUm;
    const long double sunMax = (1.000140612L + 0.016708617L - 0.000139589L) * kAUm;
    // Moon: the parallax stays within 0.9508 +- (0.0518 + 0.0095 + 0.0078 + 0.0028) degrees.
    const long double pMax = (0.9508L + 0.0719L) * kDegToRad,
                      pMin = (0.9508L - 0.0719L) * kDegToRad;
    const long double moonMin = 6378.137L / std::sin(pMax) * 1000;
    const long double moonMax = 6378.137L / std::sin(pMin) * 1000;
    EXPECT_NEAR(static_cast<double>(sunMin / kAUm), 0.983292406, 1e-12);
    EXPECT_NEAR(static_cast<double>(moonMin / 1000), 357348, 1);
    EXPECT_NEAR(static_cast<double>(moonMax / 1000), 415809, 1);

    long double sLo = 1e30L, sHi = 0, mLo = 1e30L, mHi = 0;
    for (std::uint32_t d = 44000; d < 62000; d += 1) {
        const mjd e(d, (d % 7) * 12345.6L);
        xyz u;
        long double r = 0;
        lsp.SunPosition(e, u, r);
        ASSERT_NEAR(static_cast<double>(u.GetLength()), 1.0, 1e-15) << d;
        sLo = std::fmin(sLo, r);
        sHi = std::fmax(sHi, r);
        lsp.MoonPosition(e, u, r);
        ASSERT_NEAR(static_cast<double>(u.GetLength()), 1.0, 1e-15) << d;
        mLo = std::fmin(mLo, r);
        mHi = std::fmax(mHi, r);
    }
    EXPECT_GE(sLo, sunMin * (1 - 1e-15L));
    EXPECT_LE(sHi, sunMax * (1 + 1e-15L));
    EXPECT_GE(mLo, moonMin);
    EXPECT_LE(mHi, moonMax);
    // Nearly fifty years of daily samples come close to both ends of each range.
    EXPECT_LT(sLo / kAUm, 0.98330L);
    EXPECT_GT(sHi / kAUm, 1.01670L);
    EXPECT_LT(mLo, 360000e3L);
    EXPECT_GT(mHi, 405000e3L);
}
