// Angle conversions: unit factors, packed degree-minute-second numbers and
// their text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "funkcije/KotnePretvorbe.h"
#include "support/close.h"

namespace {

// pi as the system holds it: the double nearest to pi, widened.
const long double kPi = 3.141592653589793;

// Radians of an angle given in degrees, minutes and seconds, computed apart
// from the code under test (with the same pi, in another order).
long double Rad(long double d, long double m, long double s) {
    return (d + m / 60 + s / 3600) * kPi / 180;
}

}  // namespace

TEST(UnitFactors, ConversionsFollowTheirOrderOfOperations) {
    // x / 180 * pi: 90 / 180 is exactly one half, so the result is half of the
    // double pi, to the last bit.
    EXPECT_EQ(deg2rad(90.0L), kPi / 2);
    EXPECT_EQ(deg2rad(180.0L), kPi);
    EXPECT_EQ(deg2rad(-360.0L), -2 * kPi);
    // gon2rad is x * pi / 200, rad2gon x * 200 / pi.
    EXPECT_EQ(gon2rad(200.0L), kPi);
    EXPECT_CLOSE(gon2rad(100.0L), kPi / 2, 1e-18L);
    EXPECT_CLOSE(rad2gon(kPi), 200.0L, 1e-16L);
    EXPECT_CLOSE(rad2deg(kPi), 180.0L, 1e-16L);
    EXPECT_CLOSE(rad2deg(kPi / 4), 45.0L, 1e-17L);

    // The written order decides the last bit: for some angles x / 180 * pi
    // and x * pi / 180 differ, and the conversion must give the first.
    int differing = 0;
    for (int i = 1; i <= 400; ++i) {
        const long double x = i * 0.37L;
        const long double byOrder = x / 180.0L * kPi;
        const long double otherOrder = x * kPi / 180.0L;
        if (byOrder != otherOrder) ++differing;
        EXPECT_EQ(deg2rad(x), byOrder) << x;
        EXPECT_EQ(rad2deg(byOrder), byOrder * 180.0L / kPi) << x;
    }
    EXPECT_GT(differing, 0);
}

TEST(UnitFactors, DoublePrecisionDegreesForTheDefaultPosition) {
    // The settings record converts 46 and 15 degrees in double precision.
    const double f = deg2rad(46.0);
    const double l = deg2rad(15.0);
    EXPECT_EQ(f, 46.0 / 180.0 * 3.141592653589793);
    EXPECT_EQ(l, 15.0 / 180.0 * 3.141592653589793);
    EXPECT_NEAR(f, 0.80285145591739, 1e-14);
    EXPECT_NEAR(l, 0.26179938779915, 1e-14);
}

TEST(PackedToRadians, WholeAngleWithItsSign) {
    EXPECT_CLOSE(dms2rad(46.0254321L), Rad(46, 2, 54.321L), 1e-17L);
    EXPECT_EQ(dms2rad(-46.0254321L), -dms2rad(46.0254321L));
    EXPECT_CLOSE(dms2rad(47.5823L), Rad(47, 58, 23), 1e-17L);
    EXPECT_CLOSE(dms2rad(-0.3L), -Rad(0, 30, 0), 1e-18L);
    EXPECT_EQ(dms2rad(0.0L), 0.0L);
}

TEST(PackedToRadians, ResidueBelowAWholeMinuteRollsOver) {
    // Fault: 46.3 is held as 46.29999999999999716 and was read as
    // 46 deg 29' 99.99999999997" = 46.5111 deg, over a kilometre off.
    EXPECT_CLOSE(dms2rad(static_cast<long double>(46.3)), deg2rad(46.5L), 1e-17L);
    EXPECT_CLOSE(dms2rad(static_cast<long double>(-46.3)), -deg2rad(46.5L), 1e-17L);
    EXPECT_CLOSE(dms2rad(static_cast<long double>(14.59)), Rad(14, 59, 0), 1e-17L);
    EXPECT_CLOSE(dms2rad(46.3L), deg2rad(46.5L), 1e-17L);
    // 0.6 is held just below 0 deg 60': the 60 minutes become the next degree.
    EXPECT_CLOSE(dms2rad(static_cast<long double>(0.6)), deg2rad(1.0L), 1e-18L);
    // Every whole minute typed as a double reads as that minute, up to the
    // double's own residue (below 1e-9" at 360 deg); unmended, the misses were
    // about 1e-4 rad.
    for (int d = 0; d < 360; d += 7) {
        for (int m = 0; m < 60; ++m) {
            const double packed = d + m / 100.0;
            EXPECT_CLOSE(dms2rad(static_cast<long double>(packed)), Rad(d, m, 0), 1e-14L) << packed;
        }
    }
}

TEST(PackedToRadians, SecondsAwayFromAMinuteAreUnchanged) {
    // 0.01" short of a whole minute is a real value, not a residue.
    EXPECT_CLOSE(dms2rad(46.299999L), Rad(46, 29, 99.99L), 1e-17L);
    EXPECT_CLOSE(dms2rad(46.295999L), Rad(46, 29, 59.99L), 1e-17L);
    EXPECT_CLOSE(dms2rad(46.29599999L), Rad(46, 29, 59.9999L), 1e-17L);
    // The tolerance is a millionth of a second: 1e-5" short is kept.
    EXPECT_CLOSE(dms2rad(46.299999999L), Rad(46, 29, 99.99999L), 1e-17L);
}

TEST(PackedToRadians, HugeAndNonFiniteValuesStayDefined) {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_TRUE(std::isnan(dms2rad(std::numeric_limits<long double>::quiet_NaN())));
    EXPECT_EQ(dms2rad(inf), inf);
    EXPECT_EQ(dms2rad(-inf), -inf);
    // Beyond the 32-bit range of whole degrees: all degrees, no minutes.
    EXPECT_CLOSE(dms2rad(3e9L) / Rad(3e9L, 0, 0), 1.0L, 1e-17L);
    EXPECT_CLOSE(dms2rad(-1e300L) / Rad(-1e300L, 0, 0), 1.0L, 1e-17L);
    EXPECT_CLOSE(dms2rad(2147483647.3L) / Rad(2147483647.0L, 30, 0), 1.0L, 1e-17L);
}

TEST(RadiansToPacked, MinutesAndSeconds) {
    EXPECT_CLOSE(rad2dms(deg2rad(30.5L)), 30.3L, 1e-16L);
    EXPECT_CLOSE(rad2dms(-deg2rad(30.5L)), -30.3L, 1e-16L);
    EXPECT_CLOSE(rad2dms(Rad(46, 2, 54.321L)), 46.0254321L, 1e-15L);
    EXPECT_CLOSE(rad2dms(Rad(0, 0, 1)), 0.0001L, 1e-17L);
    EXPECT_EQ(rad2dms(0.0L), 0.0L);
}

TEST(RadiansToPacked, DoublePrecisionResiduesRollToTheWholeMinute) {
    // Fault: the default latitude, 46 deg converted in double precision, came
    // out as 45 deg 59' 59.99999999998" and was echoed as 45.59600000.
    EXPECT_EQ(rad2dms(static_cast<long double>(deg2rad(46.0))), 46.0L);
    EXPECT_EQ(rad2dms(static_cast<long double>(deg2rad(15.0))), 15.0L);
    // Every whole minute converted in double precision comes back as that
    // minute with no seconds worth speaking of.
    for (int d = -180; d <= 180; d += 5) {
        for (int m = 0; m < 60; m += 3) {
            const double deg = d < 0 ? d - m / 60.0 : d + m / 60.0;
            const long double packed = rad2dms(static_cast<long double>(deg2rad(deg)));
            const long double expected = d < 0 ? d - m / 100.0L : d + m / 100.0L;
            EXPECT_CLOSE(packed, expected, 1e-12L) << deg;
        }
    }
}

TEST(RadiansToPacked, SixtySecondsAndSixtyMinutesCarry) {
    // Seconds of 59.9999999999964: the next minute, and here the next degree.
    EXPECT_EQ(rad2dms(deg2rad(47.0L - 1e-15L)), 47.0L);
    EXPECT_EQ(rad2dms(-deg2rad(47.0L - 1e-15L)), -47.0L);
    EXPECT_CLOSE(rad2dms(deg2rad(46.5L - 1e-15L)), 46.3L, 1e-16L);
    // 1e-5" short of the minute is kept.
    EXPECT_CLOSE(rad2dms(Rad(46, 59, 59.99999L)), 46.595999999L, 1e-12L);
}

TEST(RadiansToPacked, NonFiniteValuesComeBack) {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_TRUE(std::isnan(rad2dms(std::numeric_limits<long double>::quiet_NaN())));
    EXPECT_EQ(rad2dms(inf), inf);
    EXPECT_EQ(rad2dms(-inf), -inf);
    EXPECT_CLOSE(rad2dms(Rad(1e12L, 0, 0)) / 1e12L, 1.0L, 1e-15L);
}

TEST(PackedText, FieldsAndSigns) {
    EXPECT_EQ(dms2dms(46.0254321L, 1), " 46  2 54.3");
    EXPECT_EQ(dms2dms(46.0254321L, 8), " 46  2 54.32100000");
    EXPECT_EQ(dms2dms(-0.5L, 1), " -0 50  0.0");
    EXPECT_EQ(dms2dms(-12.5L, 1), "-12 50  0.0");
    EXPECT_EQ(dms2dms(-0.0001L, 1), " -0  0  1.0");
    EXPECT_EQ(dms2dms(0.0L, 1), "  0  0  0.0");
    EXPECT_EQ(dms2dms(-180.0L, 1), "-180  0  0.0");
    EXPECT_EQ(dms2dms(359.5959L, 0), "359 59  59");
    EXPECT_EQ(dms2dms(46.0254321, 1), " 46  2 54.3");  // double instantiation
}

TEST(PackedText, ResiduesRollOverToTheNextMinute) {
    EXPECT_EQ(dms2dms(static_cast<long double>(46.3), 1), " 46 30  0.0");
    EXPECT_EQ(dms2dms(static_cast<long double>(14.59), 8), " 14 59  0.00000000");
    EXPECT_EQ(dms2dms(46.5999999999999L, 1), " 47  0  0.0");
    EXPECT_EQ(dms2dms(static_cast<long double>(-46.3), 1), "-46 30  0.0");
    // Fault: -0.6 (held just below -0 deg 60') rolls into -1 deg; the sign
    // field must follow the rolled degrees, not print " --1".
    EXPECT_EQ(dms2dms(static_cast<long double>(-0.6), 1), " -1  0  0.0");
    EXPECT_EQ(dms2dms(static_cast<long double>(0.6), 1), "  1  0  0.0");
    // A real 99.99 hundredths stays as it is.
    EXPECT_EQ(dms2dms(46.299999L, 2), " 46 29 99.99");
}

TEST(PackedText, DecimalsAreClampedToADocumentedRange) {
    // Fault: a negative ndec built an invalid printf format, a large one
    // overran the 30-character buffer.
    EXPECT_EQ(dms2dms(46.0254321L, -3), " 46  2  54");
    EXPECT_EQ(dms2dms(46.0254321L, DmsMinDecimals), " 46  2  54");
    const std::string widest = dms2dms(46.0254321L, 1000);
    EXPECT_EQ(widest, dms2dms(46.0254321L, DmsMaxDecimals));
    EXPECT_EQ(widest.size(), 3u + 3u + DmsMaxDecimals + 4u);
    EXPECT_EQ(widest.substr(0, 12), " 46  2 54.32");
}

TEST(PackedText, AnyMagnitudeIsWrittenWhole) {
    EXPECT_EQ(dms2dms(2147483646.5L, 1), "2147483646 50  0.0");
    EXPECT_EQ(dms2dms(2147483647.5L, 1), "2147483647 50  0.0");
    EXPECT_EQ(dms2dms(-3e9L, 1), "-3000000000  0  0.0");
    EXPECT_EQ(dms2dms(1e20L, 1), "100000000000000000000  0  0.0");
    EXPECT_EQ(dms2dms(std::numeric_limits<long double>::max(), 0).size(), 4933u + 3u + 4u);
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(dms2dms(std::numeric_limits<long double>::quiet_NaN(), 1), "nannan  nan");
    EXPECT_EQ(dms2dms(inf, 1), "infnan  nan");
    EXPECT_EQ(dms2dms(-inf, 1), "-infnan  nan");
}

TEST(SeparateFields, SignOfTheDegreesAppliesToTheWholeAngle) {
    EXPECT_EQ(dms2deg(-10, 30, 0), -10.5);
    EXPECT_EQ(dms2deg(0, 30, 0), 0.5);
    EXPECT_DOUBLE_EQ(dms2deg(10, 30, 36), 10.51);
    EXPECT_NEAR(dms2deg(-46, 2, 54.321), -(46 + 2 / 60.0 + 54.321 / 3600), 1e-13);
    EXPECT_DOUBLE_EQ(dms2rad(180, 0, 0), 3.141592653589793);
    EXPECT_NEAR(dms2rad(46, 2, 54.321), static_cast<double>(Rad(46, 2, 54.321L)), 1e-15);
    EXPECT_NEAR(dms2rad(-45, 30, 0), -static_cast<double>(Rad(45, 30, 0)), 1e-15);
}
