// The choice of ephemeris: the series by default and bit for bit as
// LuniSolarPosition gives them (the table's numbers rest on it), the precise
// ephemeris as PreciseSunMoon gives it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/PreciseSunMoon.h"
#include "GNSS/SunMoon.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"

#include "support/bits.h"

using testsupport::SameBits;
using testsupport::Uniform;

namespace {

struct Bodies {
    xyz sun, moon;
    long double sunR = 0, moonR = 0;
};

::testing::AssertionResult Same(const Bodies& a, const Bodies& b) {
    const bool same =
        SameBits(a.sun.GetX(), b.sun.GetX()) && SameBits(a.sun.GetY(), b.sun.GetY()) &&
        SameBits(a.sun.GetZ(), b.sun.GetZ()) && SameBits(a.moon.GetX(), b.moon.GetX()) &&
        SameBits(a.moon.GetY(), b.moon.GetY()) && SameBits(a.moon.GetZ(), b.moon.GetZ()) &&
        SameBits(a.sunR, b.sunR) && SameBits(a.moonR, b.moonR);
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the bodies differ";
}

// Days 15385 (1901) to 124593 (2199) with every leap-second count, and the
// first and last days an mjd holds.
mjd RandomEpoch(Uniform& u, int i) {
    if (i == 0) return mjd(0, 0);
    if (i == 1) return mjd(199999, 86399.9L);
    return mjd(static_cast<std::uint32_t>(15385 + u() * (124593 - 15385)),
               std::floor(u() * 864000) / 10);
}

}  // namespace

TEST(SunMoonChoice, TheSeriesAreTheDefault) {
    EXPECT_EQ(SunMoon().Kind(), Ephemeris::Series);
    EXPECT_EQ(SunMoon(Ephemeris::Series).Kind(), Ephemeris::Series);
    EXPECT_EQ(SunMoon(Ephemeris::Precise).Kind(), Ephemeris::Precise);
}

TEST(SunMoonChoice, SeriesAreLuniSolarPositionToTheLastBit) {
    const LuniSolarPosition lsp;
    const SunMoon chosen(Ephemeris::Series);
    Uniform u(5);
    for (int i = 0; i < 20000; ++i) {
        const mjd e = RandomEpoch(u, i);
        Bodies a, b;
        lsp.SunMoonPosition(e, a.sun, a.sunR, a.moon, a.moonR);
        chosen.Position(e, b.sun, b.sunR, b.moon, b.moonR);
        ASSERT_TRUE(Same(a, b)) << "at " << e.GetMJDay() << " "
                                << static_cast<double>(e.GetSecond());
    }
}

TEST(SunMoonChoice, PreciseIsPreciseSunMoonToTheLastBit) {
    const PreciseSunMoon precise;
    const SunMoon chosen(Ephemeris::Precise);
    // Hourly through a month: the two objects' caches fill alike.
    mjd e(58849, 0);
    for (int i = 0; i < 24 * 31; ++i, e += 3600.0L) {
        Bodies a, b;
        precise.SunMoonPosition(e, a.sun, a.sunR, a.moon, a.moonR);
        chosen.Position(e, b.sun, b.sunR, b.moon, b.moonR);
        ASSERT_TRUE(Same(a, b)) << "at " << e.GetMJDay() << " "
                                << static_cast<double>(e.GetSecond());
    }
    // And the two ephemerides are not the same.
    Bodies s, p;
    SunMoon(Ephemeris::Series).Position(e, s.sun, s.sunR, s.moon, s.moonR);
    SunMoon(Ephemeris::Precise).Position(e, p.sun, p.sunR, p.moon, p.moonR);
    EXPECT_GT(std::fabs(s.moonR - p.moonR), 1.0L);
}
