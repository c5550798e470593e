// Sine and cosine by quarter turns and Taylor polynomials, compared with the
// mathematics library's sinl and cosl (an independent implementation, within
// a unit in the last place of the true values), and with the 113-bit values
// of libquadmath's sinq and cosq (the true values, for the units in the last
// place that the polynomials and the reduction lose): angles of every size
// the Sun and Moon series and the tide meet, the quadrant boundaries, the
// zeros of the functions, signed zeros and what the library keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <limits>

#include <quadmath.h>

#include "funkcije/KotneFunkcije.h"

#include "support/bits.h"

using testsupport::SameBits;
using testsupport::Uniform;

namespace {

// One unit in the last place of v (extended precision).
long double Ulp(long double v) {
    v = std::fabs(v);
    return std::nextafter(v, std::numeric_limits<long double>::infinity()) - v;
}

// |got - want| within `units` units in the last place of want, or within
// `floor` (near the zeros of the functions the reduction's absolute error,
// not the value's last place, is what stays small).
::testing::AssertionResult Within(long double got, long double want, long double units,
                                  long double floor, long double x) {
    const long double miss = std::fabs(got - want);
    if (miss <= units * Ulp(want) || miss <= floor) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::setprecision(21) << "at x = " << x << ": " << got << " against " << want
           << ", miss " << miss / Ulp(want) << " units in the last place";
}

const long double kTrueHalfPi = 1.57079632679489661923132169163975144L;

// Units in the last place (of the extended value nearest the truth) by
// which got misses the 113-bit value want.
double UnitsOff(long double got, __float128 want) {
    const __float128 miss = fabsq(static_cast<__float128>(got) - want);
    return static_cast<double>(miss / static_cast<__float128>(Ulp(static_cast<long double>(want))));
}

// How far the results of a range of angles lie from the true values.
struct UlpCount {
    long n = 0, aboveHalf = 0, aboveOne = 0;
    double largest = 0;
    void Add(double units) {
        ++n;
        aboveHalf += units > 0.5;
        aboveOne += units > 1;
        largest = std::max(largest, units);
    }
    double PercentAboveHalf() const { return 100.0 * aboveHalf / n; }
    double PercentAboveOne() const { return 100.0 * aboveOne / n; }
};

}  // namespace

TEST(SinCosByQuadrant, WithinTwoUnitsOfTheLibraryForAnglesOfEverySize) {
    // Fault guarded: a wrong quadrant, sign, coefficient or reduction part;
    // each misses by far more than two units.
    Uniform u(23);
    const long double bounds[] = {0, 0.785L, 7, 100, 7000, 1e5L, 999999};
    for (int b = 0; b + 1 < 7; ++b) {
        for (int i = 0; i < 200000; ++i) {
            long double x = bounds[b] + u() * (bounds[b + 1] - bounds[b]);
            if (i % 2) x = -x;
            long double s, c;
            SinCosByQuadrant(x, s, c);
            ASSERT_TRUE(Within(s, std::sin(x), 2, 1e-30L, x));
            ASSERT_TRUE(Within(c, std::cos(x), 2, 1e-30L, x));
        }
    }
}

TEST(SinCosByQuadrant, UnitsInTheLastPlaceAgainstTheTrueValues) {
    // Fault guarded: an order of operations that rounds more, in the
    // polynomials or the reduction.  The limits are the level the functions
    // reach on this sample (100,000 angles per range, half of them negative),
    // with a little room: adding 1 to -r^2/2 before the rest of the cosine's
    // terms, for one, leaves a quarter of the cosines below pi/4 more than
    // half a unit off (and some 1.25 units at most), and 2.2 % of those of
    // the reduced angles more than one unit off.
    const struct {
        long double from, to;                          // range of |x|, rad
        double sinAboveHalf, sinAboveOne, sinLargest;  // % above 0.5 and 1 unit, largest
        double cosAboveHalf, cosAboveOne, cosLargest;
    } ranges[] = {
        // Below pi/4 only the polynomials round: within a unit.
        {0, 0.785L, 3.0, 0, 1.0, 8.0, 0, 1.0},
        // Beyond it the reduced angle rounds too.
        {0.785L, 7, 19.5, 0.40, 1.7, 21.0, 0.95, 2.4},
        {7, 100, 19.5, 0.85, 1.7, 21.0, 1.80, 2.4},
        {100, 7000, 19.5, 0.85, 1.7, 21.0, 1.80, 2.4},
        {7000, 1e5L, 19.5, 0.85, 1.7, 21.0, 1.80, 2.4},
        {1e5L, 999999, 19.5, 0.85, 1.7, 21.0, 1.80, 2.4},
    };
    Uniform u(31);
    for (const auto& r : ranges) {
        UlpCount sines, cosines;
        for (int i = 0; i < 100000; ++i) {
            long double x = r.from + u() * (r.to - r.from);
            if (i % 2) x = -x;
            long double s, c;
            SinCosByQuadrant(x, s, c);
            const __float128 exact = x;
            sines.Add(UnitsOff(s, sinq(exact)));
            cosines.Add(UnitsOff(c, cosq(exact)));
        }
        std::printf(
            "  |x| in [%g, %g): sine %.3f %% above half a unit, %.3f %% above one, at most "
            "%.3f; cosine %.3f %%, %.3f %%, %.3f\n",
            static_cast<double>(r.from), static_cast<double>(r.to), sines.PercentAboveHalf(),
            sines.PercentAboveOne(), sines.largest, cosines.PercentAboveHalf(),
            cosines.PercentAboveOne(), cosines.largest);
        SCOPED_TRACE(testing::Message() << "|x| from " << static_cast<double>(r.from));
        EXPECT_LE(sines.PercentAboveHalf(), r.sinAboveHalf);
        EXPECT_LE(sines.PercentAboveOne(), r.sinAboveOne);
        EXPECT_LE(sines.largest, r.sinLargest);
        EXPECT_LE(cosines.PercentAboveHalf(), r.cosAboveHalf);
        EXPECT_LE(cosines.PercentAboveOne(), r.cosAboveOne);
        EXPECT_LE(cosines.largest, r.cosLargest);
    }
}

TEST(SinCosByQuadrant, NearTheZerosTheMissStaysBelowTheReductionsRounding) {
    // Angles a few units from whole multiples of pi/2 up to 1e6 rad, where
    // one of the two functions is tiny: its value is off by the rounding of
    // the reduced angle (about 1e-19 of pi/4 times the multiple's share), far
    // below a unit in the last place of 1.
    long double worst = 0;
    for (long k = 1; k < 600000; k += k < 1000 ? 1 : 37) {
        const long double m = std::nextafter(k * kTrueHalfPi, 0.0L);
        for (int d = -3; d <= 3; ++d) {
            const long double x = m + d * Ulp(m);
            long double s, c;
            SinCosByQuadrant(x, s, c);
            worst =
                std::max(worst, std::max(std::fabs(s - std::sin(x)), std::fabs(c - std::cos(x))));
        }
    }
    EXPECT_LT(worst, 1e-30L) << "largest miss " << static_cast<double>(worst);
}

TEST(SinCosByQuadrant, SineAloneIsTheSineOfThePair) {
    Uniform u(29);
    for (int i = 0; i < 200000; ++i) {
        const long double x = (u() - 0.5L) * 2e4L;
        long double s, c;
        SinCosByQuadrant(x, s, c);
        ASSERT_TRUE(SameBits(SinByQuadrant(x), s)) << x;
    }
}

TEST(SinCosByQuadrant, SignedZerosAndWhatTheLibraryKeeps) {
    long double s = 1, c = 0;
    SinCosByQuadrant(-0.0L, s, c);
    EXPECT_EQ(s, 0.0L);
    EXPECT_TRUE(std::signbit(s));
    EXPECT_EQ(c, 1.0L);
    EXPECT_TRUE(std::signbit(SinByQuadrant(-0.0L)));
    EXPECT_FALSE(std::signbit(SinByQuadrant(0.0L)));

    // Beyond 1e6 rad, and for NaN and infinities, the library answers.
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const long double inf = std::numeric_limits<long double>::infinity();
    for (long double x : {1e6L, -1e6L, 3.5e7L, 1e300L, nan, inf, -inf}) {
        SinCosByQuadrant(x, s, c);
        EXPECT_TRUE(SameBits(s, std::sin(x)) || (std::isnan(s) && std::isnan(std::sin(x)))) << x;
        EXPECT_TRUE(SameBits(c, std::cos(x)) || (std::isnan(c) && std::isnan(std::cos(x)))) << x;
        const long double s1 = SinByQuadrant(x);
        EXPECT_TRUE(SameBits(s1, std::sin(x)) || (std::isnan(s1) && std::isnan(std::sin(x)))) << x;
    }
}

TEST(SinCosByQuadrant, QuadrantBoundariesAndKnownValues) {
    // sin and cos at the multiples of pi/6 and at odd multiples of pi/4
    // across a few turns, both signs: exact values of an independent
    // derivation.  The angle itself is rounded (a few units in its last
    // place), which moves the functions by as much.
    const long double half = 0.5L, r2 = std::sqrt(0.5L), r3 = std::sqrt(3.0L) / 2;
    const long double table[12][2] = {{0, 1},       {half, r3},  {r3, half},  {1, 0},
                                      {r3, -half},  {half, -r3}, {0, -1},     {-half, -r3},
                                      {-r3, -half}, {-1, 0},     {-r3, half}, {-half, r3}};
    for (int turn = -3; turn <= 3; ++turn) {
        for (int k = 0; k < 12; ++k) {
            const long double x = turn * 4 * kTrueHalfPi + k * kTrueHalfPi / 3;
            long double s, c;
            SinCosByQuadrant(x, s, c);
            EXPECT_TRUE(Within(s, table[k][0], 2, 8 * Ulp(x), x));
            EXPECT_TRUE(Within(c, table[k][1], 2, 8 * Ulp(x), x));
        }
        for (int k = 1; k < 8; k += 2) {
            const long double x = turn * 4 * kTrueHalfPi + k * kTrueHalfPi / 2;
            long double s, c;
            SinCosByQuadrant(x, s, c);
            const long double sx = k == 1 || k == 3 ? r2 : -r2;
            const long double cx = k == 1 || k == 7 ? r2 : -r2;
            EXPECT_TRUE(Within(s, sx, 2, 8 * Ulp(x), x));
            EXPECT_TRUE(Within(c, cx, 2, 8 * Ulp(x), x));
        }
    }
}
