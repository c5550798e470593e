// Solid Earth tide displacement (IERS Conventions 2010, chapter 7); see the
// header for the frames, units and time scales.
#include "GNSS/SolidEarthTide.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "GNSS/TimeConverse.h"
#include "funkcije/Numerics.h"
#include "funkcije/KotneFunkcije.h"

namespace {

using numerics::kDegToRad;

// The mass of the Sun and of the Moon over the Earth's, and the Earth's
// equatorial radius [m], of the model.
constexpr double kMassRatioSun = 332946.0482;
constexpr double kMassRatioMoon = 0.0123000371;
constexpr double kEarthRadius = 6378136.6;

// The out-of-phase parts of h (diurnal, semidiurnal band) and of l, and l(1)
// of the two bands, of the model's step 1.
constexpr double kDHIDiurnal = -0.0025;
constexpr double kDHISemidiurnal = -0.0022;
constexpr double kDLI = -0.0007;
constexpr double kL1Diurnal = 0.0012;
constexpr double kL1Semidiurnal = 0.0024;

// Rows of the diurnal-band table: multipliers of S, H, P, ZNS, PS, then the
// radial sine and cosine and the horizontal sine and cosine amplitudes (mm).
constexpr double kDATDIU[31][9] = {{-3, 0, 2, 0, 0, -0.01, 0, 0, 0},
                                   {-3, 2, 0, 0, 0, -0.01, 0, 0, 0},
                                   {-2, 0, 1, -1, 0, -0.02, 0, 0, 0},
                                   {-2, 0, 1, 0, 0, -0.08, 0, -0.01, 0.01},
                                   {-2, 2, -1, 0, 0, -0.02, 0, 0, 0},
                                   {-1, 0, 0, -1, 0, -0.10, 0, 0, 0},
                                   {-1, 0, 0, 0, 0, -0.51, 0, -0.02, 0.03},
                                   {-1, 2, 0, 0, 0, 0.01, 0, 0, 0},
                                   {0, -2, 1, 0, 0, 0.01, 0, 0, 0},
                                   {0, 0, -1, 0, 0, 0.02, 0, 0, 0},
                                   {0, 0, 1, 0, 0, 0.06, 0, 0, 0},
                                   {0, 0, 1, 1, 0, 0.01, 0, 0, 0},
                                   {0, 2, -1, 0, 0, 0.01, 0, 0, 0},
                                   {1, -3, 0, 0, 1, -0.06, 0, 0, 0},
                                   {1, -2, 0, -1, 0, 0.01, 0, 0, 0},
                                   {1, -2, 0, 0, 0, -1.23, -0.07, 0.06, 0.01},
                                   {1, -1, 0, 0, -1, 0.02, 0, 0, 0},
                                   {1, -1, 0, 0, 1, 0.04, 0, 0, 0},
                                   {1, 0, 0, -1, 0, -0.22, 0.01, 0.01, 0},
                                   {1, 0, 0, 0, 0, 12, -0.80, -0.67, -0.03},
                                   {1, 0, 0, 1, 0, 1.73, -0.12, -0.10, 0},
                                   {1, 0, 0, 2, 0, -0.04, 0, 0, 0},
                                   {1, 1, 0, 0, -1, -0.50, -0.01, 0.03, 0},
                                   {1, 1, 0, 0, 1, 0.01, 0, 0, 0},
                                   {0, 1, 0, 1, -1, -0.01, 0, 0, 0},
                                   {1, 2, -2, 0, 0, -0.01, 0, 0, 0},
                                   {1, 2, 0, 0, 0, -0.11, 0.01, 0.01, 0},
                                   {2, -2, 1, 0, 0, -0.01, 0, 0, 0},
                                   {2, 0, -1, 0, 0, -0.02, 0, 0, 0},
                                   {3, 0, 0, 0, 0, 0, 0, 0, 0},
                                   {3, 0, 0, 1, 0, 0, 0, 0, 0}};

// Rows of the long-period table: multipliers of S, H, P, ZNS, PS, then the
// radial cosine, north cosine, radial sine and north sine amplitudes (mm).
constexpr double kDATLON[5][9] = {{0, 0, 0, 1, 0, 0.47, 0.23, 0.16, 0.07},
                                  {0, 2, 0, 0, 0, -0.20, -0.12, -0.11, -0.05},
                                  {1, 0, -1, 0, 0, -0.11, -0.08, -0.09, -0.04},
                                  {2, 0, 0, 0, 0, -0.13, -0.11, -0.15, -0.07},
                                  {2, 0, 0, 1, 0, -0.05, -0.05, -0.06, -0.03}};

// The multipliers of the fundamental angles in the rows of the two tables, as
// integers.
template <std::size_t N>
constexpr std::array<std::array<signed char, 5>, N> MultipliersOf(const double (&table)[N][9]) {
    std::array<std::array<signed char, 5>, N> m{};
    for (std::size_t j = 0; j < N; ++j)
        for (std::size_t k = 0; k < 5; ++k) m[j][k] = static_cast<signed char>(table[j][k]);
    return m;
}
constexpr auto kDIUMULT = MultipliersOf(kDATDIU);
constexpr auto kLONMULT = MultipliersOf(kDATLON);

// The same multipliers as the angles they turn by, the zero ones left out:
// angle[i] (0..4 for S, H, P, ZNS, PS) taken multiple[i] times, i < count.
struct Turns {
    unsigned char count;
    unsigned char angle[5];
    signed char multiple[5];
};
template <std::size_t N>
constexpr std::array<Turns, N> TurnsOf(const std::array<std::array<signed char, 5>, N>& m) {
    std::array<Turns, N> t{};
    for (std::size_t j = 0; j < N; ++j) {
        for (unsigned char k = 0; k < 5; ++k) {
            if (m[j][k] == 0) continue;
            t[j].angle[t[j].count] = k;
            t[j].multiple[t[j].count] = m[j][k];
            ++t[j].count;
        }
    }
    return t;
}
constexpr auto kDIUTURNS = TurnsOf(kDIUMULT);
constexpr auto kLONTURNS = TurnsOf(kLONMULT);

// x^3 as (x x) x.  The library's pow of an extended value to a small whole
// power multiplies it out in extended precision the same way (square, then
// times x), so this is std::pow(x, 3) to the last bit, without the call and
// its tests of the arguments.
inline long double Cube(long double x) {
    return x * x * x;
}

// Cosine and sine of an angle; the product of two is the pair of the sum of
// the angles.
struct Phasor {
    long double c, s;
};

// Cosine and sine of the sum of two angles from those of the angles.
template <class Phasor>
inline Phasor Times(const Phasor& a, const Phasor& b) {
    return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

// Cosine and sine of a constituent's argument: z turned by m[k] times angle k
// for the angles k = first..4, phase[k][m + 3] being the phasor of m times
// angle k.
template <class Phasor>
inline Phasor Argument(Phasor z, const Phasor (&phase)[5][7], const std::array<signed char, 5>& m,
                       std::size_t first) {
    for (std::size_t k = first; k < 5; ++k) {
        if (m[k] != 0) z = Times(z, phase[k][m[k] + 3]);
    }
    return z;
}

// Cosine and sine of a constituent's argument: the phasor of its first angle
// with a multiple, turned by the others in table-column order (a turn by a
// zero angle, an exact 1, is left out).
template <class Phasor>
inline Phasor Argument(const Phasor (&phase)[5][7], const Turns& t) {
    if (t.count == 0) return phase[0][3];
    Phasor z = phase[t.angle[0]][t.multiple[0] + 3];
    for (unsigned i = 1; i < t.count; ++i) z = Times(z, phase[t.angle[i]][t.multiple[i] + 3]);
    return z;
}

// Fundamental angles of the second step, degrees, as polynomials in T
// (Julian centuries of TT from J2000.0), evaluated from the highest power
// down.  S is the mean longitude of the Moon before the precession PR is
// added to it.
struct FundamentalAngles {
    long double S, H, P, ZNS, PS;
};

long double MoonMeanLongitude(long double T) {
    return ((0.00000185139 * T - 0.0014663889) * T + 481267.88194) * T + 218.31664563;
}

// S + PR, H, P, ZNS and PS, not yet reduced.
FundamentalAngles Angles(long double T, long double S) {
    const long double PR =
        (((0.000000007 * T + 0.000000021) * T + 0.000308889) * T + 1.396971278) * T;
    FundamentalAngles a;
    a.S = S + PR;
    a.H = (((-0.00000000654 * T + 0.000000020) * T + 0.00030322222) * T + 36000.7697489) * T +
          280.46645;
    a.P = (((0.00000005263 * T - 0.0000124991) * T - 0.01032172222) * T + 4069.01363525) * T +
          83.35324312;
    a.ZNS = (((0.00000001650 * T - 0.00000213944) * T - 0.00207561111) * T + 1934.13626197) * T +
            234.95544499;
    a.PS = (((-0.00000000334 * T - 0.00000001778) * T + 0.00045688889) * T + 1.71945766667) * T +
           282.93734098;
    return a;
}

}  // namespace

SolidEarthTide::SolidEarthTide()
    : RSUN(0),
      RMON(0),
      RSTA(0),
      XSUN(),
      XMON(),
      XSTA(),
      DXCOR(),
      H20(0.6078),
      L20(0.0847),
      H3(0.292),
      L3(0.015),
      MASS_RATIO_SUN(kMassRatioSun),
      MASS_RATIO_MOON(kMassRatioMoon),
      RE(kEarthRadius),
      SINPHI(0),
      COSPHI(0),
      SINLA(0),
      COSLA(0),
      DHI(0),
      DLI(0),
      L1D(0),
      L1SD(0),
      FAC2SUN(0),
      FAC2MON(0),
      FAC3SUN(0),
      FAC3MON(0),
      T(0),
      DATDIU(),
      DATLON(),
      station_() {
    for (int i = 0; i < 31; ++i)
        for (int j = 0; j < 9; ++j) DATDIU[i][j] = kDATDIU[i][j];
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 9; ++j) DATLON[i][j] = kDATLON[i][j];
}

void SolidEarthTide::SetStaPosition(const xyz& Pos, const long double& Mag) {
    XSTA = Pos;
    RSTA = Mag;
    SINPHI = XSTA.GetZ();
    COSPHI = std::sqrt(XSTA.GetX() * XSTA.GetX() + XSTA.GetY() * XSTA.GetY());
    if (COSPHI == 0) {
        // On the polar axis (or so near it that x^2 + y^2 underflows) the
        // longitude is undefined: take 0, and make the equatorial components
        // +0 so that every longitude term agrees with it.
        XSTA.SetX(0);
        XSTA.SetY(0);
        SINLA = 0;
        COSLA = 1;
    } else {
        SINLA = XSTA.GetY() / COSPHI;
        COSLA = XSTA.GetX() / COSPHI;
    }

    // The factors of every correction that depend on the station alone: the
    // leading products of the model's terms, formed as the terms form them
    // (from the left), so that a term is the same product to the last bit.
    StationTerms& t = station_;
    t.COS2PHI = COSPHI * COSPHI - SINPHI * SINPHI;
    t.COSTWOLA = COSLA * COSLA - SINLA * SINLA;
    t.SINTWOLA = 2 * COSLA * SINLA;
    const long double c = COSPHI;
    t.H2 = H20 - 0.0006 * (1 - 1.5 * c * c);
    t.L2 = L20 + 0.0002 * (1 - 1.5 * c * c);
    t.P2 = 3 * (t.H2 / 2 - t.L2);
    t.X2 = 3 * t.L2;
    {
        const long double DHI_ = kDHIDiurnal, DLI_ = kDLI;
        t.diuR = -3 * DHI_ * SINPHI * COSPHI;
        t.diuN = -3 * DLI_ * t.COS2PHI;
        t.diuE = -3 * DLI_ * SINPHI;
    }
    {
        const long double DHI_ = kDHISemidiurnal, DLI_ = kDLI;
        t.semR = -0.75 * DHI_ * COSPHI * COSPHI;
        t.semN = 1.5 * DLI_ * SINPHI * COSPHI;
        t.semE = -1.5 * DLI_ * COSPHI;
    }
    {
        const long double L1 = kL1Diurnal;
        t.l1dN = -L1 * SINPHI * SINPHI;
        t.l1dE = L1 * SINPHI * (COSPHI * COSPHI - SINPHI * SINPHI);
    }
    {
        const long double L1 = kL1Semidiurnal;
        t.l1sN = -L1 / 2 * SINPHI * COSPHI;
        t.l1sE = -L1 / 2 * SINPHI * SINPHI * COSPHI;
    }
    t.diurnalR = 2 * SINPHI * COSPHI;
    t.longR = (3 * SINPHI * SINPHI - 1) / 2;
    t.longN = 2 * COSPHI * SINPHI;
}

void SolidEarthTide::SetSunPosition(const xyz& Pos, const long double& Mag) {
    XSUN = Pos;
    RSUN = Mag;
}

void SolidEarthTide::SetMoonPosition(const xyz& Pos, const long double& Mag) {
    XMON = Pos;
    RMON = Mag;
}

void SolidEarthTide::GetDisplacement(const mjd& eph, xyz& DXTIDE) {
    ST1INPHASE(DXTIDE);

    ST1IDIU();
    DXTIDE += DXCOR;
    ST1ISEM();
    DXTIDE += DXCOR;
    ST1L1();
    DXTIDE += DXCOR;

    const EpochTerms terms = TermsAt(eph);
    T = terms.T;
    DXCOR = Diurnal(terms);
    DXTIDE += DXCOR;
    DXCOR = LongPeriod(terms);
    DXTIDE += DXCOR;
}

void SolidEarthTide::Displacement(const EpochTerms& terms, const xyz& XSUN_, long double RSUN_,
                                  const xyz& XMON_, long double RMON_, xyz& DXTIDE) const {
    Displacement(terms, FactorsOf(RSUN_, RMON_), XSUN_, XMON_, DXTIDE);
}

void SolidEarthTide::Displacement(const EpochTerms& terms, const Factors& f, const xyz& XSUN_,
                                  const xyz& XMON_, xyz& DXTIDE) const {
    DXTIDE = InPhase(XSUN_, XMON_, f);
    DXTIDE += OutOfPhaseDiurnal(XSUN_, XMON_, f);
    DXTIDE += OutOfPhaseSemidiurnal(XSUN_, XMON_, f);
    DXTIDE += LatitudeDependence(XSUN_, XMON_, f);
    DXTIDE += Diurnal(terms);
    DXTIDE += LongPeriod(terms);
}

SolidEarthTide::EpochTerms SolidEarthTide::TermsAt(const mjd& eph) {
    // UTC to Terrestrial Time: LeapSecond + 19 s is TAI - UTC, 32.184 s is
    // TT - TAI; 3155760000 is the number of seconds in a Julian century.
    long double centuries = (eph.GetMJDDec() - 51544.5) / 36525.0;
    const long double DTT = static_cast<long double>(LeapSecond(eph)) + 19 + 32.184;
    centuries = centuries + DTT / 3155760000.0;
    return TermsAt(eph, centuries);
}

SolidEarthTide::EpochTerms SolidEarthTide::TermsAt(const mjd& eph, long double centuries) {
    EpochTerms A;
    A.T = centuries;
    const long double S0 = MoonMeanLongitude(centuries);
    const FundamentalAngles a = Angles(centuries, S0);
    // fmod keeps the sign: a negative angle stays negative.
    const long double degrees[5] = {std::fmod(a.S, 360.0L), std::fmod(a.H, 360.0L),
                                    std::fmod(a.P, 360.0L), std::fmod(a.ZNS, 360.0L),
                                    std::fmod(a.PS, 360.0L)};
    // The constituents' arguments are whole multiples (at most 3) of these
    // angles, so their sines and cosines follow from the angles' own by the
    // angle-addition identities: five sine-cosine pairs instead of one per
    // constituent.  PHASE[k][m + 3] is the phasor of m times angle k.
    Phasor PHASE[5][7];
    for (int k = 0; k < 5; ++k) {
        Phasor* p = PHASE[k] + 3;  // p[m], m = -3..3
        p[0] = Phasor{1, 0};
        SinCosByQuadrant(degrees[k] * kDegToRad, p[1].s, p[1].c);
        p[2] = Times(p[1], p[1]);
        p[3] = Times(p[2], p[1]);
        for (int m = 1; m <= 3; ++m) p[-m] = Phasor{p[m].c, -p[m].s};
    }

    // Hour angle of the mean Moon: mean sidereal angle at the epoch's hour
    // minus the Moon's mean longitude (without the precession).
    const long double T = centuries;
    const long double FHR = eph.GetSecond() / 3600.0;
    long double TAU = FHR * 15 + 280.4606184 + 36000.7700536 * T + 0.00038793 * T * T -
                      0.0000000258 * T * T * T - S0;
    TAU = std::fmod(TAU, 360.0L);
    SinCosByQuadrant(TAU * kDegToRad, A.sinTAU, A.cosTAU);

    // The diurnal constituents' sums with the sine and the cosine of
    // TAU + lambda (see EpochTerms): theta_j's phasor (c, s) turns the
    // amplitudes of column [5] (sine) and [6] (cosine) into
    // ([5] c - [6] s) and ([5] s + [6] c), and likewise [7] and [8].
    A.radialSin = A.radialCos = A.horizontalSin = A.horizontalCos = 0;
    for (std::size_t j = 0; j < 31; ++j) {
        const double* r = kDATDIU[j];
        // Rows 30 and 31 add exactly nothing.
        if (r[5] == 0 && r[6] == 0 && r[7] == 0 && r[8] == 0) continue;
        const Phasor t = Argument(PHASE, kDIUTURNS[j]);
        // Most rows hold a radial sine amplitude alone: a zero amplitude's
        // products add nothing, and are left out.
        if (r[6] == 0) {
            A.radialSin += r[5] * t.c;
            A.radialCos += r[5] * t.s;
        } else {
            A.radialSin += r[5] * t.c - r[6] * t.s;
            A.radialCos += r[5] * t.s + r[6] * t.c;
        }
        if (r[7] != 0 || r[8] != 0) {
            A.horizontalSin += r[7] * t.c - r[8] * t.s;
            A.horizontalCos += r[7] * t.s + r[8] * t.c;
        }
    }
    A.longRadial = A.longNorth = 0;
    for (std::size_t j = 0; j < 5; ++j) {
        const double* r = kDATLON[j];
        const Phasor f = Argument(PHASE, kLONTURNS[j]);
        A.longRadial += r[5] * f.c + r[7] * f.s;
        A.longNorth += r[6] * f.c + r[8] * f.s;
    }
    return A;
}

void SolidEarthTide::ST1INPHASE(xyz& DXTIDE) {
    const Factors f = FactorsOf(RSUN, RMON);
    DXTIDE = InPhase(XSUN, XMON, f);
    FAC2SUN = f.FAC2SUN;
    FAC2MON = f.FAC2MON;
    FAC3SUN = f.FAC3SUN;
    FAC3MON = f.FAC3MON;
}

void SolidEarthTide::ST1IDIU() {
    DHI = kDHIDiurnal;
    DLI = kDLI;
    DXCOR = OutOfPhaseDiurnal(XSUN, XMON, MemberFactors());
}

void SolidEarthTide::ST1ISEM() {
    DHI = kDHISemidiurnal;
    DLI = kDLI;
    DXCOR = OutOfPhaseSemidiurnal(XSUN, XMON, MemberFactors());
}

void SolidEarthTide::ST1L1() {
    L1D = kL1Diurnal;
    L1SD = kL1Semidiurnal;
    DXCOR = LatitudeDependence(XSUN, XMON, MemberFactors());
}

void SolidEarthTide::STEP2DIU(const mjd& eph) {
    DXCOR = Diurnal(TermsAt(eph, T));
}

void SolidEarthTide::STEP2LON() {
    DXCOR = LongPeriod(TermsAt(mjd(), T));
}

SolidEarthTide::Factors SolidEarthTide::FactorsOf(long double RSUN_, long double RMON_) {
    const long double MASS_RATIO_SUN_ = kMassRatioSun, MASS_RATIO_MOON_ = kMassRatioMoon;
    const long double RE_ = kEarthRadius;
    Factors f;
    f.FAC2SUN = MASS_RATIO_SUN_ * RE_ * Cube(RE_ / RSUN_);
    f.FAC2MON = MASS_RATIO_MOON_ * RE_ * Cube(RE_ / RMON_);
    f.FAC3SUN = f.FAC2SUN * (RE_ / RSUN_);
    f.FAC3MON = f.FAC2MON * (RE_ / RMON_);
    return f;
}

xyz SolidEarthTide::InPhase(const xyz& XSUN_, const xyz& XMON_, const Factors& f) const {
    // Cosines of the zenith angles of the two bodies.
    const long double SCSUN = XSUN_ * XSTA;
    const long double SCMON = XMON_ * XSTA;

    // Radial (along XSTA) and along-the-body terms of degree 2 and 3, with
    // the latitude-dependent degree-2 numbers H2, L2 of the station.
    const StationTerms& t = station_;
    const long double P2SUN = t.P2 * SCSUN * SCSUN - t.H2 / 2;
    const long double P2MON = t.P2 * SCMON * SCMON - t.H2 / 2;
    const long double P3SUN = 2.5 * (H3 - 3 * L3) * Cube(SCSUN) + 1.5 * (L3 - H3) * SCSUN;
    const long double P3MON = 2.5 * (H3 - 3 * L3) * Cube(SCMON) + 1.5 * (L3 - H3) * SCMON;
    const long double X2SUN = t.X2 * SCSUN;
    const long double X2MON = t.X2 * SCMON;
    const long double X3SUN = 3 * L3 / 2 * (5 * SCSUN * SCSUN - 1);
    const long double X3MON = 3 * L3 / 2 * (5 * SCMON * SCMON - 1);

    const long double FAC2S = f.FAC2SUN, FAC2M = f.FAC2MON, FAC3S = f.FAC3SUN, FAC3M = f.FAC3MON;
    return xyz(FAC2S * (X2SUN * XSUN_.GetX() + P2SUN * XSTA.GetX()) +
                   FAC2M * (X2MON * XMON_.GetX() + P2MON * XSTA.GetX()) +
                   FAC3S * (X3SUN * XSUN_.GetX() + P3SUN * XSTA.GetX()) +
                   FAC3M * (X3MON * XMON_.GetX() + P3MON * XSTA.GetX()),
               FAC2S * (X2SUN * XSUN_.GetY() + P2SUN * XSTA.GetY()) +
                   FAC2M * (X2MON * XMON_.GetY() + P2MON * XSTA.GetY()) +
                   FAC3S * (X3SUN * XSUN_.GetY() + P3SUN * XSTA.GetY()) +
                   FAC3M * (X3MON * XMON_.GetY() + P3MON * XSTA.GetY()),
               FAC2S * (X2SUN * XSUN_.GetZ() + P2SUN * XSTA.GetZ()) +
                   FAC2M * (X2MON * XMON_.GetZ() + P2MON * XSTA.GetZ()) +
                   FAC3S * (X3SUN * XSUN_.GetZ() + P3SUN * XSTA.GetZ()) +
                   FAC3M * (X3MON * XMON_.GetZ() + P3MON * XSTA.GetZ()));
}

xyz SolidEarthTide::Cartesian(long double DR, long double DN, long double DE) const {
    long double d[3];
    ToCartesian(DR, DN, DE, d);
    return xyz(d[0], d[1], d[2]);
}

void SolidEarthTide::ToCartesian(long double DR, long double DN, long double DE,
                                 long double* out) const {
    out[0] = DR * COSLA * COSPHI - DE * SINLA - DN * SINPHI * COSLA;
    out[1] = DR * SINLA * COSPHI + DE * COSLA - DN * SINPHI * SINLA;
    out[2] = DR * SINPHI + DN * COSPHI;
}

xyz SolidEarthTide::OutOfPhaseDiurnal(const xyz& XSUN_, const xyz& XMON_, const Factors& f) const {
    // -3 DHI SINPHI COSPHI, -3 DLI COS2PHI and -3 DLI SINPHI of the station.
    const StationTerms& t = station_;
    const long double xs = XSUN_.GetX(), ys = XSUN_.GetY(), zs = XSUN_.GetZ();
    const long double DRSUN = t.diuR * f.FAC2SUN * zs * (xs * SINLA - ys * COSLA);
    const long double DNSUN = t.diuN * f.FAC2SUN * zs * (xs * SINLA - ys * COSLA);
    const long double DESUN = t.diuE * f.FAC2SUN * zs * (xs * COSLA + ys * SINLA);

    const long double xm = XMON_.GetX(), ym = XMON_.GetY(), zm = XMON_.GetZ();
    const long double DRMON = t.diuR * f.FAC2MON * zm * (xm * SINLA - ym * COSLA);
    const long double DNMON = t.diuN * f.FAC2MON * zm * (xm * SINLA - ym * COSLA);
    const long double DEMON = t.diuE * f.FAC2MON * zm * (xm * COSLA + ym * SINLA);

    return Cartesian(DRSUN + DRMON, DNSUN + DNMON, DESUN + DEMON);
}

xyz SolidEarthTide::OutOfPhaseSemidiurnal(const xyz& XSUN_, const xyz& XMON_,
                                          const Factors& f) const {
    // -0.75 DHI COSPHI^2, 1.5 DLI SINPHI COSPHI and -1.5 DLI COSPHI of the
    // station, and the sine and cosine of twice its longitude.
    const StationTerms& t = station_;
    const long double COSTWOLA = t.COSTWOLA, SINTWOLA = t.SINTWOLA;

    const long double xs = XSUN_.GetX(), ys = XSUN_.GetY();
    const long double XYSUN = xs * xs - ys * ys;
    const long double ZZSUN = xs * ys;
    const long double QSUN = XYSUN * SINTWOLA - 2 * ZZSUN * COSTWOLA;
    const long double QPSUN = XYSUN * COSTWOLA + 2 * ZZSUN * SINTWOLA;
    const long double DRSUN = t.semR * f.FAC2SUN * QSUN;
    const long double DNSUN = t.semN * f.FAC2SUN * QSUN;
    const long double DESUN = t.semE * f.FAC2SUN * QPSUN;

    const long double xm = XMON_.GetX(), ym = XMON_.GetY();
    const long double XYMON = xm * xm - ym * ym;
    const long double ZZMON = xm * ym;
    const long double QMON = XYMON * SINTWOLA - 2 * ZZMON * COSTWOLA;
    const long double QPMON = XYMON * COSTWOLA + 2 * ZZMON * SINTWOLA;
    const long double DRMON = t.semR * f.FAC2MON * QMON;
    const long double DNMON = t.semN * f.FAC2MON * QMON;
    const long double DEMON = t.semE * f.FAC2MON * QPMON;

    return Cartesian(DRSUN + DRMON, DNSUN + DNMON, DESUN + DEMON);
}

xyz SolidEarthTide::LatitudeDependence(const xyz& XSUN_, const xyz& XMON_,
                                       const Factors& f) const {
    const long double xs = XSUN_.GetX(), ys = XSUN_.GetY(), zs = XSUN_.GetZ();
    const long double xm = XMON_.GetX(), ym = XMON_.GetY(), zm = XMON_.GetZ();

    // Diurnal band: -L1 SINPHI^2 and L1 SINPHI (COSPHI^2 - SINPHI^2) of the
    // station.
    const StationTerms& t = station_;
    long double DNSUN = t.l1dN * f.FAC2SUN * zs * (xs * COSLA + ys * SINLA);
    long double DESUN = t.l1dE * f.FAC2SUN * zs * (xs * SINLA - ys * COSLA);
    long double DNMON = t.l1dN * f.FAC2MON * zm * (xm * COSLA + ym * SINLA);
    long double DEMON = t.l1dE * f.FAC2MON * zm * (xm * SINLA - ym * COSLA);
    long double DE = 3 * (DESUN + DEMON);
    long double DN = 3 * (DNSUN + DNMON);
    const long double DX1 = -DE * SINLA - DN * SINPHI * COSLA;
    const long double DY1 = DE * COSLA - DN * SINPHI * SINLA;
    const long double DZ1 = DN * COSPHI;

    // Semidiurnal band: -L1/2 SINPHI COSPHI and -L1/2 SINPHI^2 COSPHI of the
    // station.
    const long double COSTWOLA = t.COSTWOLA, SINTWOLA = t.SINTWOLA;
    const long double XYSUN = xs * xs - ys * ys;
    const long double ZZSUN = xs * ys;
    const long double XYMON = xm * xm - ym * ym;
    const long double ZZMON = xm * ym;
    DNSUN = t.l1sN * f.FAC2SUN * (XYSUN * COSTWOLA + 2 * ZZSUN * SINTWOLA);
    DESUN = t.l1sE * f.FAC2SUN * (XYSUN * SINTWOLA - 2 * ZZSUN * COSTWOLA);
    DNMON = t.l1sN * f.FAC2MON * (XYMON * COSTWOLA + 2 * ZZMON * SINTWOLA);
    DEMON = t.l1sE * f.FAC2MON * (XYMON * SINTWOLA - 2 * ZZMON * COSTWOLA);
    DE = 3 * (DESUN + DEMON);
    DN = 3 * (DNSUN + DNMON);
    const long double DX2 = -DE * SINLA - DN * SINPHI * COSLA;
    const long double DY2 = DE * COSLA - DN * SINPHI * SINLA;
    const long double DZ2 = DN * COSPHI;

    return xyz(DX1 + DX2, DY1 + DY2, DZ1 + DZ2);
}

xyz SolidEarthTide::Diurnal(const EpochTerms& terms) const {
    // Sine and cosine of the station's hour angle TAU + lambda, lambda the
    // longitude of XSTA (SINLA, COSLA).
    const long double sa = terms.sinTAU * COSLA + terms.cosTAU * SINLA;
    const long double ca = terms.cosTAU * COSLA - terms.sinTAU * SINLA;
    // sum_j [5] sin a_j + [6] cos a_j; the same of [7] and [8]; and
    // sum_j [7] cos a_j - [8] sin a_j.
    const long double R = sa * terms.radialSin + ca * terms.radialCos;
    const long double N = sa * terms.horizontalSin + ca * terms.horizontalCos;
    const long double E = ca * terms.horizontalSin - sa * terms.horizontalCos;
    const StationTerms& t = station_;
    long double d[3];
    ToCartesian(t.diurnalR * R, t.COS2PHI * N, SINPHI * E, d);
    return xyz(d[0] / 1000, d[1] / 1000, d[2] / 1000);
}

xyz SolidEarthTide::LongPeriod(const EpochTerms& terms) const {
    const StationTerms& t = station_;
    long double d[3];
    ToCartesian(t.longR * terms.longRadial, t.longN * terms.longNorth, 0, d);
    return xyz(d[0] / 1000, d[1] / 1000, d[2] / 1000);
}
