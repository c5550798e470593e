// The epoch loop's fast paths: the Sun and Moon found together equal each
// found alone to the last bit; a local frame made once turns vectors as the
// geodetic point does, to the last bit; the constituents of the tide's
// second step, built by the angle-addition identities, agree with each
// constituent evaluated alone by the model's formulas; and the table's loop
// allocates nothing per row.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <new>
#include <streambuf>

#include "GNSS/LuniSolarPosition.h"
#include "GNSS/SolidEarthTide.h"
#include "GNSS/flh.h"
#include "GNSS/g_lg.h"
#include "GNSS/mjd.h"
#include "GNSS/neu.h"
#include "GNSS/xyz.h"
#include "src/Havorkastilo.h"
#include "src/fCheckArgs.h"
#include "src/fProcData.h"
#include "support/bits.h"
#include "support/count_allocations.h"
#include "support/tide_access.h"

using Access = SolidEarthTideTestAccess;

using testsupport::SameBits;
using testsupport::Uniform;

namespace {

constexpr long double kDegToRad = 0.017453292519943295;

::testing::AssertionResult SameVector(const xyz& a, const xyz& b) {
    if (SameBits(a.GetX(), b.GetX()) && SameBits(a.GetY(), b.GetY()) &&
        SameBits(a.GetZ(), b.GetZ()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::setprecision(21) << "(" << a.GetX() << ", " << a.GetY() << ", " << a.GetZ()
           << ") differs from (" << b.GetX() << ", " << b.GetY() << ", " << b.GetZ() << ")";
}

// Unit vector of geocentric latitude fi and longitude la (degrees).
xyz Direction(long double fi, long double la) {
    fi *= kDegToRad;
    la *= kDegToRad;
    return xyz(std::cos(fi) * std::cos(la), std::cos(fi) * std::sin(la), std::sin(fi));
}

// The second step of the tide evaluated constituent by constituent, as the
// model states it: the fundamental angles from their polynomials in T, each
// argument summed in degrees, converted and handed to sin and cos.  Station
// terms from the unit vector u (not on the polar axis).
struct Step2Reference {
    long double SINPHI, COSPHI, SINLA, COSLA, ZLA;
    explicit Step2Reference(const xyz& u) {
        SINPHI = u.GetZ();
        COSPHI = std::sqrt(u.GetX() * u.GetX() + u.GetY() * u.GetY());
        SINLA = u.GetY() / COSPHI;
        COSLA = u.GetX() / COSPHI;
        ZLA = std::atan2(u.GetY(), u.GetX());
    }
    // Angles S (after the precession), H, P, ZNS, PS, reduced; S0 before the
    // precession.
    void Angles(long double T, long double a[5], long double& S0) const {
        S0 = ((0.00000185139 * T - 0.0014663889) * T + 481267.88194) * T + 218.31664563;
        const long double PR =
            (((0.000000007 * T + 0.000000021) * T + 0.000308889) * T + 1.396971278) * T;
        a[0] = S0 + PR;
        a[1] = (((-0.00000000654 * T + 0.000000020) * T + 0.00030322222) * T + 36000.7697489) * T +
               280.46645;
        a[2] = (((0.00000005263 * T - 0.0000124991) * T - 0.01032172222) * T + 4069.01363525) * T +
               83.35324312;
        a[3] = (((0.00000001650 * T - 0.00000213944) * T - 0.00207561111) * T + 1934.13626197) * T +
               234.95544499;
        a[4] =
            (((-0.00000000334 * T - 0.00000001778) * T + 0.00045688889) * T + 1.71945766667) * T +
            282.93734098;
        for (int k = 0; k < 5; ++k) a[k] = std::fmod(a[k], 360.0L);
    }
    void Add(long double DR, long double DN, long double DE, long double d[3]) const {
        d[0] += DR * COSLA * COSPHI - DE * SINLA - DN * SINPHI * COSLA;
        d[1] += DR * SINLA * COSPHI + DE * COSLA - DN * SINPHI * SINLA;
        d[2] += DR * SINPHI + DN * COSPHI;
    }
    xyz Diurnal(const long double (&tab)[31][9], const mjd& e, long double T) const {
        long double a[5], S0;
        Angles(T, a, S0);
        const long double FHR = e.GetSecond() / 3600.0;
        long double TAU = FHR * 15 + 280.4606184 + 36000.7700536 * T + 0.00038793 * T * T -
                          0.0000000258 * T * T * T - S0;
        TAU = std::fmod(TAU, 360.0L);
        const long double C2 = COSPHI * COSPHI - SINPHI * SINPHI;
        long double d[3] = {0, 0, 0};
        for (const auto& r : tab) {
            const long double THETAF =
                (TAU + r[0] * a[0] + r[1] * a[1] + r[2] * a[2] + r[3] * a[3] + r[4] * a[4]) *
                kDegToRad;
            const long double sa = std::sin(THETAF + ZLA), ca = std::cos(THETAF + ZLA);
            Add(2 * r[5] * SINPHI * COSPHI * sa + 2 * r[6] * SINPHI * COSPHI * ca,
                r[7] * C2 * sa + r[8] * C2 * ca, r[7] * SINPHI * ca - r[8] * SINPHI * sa, d);
        }
        return xyz(d[0] / 1000, d[1] / 1000, d[2] / 1000);
    }
    xyz LongPeriod(const long double (&tab)[5][9], long double T) const {
        long double a[5], S0;
        Angles(T, a, S0);
        const long double g = (3 * SINPHI * SINPHI - 1) / 2, k = 2 * COSPHI * SINPHI;
        long double d[3] = {0, 0, 0};
        for (const auto& r : tab) {
            const long double THETAF =
                (r[0] * a[0] + r[1] * a[1] + r[2] * a[2] + r[3] * a[3] + r[4] * a[4]) * kDegToRad;
            const long double cf = std::cos(THETAF), sf = std::sin(THETAF);
            Add(r[5] * g * cf + r[7] * g * sf, r[6] * k * cf + r[8] * k * sf, 0, d);
        }
        return xyz(d[0] / 1000, d[1] / 1000, d[2] / 1000);
    }
};

// The in-phase degree-2 and degree-3 step as the model writes it, with the
// library's pow for the cubes; station unit vector s, Sun and Moon unit
// vectors and distances (metres).
xyz InPhaseWithPow(const xyz& s, const xyz& sun, long double rsun, const xyz& moon,
                   long double rmoon) {
    const long double H20 = 0.6078, L20 = 0.0847, H3 = 0.292, L3 = 0.015;
    const long double MRS = 332946.0482, MRM = 0.0123000371, RE = 6378136.6;
    const long double SCSUN = sun * s, SCMON = moon * s;
    const long double c = std::sqrt(s.GetX() * s.GetX() + s.GetY() * s.GetY());
    const long double H2 = H20 - 0.0006 * (1 - 1.5 * c * c);
    const long double L2 = L20 + 0.0002 * (1 - 1.5 * c * c);
    const long double P2SUN = 3 * (H2 / 2 - L2) * SCSUN * SCSUN - H2 / 2;
    const long double P2MON = 3 * (H2 / 2 - L2) * SCMON * SCMON - H2 / 2;
    const long double P3SUN = 2.5 * (H3 - 3 * L3) * std::pow(SCSUN, 3) + 1.5 * (L3 - H3) * SCSUN;
    const long double P3MON = 2.5 * (H3 - 3 * L3) * std::pow(SCMON, 3) + 1.5 * (L3 - H3) * SCMON;
    const long double X2SUN = 3 * L2 * SCSUN, X2MON = 3 * L2 * SCMON;
    const long double X3SUN = 3 * L3 / 2 * (5 * SCSUN * SCSUN - 1);
    const long double X3MON = 3 * L3 / 2 * (5 * SCMON * SCMON - 1);
    const long double F2S = MRS * RE * std::pow(RE / rsun, 3);
    const long double F2M = MRM * RE * std::pow(RE / rmoon, 3);
    const long double F3S = F2S * (RE / rsun), F3M = F2M * (RE / rmoon);
    long double d[3];
    for (int i = 0; i < 3; ++i) {
        const long double si = i == 0 ? s.GetX() : i == 1 ? s.GetY() : s.GetZ();
        const long double ui = i == 0 ? sun.GetX() : i == 1 ? sun.GetY() : sun.GetZ();
        const long double mi = i == 0 ? moon.GetX() : i == 1 ? moon.GetY() : moon.GetZ();
        d[i] = F2S * (X2SUN * ui + P2SUN * si) + F2M * (X2MON * mi + P2MON * si) +
               F3S * (X3SUN * ui + P3SUN * si) + F3M * (X3MON * mi + P3MON * si);
    }
    return xyz(d[0], d[1], d[2]);
}

void ExpectNear(const char* what, const xyz& got, const xyz& want, long double tol) {
    const long double miss = std::fabs(got.GetX() - want.GetX()) +
                             std::fabs(got.GetY() - want.GetY()) +
                             std::fabs(got.GetZ() - want.GetZ());
    EXPECT_LE(miss, tol) << what << ": miss " << std::scientific << static_cast<double>(miss)
                         << " m";
}

// A stream buffer that takes every character and keeps none: the table can
// be written without the output growing anything.
class Discard : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Allocations made by one ProcData run of the settings s (standard output
// discarded).
long AllocationsOfTable(Havorkastilo s) {
    Discard sink;
    std::streambuf* saved = std::cout.rdbuf(&sink);
    const std::ios::fmtflags flags = std::cout.flags();
    const long before = testsupport::g_allocations;
    ProcData(s);
    const long made = testsupport::g_allocations - before;
    std::cout.rdbuf(saved);
    std::cout.flags(flags);
    return made;
}

}  // namespace

TEST(EpochPathSunMoon, TogetherEqualsEachAloneToTheLastBit) {
    LuniSolarPosition lsp;
    Uniform u(7);
    // Days 15385 (1901) to 124593 (2199): both signs of the century argument,
    // every leap-second count of the table.
    for (int i = 0; i < 20000; ++i) {
        const mjd e(static_cast<std::uint32_t>(15385 + u() * (124593 - 15385)),
                    std::floor(u() * 864000) / 10);
        xyz sun1, moon1, sun2, moon2;
        long double rs1 = 0, rm1 = 0, rs2 = 0, rm2 = 0;
        lsp.SunPosition(e, sun1, rs1);
        lsp.MoonPosition(e, moon1, rm1);
        lsp.SunMoonPosition(e, sun2, rs2, moon2, rm2);
        ASSERT_TRUE(SameVector(sun1, sun2)) << "Sun at " << e.GetMJDay() << " " << e.GetSecond();
        ASSERT_TRUE(SameVector(moon1, moon2)) << "Moon at " << e.GetMJDay();
        ASSERT_TRUE(SameBits(rs1, rs2) && SameBits(rm1, rm2)) << "distances at " << e.GetMJDay();
    }
}

TEST(EpochPathLocalFrame, TurnsVectorsAsTheGeodeticPointToTheLastBit) {
    Uniform u(11);
    for (int i = 0; i < 20000; ++i) {
        flh p;
        // Latitudes to the poles, longitudes beyond +-180 degrees as the
        // geometry modes produce them.
        p.Set((u() - 0.5L) * 3.141592653589793, (u() - 0.5L) * 7, u() * 5000);
        const xyz v((u() - 0.5L) * 0.6, (u() - 0.5L) * 0.6, (u() - 0.5L) * 0.6);
        const neu a = g2lg(v, p);
        const neu b = g2lg(v, LocalFrame(p));
        const neu c = g2lg(v, LocalFrame(p.GetF(), p.GetL()));
        ASSERT_TRUE(SameBits(a.GetN(), b.GetN()) && SameBits(a.GetE(), b.GetE()) &&
                    SameBits(a.GetU(), b.GetU()))
            << "at " << p.GetF() << ", " << p.GetL();
        ASSERT_TRUE(SameBits(b.GetN(), c.GetN()) && SameBits(b.GetE(), c.GetE()) &&
                    SameBits(b.GetU(), c.GetU()));
    }
}

TEST(EpochPathTideStep2, AngleAdditionAgreesWithEachConstituentAlone) {
    // Stations at mid latitudes, in the south and the west, on the equator,
    // on the Greenwich and the date line, a hair off the pole.
    const long double stations[][2] = {{46, 14.5}, {-33.9, 18.4}, {37.8, -122.4}, {0, 0},
                                       {0, 180},   {-78, -165},   {89.999, 45},   {12, -77}};
    Uniform u(3);
    for (const auto& st : stations) {
        SCOPED_TRACE(testing::Message() << "station " << st[0] << ", " << st[1]);
        SolidEarthTide tide;
        const xyz dir = Direction(st[0], st[1]);
        const long double one = 1;
        tide.SetStaPosition(dir, one);
        const Step2Reference ref(dir);
        for (int i = 0; i < 2000; ++i) {
            // From 1901 to 2199, and the far ends of the polynomials.
            const long double T = i < 1990 ? (u() - 0.5L) * 6 : (i - 1995) * 10.0L;
            const mjd e(58500, std::floor(u() * 864000) / 10);
            Access::SetT(tide, T);
            // The tide's own amplitudes are a few millimetres; the two forms
            // differ by roundings of some 1e-20 m.
            ExpectNear("STEP2DIU", Access::STEP2DIU(tide, e),
                       ref.Diurnal(Access::DATDIU(tide), e, T), 1e-18L);
            ExpectNear("STEP2LON", Access::STEP2LON(tide), ref.LongPeriod(Access::DATLON(tide), T),
                       1e-18L);
        }
    }
}

TEST(EpochPathTideInPhase, CubesMultipliedOutEqualTheLibrarysPowToTheLastBit) {
    // Stations anywhere off the polar axis; Sun and Moon of epochs from 1901
    // to 2199, and directions and distances anywhere, up to a body in the
    // zenith (zenith cosine 1) and far beyond the series' distances.
    LuniSolarPosition lsp;
    Uniform u(19);
    for (int i = 0; i < 200000; ++i) {
        const xyz sta = Direction((u() - 0.5L) * 179.8, (u() - 0.5L) * 360);
        xyz sun, moon;
        long double rsun = 0, rmoon = 0;
        if (i % 2 == 0) {
            const mjd e(static_cast<std::uint32_t>(15385 + u() * (124593 - 15385)),
                        std::floor(u() * 864000) / 10);
            lsp.SunMoonPosition(e, sun, rsun, moon, rmoon);
        } else {
            sun = i % 7 == 1 ? sta : Direction((u() - 0.5L) * 180, (u() - 0.5L) * 360);
            moon = i % 7 == 3 ? sta : Direction((u() - 0.5L) * 180, (u() - 0.5L) * 360);
            rsun = 1e9L + u() * 1e12L;
            rmoon = 1e7L + u() * 1e9L;
        }
        SolidEarthTide tide;
        const long double one = 1;
        tide.SetStaPosition(sta, one);
        tide.SetSunPosition(sun, rsun);
        tide.SetMoonPosition(moon, rmoon);
        ASSERT_TRUE(SameVector(Access::InPhase(tide), InPhaseWithPow(sta, sun, rsun, moon, rmoon)))
            << "sample " << i;
    }
}

TEST(EpochPathAllocation, TableAllocatesTheSameForOneRowAndForThousands) {
    // The counter does see allocations.
    const long before = testsupport::g_allocations;
    void* volatile p = ::operator new(16);
    ::operator delete(p);
    ASSERT_EQ(testsupport::g_allocations.load(), before + 1);

    Havorkastilo s;
    CheckArguments(s);  // the default station and its Cartesian form
    s.threads = 1;      // the loop on one thread (the threaded loop has its own test)
    Havorkastilo one = s;
    one.enE = one.stE;
    Havorkastilo many = s;
    many.dt = 60;
    many.enE.Set(58503, 0);  // three days and one minute: 4321 rows
    const long first = AllocationsOfTable(one);
    EXPECT_EQ(AllocationsOfTable(many), first);

    // Every geometry mode adds its conversions to each row, and no
    // allocation.
    many.SetCoLinear = many.setOrthoSun = many.setOrthoMoon = many.setOrthoNone = true;
    one.SetCoLinear = one.setOrthoSun = one.setOrthoMoon = one.setOrthoNone = true;
    EXPECT_EQ(AllocationsOfTable(many), AllocationsOfTable(one));
}
