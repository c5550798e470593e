// Solid Earth tide: worked examples step by step, Love and Shida numbers,
// scale factors, geometries in which corrections vanish, the poles, and the
// allocation-free epoch path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <limits>
#include <new>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/mjd.h"
#include "GNSS/xyz.h"
#include "support/close.h"
#include "support/count_allocations.h"
#include "support/tide_access.h"

// Every allocation of this test executable is counted (the counting operator
// new is linked in from support/count_allocations.cpp), so that a run of
// epochs can be shown to allocate nothing.

using Access = SolidEarthTideTestAccess;

namespace {

constexpr long double kDegToRad = 0.017453292519943295;
constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kH3 = 0.292, kL3 = 0.015;

// Unit vector of geocentric latitude fi and longitude la (degrees).
xyz Direction(long double fi, long double la) {
    fi *= kDegToRad;
    la *= kDegToRad;
    return xyz(std::cos(fi) * std::cos(la), std::cos(fi) * std::sin(la), std::sin(fi));
}

// Station at 46 N, 14.5 E; Sun and Moon from the series for the epoch.
void SetUpExample(SolidEarthTide& tide, const mjd& e) {
    LuniSolarPosition lsp;
    xyz sun, moon;
    long double rsun = 0, rmoon = 0, rsta = 6367000;
    lsp.SunPosition(e, sun, rsun);
    lsp.MoonPosition(e, moon, rmoon);
    tide.SetStaPosition(Direction(46, 14.5), rsta);
    tide.SetSunPosition(sun, rsun);
    tide.SetMoonPosition(moon, rmoon);
}

// Only the Sun acts: the Moon is infinitely far away (zero factors).
void SunOnly(SolidEarthTide& tide, const xyz& sta, const xyz& sun, long double rsun = 1.496e11L) {
    const long double one = 1;
    tide.SetStaPosition(sta, one);
    tide.SetSunPosition(sun, rsun);
    tide.SetMoonPosition(xyz(0, 0, 1), kInf);
}

constexpr long double kMetre9 = 0.5e-9L;  // half a unit of the ninth decimal

}  // namespace

TEST(TideWorkedExamples, Mjd60000StepByStep) {
    SolidEarthTide tide;
    const mjd e(60000, 0);
    SetUpExample(tide, e);
    xyz total;
    tide.GetDisplacement(e, total);
    EXPECT_VECTOR_CLOSE("total", total, -0.007970266L, 0.010043631L, -0.058186748L, kMetre9);
    EXPECT_CLOSE(Access::T(tide), 0.23149899523L, 0.5e-11L);

    const xyz inphase = Access::InPhase(tide);
    const xyz idiu = Access::ST1IDIU(tide);
    const xyz isem = Access::ST1ISEM(tide);
    const xyz l1 = Access::ST1L1(tide);
    const xyz diu = Access::STEP2DIU(tide, e);
    const xyz lon = Access::STEP2LON(tide);
    EXPECT_VECTOR_CLOSE("in phase", inphase, -0.004732945L, 0.010932936L, -0.054504553L, kMetre9);
    EXPECT_VECTOR_CLOSE("ST1IDIU", idiu, 0.000194232L, -0.000002716L, 0.000186580L, kMetre9);
    EXPECT_VECTOR_CLOSE("ST1ISEM", isem, -0.000274114L, 0.000024228L, -0.000058041L, kMetre9);
    EXPECT_VECTOR_CLOSE("ST1L1", l1, 0.000025453L, 0.000372481L, -0.000113859L, kMetre9);
    EXPECT_VECTOR_CLOSE("STEP2DIU", diu, -0.003237394L, -0.001297392L, -0.003594618L, kMetre9);
    EXPECT_VECTOR_CLOSE("STEP2LON", lon, 0.000054502L, 0.000014095L, -0.000102258L, kMetre9);

    // The total is the in-phase part plus the five corrections, in order.
    xyz sum = inphase;
    for (const xyz* c : {&idiu, &isem, &l1, &diu, &lon}) sum += *c;
    EXPECT_VECTOR_CLOSE("sum of parts", sum, total.GetX(), total.GetY(), total.GetZ(), 1e-18L);
}

TEST(TideWorkedExamples, J2000NoonMovesOnlyByTheTerrestrialTimeShift) {
    SolidEarthTide tide;
    const mjd e(51544, 43200);
    SetUpExample(tide, e);
    xyz total;
    tide.GetDisplacement(e, total);
    // 13 + 19 + 32.184 = 64.184 s of Terrestrial Time after J2000.0.
    EXPECT_CLOSE(Access::T(tide), 2.0338682e-8L, 0.5e-15L);
    EXPECT_CLOSE(Access::T(tide), 64.184L / 86400 / 36525, 1e-20L);
    EXPECT_VECTOR_CLOSE("total", total, -0.065432615L, -0.025908563L, -0.094539453L, kMetre9);
    EXPECT_VECTOR_CLOSE("in phase", Access::InPhase(tide), -0.073165638L, -0.027528465L,
                        -0.102883845L, kMetre9);
    EXPECT_VECTOR_CLOSE("STEP2DIU", Access::STEP2DIU(tide, e), 0.007782194L, 0.002156149L,
                        0.008391411L, kMetre9);
}

// The test cases published with the solid-tide routine of the IERS
// Conventions (2010): station, Sun and Moon in Earth-fixed metres at 0 h UTC
// of the date, and the displacement in metres that the routine gives.
// The model here takes unit vectors and distances, so each position is split
// into the two; its epoch is the Modified Julian Day of the date.
TEST(TideIersTestCases, PublishedDisplacementsToAPicometre) {
    struct Case {
        const char* date;
        std::uint32_t mjd;
        long double station[3], sun[3], moon[3];
        long double expected[3];
    };
    const Case cases[] = {
        {"2009-04-13",
         54934,
         {4075578.385L, 931852.890L, 4801570.154L},
         {137859926952.015L, 54228127881.4350L, 23509422341.6960L},
         {-179996231.920342L, -312468450.131567L, -169288918.592160L},
         {0.07700420357108125891L, 0.06304056321824967613L, 0.05516568152597246810L}},
        {"2012-07-13",
         56121,
         {1112189.660L, -4842955.026L, 3985352.284L},
         {-54537460436.2357L, 130244288385.279L, 56463429031.5996L},
         {300396716.912L, 243238281.451L, 120548075.939L},
         {-0.02036831479592075833L, 0.05658254776225972449L, -0.07597679676871742227L}},
    };
    // Unit vector and length of a position.
    const auto split = [](const long double(&p)[3], xyz& unit, long double& length) {
        length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        unit = xyz(p[0] / length, p[1] / length, p[2] / length);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        SolidEarthTide tide;
        xyz station, sun, moon;
        long double rstation = 0, rsun = 0, rmoon = 0;
        split(c.station, station, rstation);
        split(c.sun, sun, rsun);
        split(c.moon, moon, rmoon);
        tide.SetStaPosition(station, rstation);
        tide.SetSunPosition(sun, rsun);
        tide.SetMoonPosition(moon, rmoon);
        xyz d;
        tide.GetDisplacement(mjd(c.mjd, 0), d);
        EXPECT_VECTOR_CLOSE("displacement", d, c.expected[0], c.expected[1], c.expected[2], 1e-12L);
    }
}

TEST(TideDegreeTwo, LoveAndShidaNumbersAtTheEquatorAndThePole) {
    struct Case {
        const char* where;
        xyz sta, north;  // station and a unit vector square to it
        long double h2, l2;
    };
    for (const Case& c : {Case{"equator", xyz(1, 0, 0), xyz(0, 0, 1), 0.6081L, 0.0846L},
                          Case{"pole", xyz(0, 0, 1), xyz(1, 0, 0), 0.6072L, 0.0849L}}) {
        SCOPED_TRACE(c.where);
        SolidEarthTide tide;
        // Sun in the zenith: the l2 parts cancel and the degree-3 term is h3.
        SunOnly(tide, c.sta, c.sta);
        xyz d = Access::InPhase(tide);
        const long double h2 = (d * c.sta - Access::FAC3SUN(tide) * kH3) / Access::FAC2SUN(tide);
        EXPECT_CLOSE(h2, c.h2, 1e-15L);
        EXPECT_CLOSE((d * c.north), 0, 0);

        // Zenith cosine 1/sqrt(5): the degree-3 term along the Sun vanishes and
        // the horizontal part is 3 l2 cos z sin z times the factor.
        const long double cz = 1 / std::sqrt(5.0L), sz = 2 / std::sqrt(5.0L);
        SunOnly(tide, c.sta, c.sta * cz + c.north * sz);
        d = Access::InPhase(tide);
        const long double l2 = (d * c.north) / (3 * cz * sz * Access::FAC2SUN(tide));
        EXPECT_CLOSE(l2, c.l2, 1e-15L);
    }
}

TEST(TideDegreeTwo, SunInTheZenithAndOnTheHorizon) {
    const xyz sta = Direction(46, 14.5);
    const long double c = std::cos(46 * kDegToRad);
    const long double H2 = 0.6078L - 0.0006L * (1 - 1.5L * c * c);
    SolidEarthTide tide;

    // Zenith: degree 2 is FAC2SUN h2 along the station, degree 3 FAC3SUN h3.
    SunOnly(tide, sta, sta);
    xyz d = Access::InPhase(tide);
    xyz want = sta * (Access::FAC2SUN(tide) * H2 + Access::FAC3SUN(tide) * kH3);
    EXPECT_VECTOR_CLOSE("zenith", d, want.GetX(), want.GetY(), want.GetZ(), 1e-16L);

    // Horizon (Sun due east): -FAC2SUN h2/2 along the station, and degree 3
    // gives -3 l3 / 2 FAC3SUN along the Sun.
    const xyz east(-std::sin(14.5 * kDegToRad), std::cos(14.5 * kDegToRad), 0);
    SunOnly(tide, sta, east);
    d = Access::InPhase(tide);
    want = sta * (-Access::FAC2SUN(tide) * H2 / 2) + east * (-1.5L * kL3 * Access::FAC3SUN(tide));
    EXPECT_VECTOR_CLOSE("horizon", d, want.GetX(), want.GetY(), want.GetZ(), 1e-16L);
}

TEST(TideDegreeTwo, ScaleFactorsForTypicalDistances) {
    SolidEarthTide tide;
    const long double one = 1, rsun = 1.496e11L, rmon = 3.844e8L;
    tide.SetStaPosition(Direction(10, 20), one);
    tide.SetSunPosition(Direction(0, 0), rsun);
    tide.SetMoonPosition(Direction(5, 40), rmon);
    Access::InPhase(tide);
    EXPECT_CLOSE(Access::FAC2SUN(tide), 0.16457L, 0.5e-5L);
    EXPECT_CLOSE(Access::FAC2MON(tide), 0.35837L, 0.5e-5L);
    EXPECT_CLOSE(Access::FAC3MON(tide), 0.0059462L, 0.5e-7L);
    // One more power of RE / R for degree 3 (RE the double 6378136.6 m).
    const long double RE = 6378136.6;
    EXPECT_CLOSE(Access::FAC3SUN(tide) / Access::FAC2SUN(tide), RE / rsun, 1e-23L);
    EXPECT_CLOSE(Access::FAC3MON(tide) / Access::FAC2MON(tide), RE / rmon, 1e-20L);
}

TEST(TideState, NothingAccumulatesAcrossCalls) {
    SolidEarthTide tide;
    const mjd e(60000, 0), other(51544, 43200);
    SetUpExample(tide, e);
    xyz first(5, -7, 11), second(-1e3, 2e3, 0);
    tide.GetDisplacement(e, first);
    tide.GetDisplacement(e, second);
    EXPECT_EQ(first.GetX(), second.GetX());
    EXPECT_EQ(first.GetY(), second.GetY());
    EXPECT_EQ(first.GetZ(), second.GetZ());

    // Another epoch in between leaves no trace once the inputs are restored.
    SetUpExample(tide, other);
    tide.GetDisplacement(other, second);
    SetUpExample(tide, e);
    tide.GetDisplacement(e, second);
    EXPECT_EQ(first.GetX(), second.GetX());
    EXPECT_EQ(first.GetY(), second.GetY());
    EXPECT_EQ(first.GetZ(), second.GetZ());
}

TEST(TideCorrections, SymmetricGeometriesInWhichTermsVanish) {
    const long double one = 1;
    SolidEarthTide tide;

    {  // Sun and Moon in the equatorial plane: no diurnal terms.
        SCOPED_TRACE("bodies in the equator");
        const long double la = 14.5L * kDegToRad, fi = 46 * kDegToRad;
        const long double asun = 0.3L, amon = 2.1L;  // longitudes of the bodies
        tide.SetStaPosition(Direction(46, 14.5), one);
        tide.SetSunPosition(xyz(std::cos(asun), std::sin(asun), 0), 1.5e11L);
        tide.SetMoonPosition(xyz(std::cos(amon), std::sin(amon), 0), 3.8e8L);
        Access::InPhase(tide);
        EXPECT_VECTOR_CLOSE("ST1IDIU", Access::ST1IDIU(tide), 0, 0, 0, 0);
        // ST1L1 is then its semidiurnal band alone, which depends on the
        // bodies' longitudes a only through 2(a - la):
        //   north = -3/2 l1 sin(fi) cos(fi) sum F cos 2(a - la),
        //   east  = -3/2 l1 sin(fi)^2 cos(fi) sum F sin 2(la - a).
        const long double F[2] = {Access::FAC2SUN(tide), Access::FAC2MON(tide)};
        const long double a[2] = {asun, amon};
        long double dn = 0, de = 0;
        for (int b = 0; b < 2; ++b) {
            dn += -1.5L * 0.0024L * std::sin(fi) * std::cos(fi) * F[b] * std::cos(2 * (a[b] - la));
            de += -1.5L * 0.0024L * std::sin(fi) * std::sin(fi) * std::cos(fi) * F[b] *
                  std::sin(2 * (la - a[b]));
        }
        const xyz north(-std::sin(fi) * std::cos(la), -std::sin(fi) * std::sin(la), std::cos(fi));
        const xyz east(-std::sin(la), std::cos(la), 0);
        const xyz want = north * dn + east * de;
        EXPECT_VECTOR_CLOSE("ST1L1", Access::ST1L1(tide), want.GetX(), want.GetY(), want.GetZ(),
                            1e-17L);
    }
    {  // Station on the equator: no l(1) term; no north part of ST1ISEM.
        SCOPED_TRACE("station on the equator");
        tide.SetStaPosition(Direction(0, 17), one);
        tide.SetSunPosition(Direction(-20, 100), 1.5e11L);
        tide.SetMoonPosition(Direction(25, -30), 3.8e8L);
        Access::InPhase(tide);
        EXPECT_VECTOR_CLOSE("ST1L1", Access::ST1L1(tide), 0, 0, 0, 0);
        const xyz isem = Access::ST1ISEM(tide);
        EXPECT_EQ(isem.GetZ(), 0);  // north is the z axis here
        EXPECT_GT(std::fabs(isem.GetX()) + std::fabs(isem.GetY()), 1e-6L);
    }
    {  // Greenwich station, bodies in the x-z plane: east components only.
        SCOPED_TRACE("Greenwich meridian");
        tide.SetStaPosition(Direction(46, 0), one);
        tide.SetSunPosition(Direction(-20, 0), 1.5e11L);
        const long double b = 25 * kDegToRad;  // Moon over the 180th meridian
        tide.SetMoonPosition(xyz(-std::cos(b), 0, std::sin(b)), 3.8e8L);
        Access::InPhase(tide);
        for (const xyz& d : {Access::ST1IDIU(tide), Access::ST1ISEM(tide)}) {
            EXPECT_EQ(d.GetX(), 0);
            EXPECT_EQ(d.GetZ(), 0);
            EXPECT_GT(std::fabs(d.GetY()), 1e-6L);
        }
    }
}

TEST(TideCorrections, SecondStepAtTheEquator) {
    const long double one = 1;
    SolidEarthTide tide;
    tide.SetStaPosition(xyz(1, 0, 0), one);
    Access::SetT(tide, 0);

    // Diurnal band: neither radial (x) nor east (y) parts, only north (z).
    const xyz diu = Access::STEP2DIU(tide, mjd(51544, 30000));
    EXPECT_EQ(diu.GetX(), 0);
    EXPECT_EQ(diu.GetY(), 0);
    EXPECT_GT(std::fabs(diu.GetZ()), 1e-5L);

    // Long-period band: radial only, with g = -1/2; at T = 0 the angles are
    // the constant terms of their polynomials.
    const long double S = 218.31664563L, H = 280.46645L, P = 83.35324312L, ZNS = 234.95544499L,
                      PS = 282.93734098L;
    const long double rows[5][9] = {{0, 0, 0, 1, 0, 0.47, 0.23, 0.16, 0.07},
                                    {0, 2, 0, 0, 0, -0.20, -0.12, -0.11, -0.05},
                                    {1, 0, -1, 0, 0, -0.11, -0.08, -0.09, -0.04},
                                    {2, 0, 0, 0, 0, -0.13, -0.11, -0.15, -0.07},
                                    {2, 0, 0, 1, 0, -0.05, -0.05, -0.06, -0.03}};
    long double radial = 0;
    for (const auto& r : rows) {
        const long double th =
            std::fmod(r[0] * S + r[1] * H + r[2] * P + r[3] * ZNS + r[4] * PS, 360.0L) * kDegToRad;
        radial += -0.5L * (r[5] * std::cos(th) + r[7] * std::sin(th));
    }
    const xyz lon = Access::STEP2LON(tide);
    EXPECT_VECTOR_CLOSE("STEP2LON", lon, radial / 1000, 0, 0, 1e-18L);
}

TEST(TidePoles, StationOnThePolarAxisMatchesStationsAHairOffIt) {
    // Regression: a station on the polar axis divided by cos(latitude) = 0
    // and every later value was NaN.
    const mjd e(60000, 0);
    LuniSolarPosition lsp;
    xyz sun, moon;
    long double rsun = 0, rmoon = 0, one = 1;
    lsp.SunPosition(e, sun, rsun);
    lsp.MoonPosition(e, moon, rmoon);
    auto displacement = [&](const xyz& sta) {
        SolidEarthTide tide;
        tide.SetStaPosition(sta, one);
        tide.SetSunPosition(sun, rsun);
        tide.SetMoonPosition(moon, rmoon);
        xyz d;
        tide.GetDisplacement(e, d);
        return d;
    };
    const long double eps = 1e-12L;
    for (long double zs : {1.0L, -1.0L}) {
        SCOPED_TRACE(zs > 0 ? "north pole" : "south pole");
        const xyz pole = displacement(xyz(0, 0, zs));
        ASSERT_TRUE(std::isfinite(pole.GetX()) && std::isfinite(pole.GetY()) &&
                    std::isfinite(pole.GetZ()));
        EXPECT_GT(pole.GetLength(), 0.01L);  // a real tide, not a zero
        const xyz negzero = displacement(xyz(-0.0L, -0.0L, zs));
        EXPECT_VECTOR_CLOSE("-0 components", negzero, pole.GetX(), pole.GetY(), pole.GetZ(), 0);
        // Components whose squares underflow count as the axis itself.
        const xyz tiny = displacement(xyz(-1e-3000L, 1e-3000L, zs));
        EXPECT_VECTOR_CLOSE("underflowing components", tiny, pole.GetX(), pole.GetY(), pole.GetZ(),
                            0);
        for (long double la : {0.0L, 1.0L, -2.5L, 3.1L}) {
            const xyz near = displacement(
                xyz(eps * std::cos(la), eps * std::sin(la), zs * std::sqrt(1 - eps * eps)));
            EXPECT_VECTOR_CLOSE("a hair off", near, pole.GetX(), pole.GetY(), pole.GetZ(), 1e-12L);
        }
    }
}

TEST(TideState, EpochPathAllocatesNothing) {
    // The counter does see allocations.
    const long before = testsupport::g_allocations;
    void* volatile p = ::operator new(16);
    ::operator delete(p);
    ASSERT_EQ(testsupport::g_allocations.load(), before + 1);

    LuniSolarPosition lsp;
    SolidEarthTide tide;
    const long double one = 1;
    tide.SetStaPosition(Direction(46, 14.5), one);
    mjd e(58500, 0);
    xyz sun, moon, d;
    long double rsun = 0, rmoon = 0, check = 0;
    const long start = testsupport::g_allocations;
    for (int i = 0; i < 2000; ++i) {
        lsp.SunPosition(e, sun, rsun);
        lsp.MoonPosition(e, moon, rmoon);
        tide.SetSunPosition(sun, rsun);
        tide.SetMoonPosition(moon, rmoon);
        tide.GetDisplacement(e, d);
        check += d.GetZ();
        e += 3600.0L;
    }
    EXPECT_EQ(testsupport::g_allocations.load(), start);
    EXPECT_TRUE(std::isfinite(check));
}
