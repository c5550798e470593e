// Solid Earth tide displacement (IERS Conventions 2010, chapter 7); see the
// header for the frames, units and time scales.
#include "GNSS/SolidEarthTide.h"

#include <cmath>

#include "GNSS/TimeConverse.h"

namespace {

// Degrees to radians: pi/180 as a double, widened where it is used.
constexpr double kDegToRad = 0.017453292519943295;

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
      MASS_RATIO_SUN(332946.0482),
      MASS_RATIO_MOON(0.0123000371),
      RE(6378136.6),
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
      T(0) {
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
        // +0 so that atan2 in STEP2DIU agrees with it (atan2 of a -0 x would
        // give pi).
        XSTA.SetX(0);
        XSTA.SetY(0);
        SINLA = 0;
        COSLA = 1;
        return;
    }
    SINLA = XSTA.GetY() / COSPHI;
    COSLA = XSTA.GetX() / COSPHI;
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

    // UTC to Terrestrial Time: LeapSecond + 19 s is TAI - UTC, 32.184 s is
    // TT - TAI; 3155760000 is the number of seconds in a Julian century.
    T = (eph.GetMJDDec() - 51544.5) / 36525.0;
    const long double DTT = static_cast<long double>(LeapSecond(eph)) + 19 + 32.184;
    T = T + DTT / 3155760000.0;

    STEP2DIU(eph);
    DXTIDE += DXCOR;
    STEP2LON();
    DXTIDE += DXCOR;
}

void SolidEarthTide::ST1INPHASE(xyz& DXTIDE) {
    // Cosines of the zenith angles of the two bodies.
    const long double SCSUN = XSUN * XSTA;
    const long double SCMON = XMON * XSTA;

    // Latitude dependence of the degree-2 numbers.
    const long double c = COSPHI;
    const long double H2 = H20 - 0.0006 * (1 - 1.5 * c * c);
    const long double L2 = L20 + 0.0002 * (1 - 1.5 * c * c);

    // Radial (along XSTA) and along-the-body terms of degree 2 and 3.
    const long double P2SUN = 3 * (H2 / 2 - L2) * SCSUN * SCSUN - H2 / 2;
    const long double P2MON = 3 * (H2 / 2 - L2) * SCMON * SCMON - H2 / 2;
    const long double P3SUN = 2.5 * (H3 - 3 * L3) * std::pow(SCSUN, 3) + 1.5 * (L3 - H3) * SCSUN;
    const long double P3MON = 2.5 * (H3 - 3 * L3) * std::pow(SCMON, 3) + 1.5 * (L3 - H3) * SCMON;
    const long double X2SUN = 3 * L2 * SCSUN;
    const long double X2MON = 3 * L2 * SCMON;
    const long double X3SUN = 3 * L3 / 2 * (5 * SCSUN * SCSUN - 1);
    const long double X3MON = 3 * L3 / 2 * (5 * SCMON * SCMON - 1);

    FAC2SUN = MASS_RATIO_SUN * RE * std::pow(RE / RSUN, 3);
    FAC2MON = MASS_RATIO_MOON * RE * std::pow(RE / RMON, 3);
    FAC3SUN = FAC2SUN * (RE / RSUN);
    FAC3MON = FAC2MON * (RE / RMON);

    const long double D[3] = {FAC2SUN * (X2SUN * XSUN.GetX() + P2SUN * XSTA.GetX()) +
                                  FAC2MON * (X2MON * XMON.GetX() + P2MON * XSTA.GetX()) +
                                  FAC3SUN * (X3SUN * XSUN.GetX() + P3SUN * XSTA.GetX()) +
                                  FAC3MON * (X3MON * XMON.GetX() + P3MON * XSTA.GetX()),
                              FAC2SUN * (X2SUN * XSUN.GetY() + P2SUN * XSTA.GetY()) +
                                  FAC2MON * (X2MON * XMON.GetY() + P2MON * XSTA.GetY()) +
                                  FAC3SUN * (X3SUN * XSUN.GetY() + P3SUN * XSTA.GetY()) +
                                  FAC3MON * (X3MON * XMON.GetY() + P3MON * XSTA.GetY()),
                              FAC2SUN * (X2SUN * XSUN.GetZ() + P2SUN * XSTA.GetZ()) +
                                  FAC2MON * (X2MON * XMON.GetZ() + P2MON * XSTA.GetZ()) +
                                  FAC3SUN * (X3SUN * XSUN.GetZ() + P3SUN * XSTA.GetZ()) +
                                  FAC3MON * (X3MON * XMON.GetZ() + P3MON * XSTA.GetZ())};
    DXTIDE.Set(D[0], D[1], D[2]);
}

void SolidEarthTide::SetCorrection(long double DR, long double DN, long double DE) {
    DXCOR.Set(DR * COSLA * COSPHI - DE * SINLA - DN * SINPHI * COSLA,
              DR * SINLA * COSPHI + DE * COSLA - DN * SINPHI * SINLA, DR * SINPHI + DN * COSPHI);
}

void SolidEarthTide::ST1IDIU() {
    DHI = -0.0025;
    DLI = -0.0007;
    const long double COS2PHI = COSPHI * COSPHI - SINPHI * SINPHI;

    const long double xs = XSUN.GetX(), ys = XSUN.GetY(), zs = XSUN.GetZ();
    const long double DRSUN = -3 * DHI * SINPHI * COSPHI * FAC2SUN * zs * (xs * SINLA - ys * COSLA);
    const long double DNSUN = -3 * DLI * COS2PHI * FAC2SUN * zs * (xs * SINLA - ys * COSLA);
    const long double DESUN = -3 * DLI * SINPHI * FAC2SUN * zs * (xs * COSLA + ys * SINLA);

    const long double xm = XMON.GetX(), ym = XMON.GetY(), zm = XMON.GetZ();
    const long double DRMON = -3 * DHI * SINPHI * COSPHI * FAC2MON * zm * (xm * SINLA - ym * COSLA);
    const long double DNMON = -3 * DLI * COS2PHI * FAC2MON * zm * (xm * SINLA - ym * COSLA);
    const long double DEMON = -3 * DLI * SINPHI * FAC2MON * zm * (xm * COSLA + ym * SINLA);

    SetCorrection(DRSUN + DRMON, DNSUN + DNMON, DESUN + DEMON);
}

void SolidEarthTide::ST1ISEM() {
    DHI = -0.0022;
    DLI = -0.0007;
    const long double COSTWOLA = COSLA * COSLA - SINLA * SINLA;
    const long double SINTWOLA = 2 * COSLA * SINLA;

    const long double xs = XSUN.GetX(), ys = XSUN.GetY();
    const long double XYSUN = xs * xs - ys * ys;
    const long double ZZSUN = xs * ys;
    const long double QSUN = XYSUN * SINTWOLA - 2 * ZZSUN * COSTWOLA;
    const long double QPSUN = XYSUN * COSTWOLA + 2 * ZZSUN * SINTWOLA;
    const long double DRSUN = -0.75 * DHI * COSPHI * COSPHI * FAC2SUN * QSUN;
    const long double DNSUN = 1.5 * DLI * SINPHI * COSPHI * FAC2SUN * QSUN;
    const long double DESUN = -1.5 * DLI * COSPHI * FAC2SUN * QPSUN;

    const long double xm = XMON.GetX(), ym = XMON.GetY();
    const long double XYMON = xm * xm - ym * ym;
    const long double ZZMON = xm * ym;
    const long double QMON = XYMON * SINTWOLA - 2 * ZZMON * COSTWOLA;
    const long double QPMON = XYMON * COSTWOLA + 2 * ZZMON * SINTWOLA;
    const long double DRMON = -0.75 * DHI * COSPHI * COSPHI * FAC2MON * QMON;
    const long double DNMON = 1.5 * DLI * SINPHI * COSPHI * FAC2MON * QMON;
    const long double DEMON = -1.5 * DLI * COSPHI * FAC2MON * QPMON;

    SetCorrection(DRSUN + DRMON, DNSUN + DNMON, DESUN + DEMON);
}

void SolidEarthTide::ST1L1() {
    L1D = 0.0012;
    L1SD = 0.0024;

    const long double xs = XSUN.GetX(), ys = XSUN.GetY(), zs = XSUN.GetZ();
    const long double xm = XMON.GetX(), ym = XMON.GetY(), zm = XMON.GetZ();

    // Diurnal band.
    long double L1 = L1D;
    long double DNSUN = -L1 * SINPHI * SINPHI * FAC2SUN * zs * (xs * COSLA + ys * SINLA);
    long double DESUN = L1 * SINPHI * (COSPHI * COSPHI - SINPHI * SINPHI) * FAC2SUN * zs *
                        (xs * SINLA - ys * COSLA);
    long double DNMON = -L1 * SINPHI * SINPHI * FAC2MON * zm * (xm * COSLA + ym * SINLA);
    long double DEMON = L1 * SINPHI * (COSPHI * COSPHI - SINPHI * SINPHI) * FAC2MON * zm *
                        (xm * SINLA - ym * COSLA);
    long double DE = 3 * (DESUN + DEMON);
    long double DN = 3 * (DNSUN + DNMON);
    const long double DX1 = -DE * SINLA - DN * SINPHI * COSLA;
    const long double DY1 = DE * COSLA - DN * SINPHI * SINLA;
    const long double DZ1 = DN * COSPHI;

    // Semidiurnal band.
    L1 = L1SD;
    const long double COSTWOLA = COSLA * COSLA - SINLA * SINLA;
    const long double SINTWOLA = 2 * COSLA * SINLA;
    const long double XYSUN = xs * xs - ys * ys;
    const long double ZZSUN = xs * ys;
    const long double XYMON = xm * xm - ym * ym;
    const long double ZZMON = xm * ym;
    DNSUN = -L1 / 2 * SINPHI * COSPHI * FAC2SUN * (XYSUN * COSTWOLA + 2 * ZZSUN * SINTWOLA);
    DESUN =
        -L1 / 2 * SINPHI * SINPHI * COSPHI * FAC2SUN * (XYSUN * SINTWOLA - 2 * ZZSUN * COSTWOLA);
    DNMON = -L1 / 2 * SINPHI * COSPHI * FAC2MON * (XYMON * COSTWOLA + 2 * ZZMON * SINTWOLA);
    DEMON =
        -L1 / 2 * SINPHI * SINPHI * COSPHI * FAC2MON * (XYMON * SINTWOLA - 2 * ZZMON * COSTWOLA);
    DE = 3 * (DESUN + DEMON);
    DN = 3 * (DNSUN + DNMON);
    const long double DX2 = -DE * SINLA - DN * SINPHI * COSLA;
    const long double DY2 = DE * COSLA - DN * SINPHI * SINLA;
    const long double DZ2 = DN * COSPHI;

    DXCOR.Set(DX1 + DX2, DY1 + DY2, DZ1 + DZ2);
}

void SolidEarthTide::STEP2DIU(const mjd& eph) {
    const long double FHR = eph.GetSecond() / 3600.0;

    long double S = MoonMeanLongitude(T);
    // Hour angle of the mean Moon: mean sidereal angle at the epoch's hour
    // minus the Moon's mean longitude (without the precession).
    long double TAU = FHR * 15 + 280.4606184 + 36000.7700536 * T + 0.00038793 * T * T -
                      0.0000000258 * T * T * T - S;
    FundamentalAngles a = Angles(T, S);

    // fmod keeps the sign: a negative angle stays negative.
    S = std::fmod(a.S, 360.0L);
    TAU = std::fmod(TAU, 360.0L);
    const long double H = std::fmod(a.H, 360.0L);
    const long double P = std::fmod(a.P, 360.0L);
    const long double ZNS = std::fmod(a.ZNS, 360.0L);
    const long double PS = std::fmod(a.PS, 360.0L);

    const long double ZLA = std::atan2(XSTA.GetY(), XSTA.GetX());
    const long double C2 = COSPHI * COSPHI - SINPHI * SINPHI;

    long double DX = 0, DY = 0, DZ = 0;
    for (int j = 0; j < 31; ++j) {
        const long double* r = DATDIU[j];
        const long double THETAF =
            (TAU + r[0] * S + r[1] * H + r[2] * P + r[3] * ZNS + r[4] * PS) * kDegToRad;
        const long double sa = std::sin(THETAF + ZLA);
        const long double ca = std::cos(THETAF + ZLA);
        const long double DR = 2 * r[5] * SINPHI * COSPHI * sa + 2 * r[6] * SINPHI * COSPHI * ca;
        const long double DN = r[7] * C2 * sa + r[8] * C2 * ca;
        const long double DE = r[7] * SINPHI * ca - r[8] * SINPHI * sa;
        DX += DR * COSLA * COSPHI - DE * SINLA - DN * SINPHI * COSLA;
        DY += DR * SINLA * COSPHI + DE * COSLA - DN * SINPHI * SINLA;
        DZ += DR * SINPHI + DN * COSPHI;
    }
    DXCOR.Set(DX / 1000, DY / 1000, DZ / 1000);
}

void SolidEarthTide::STEP2LON() {
    FundamentalAngles a = Angles(T, MoonMeanLongitude(T));
    const long double S = std::fmod(a.S, 360.0L);
    const long double H = std::fmod(a.H, 360.0L);
    const long double P = std::fmod(a.P, 360.0L);
    const long double ZNS = std::fmod(a.ZNS, 360.0L);
    const long double PS = std::fmod(a.PS, 360.0L);

    const long double g = (3 * SINPHI * SINPHI - 1) / 2;
    const long double k = 2 * COSPHI * SINPHI;

    long double DX = 0, DY = 0, DZ = 0;
    for (int j = 0; j < 5; ++j) {
        const long double* r = DATLON[j];
        const long double THETAF =
            (r[0] * S + r[1] * H + r[2] * P + r[3] * ZNS + r[4] * PS) * kDegToRad;
        const long double cf = std::cos(THETAF);
        const long double sf = std::sin(THETAF);
        const long double DR = r[5] * g * cf + r[7] * g * sf;
        const long double DN = r[6] * k * cf + r[8] * k * sf;
        DX += DR * COSLA * COSPHI - DN * SINPHI * COSLA;
        DY += DR * SINLA * COSPHI - DN * SINPHI * SINLA;
        DZ += DR * SINPHI + DN * COSPHI;
    }
    DXCOR.Set(DX / 1000, DY / 1000, DZ / 1000);
}
