#include "support/reference_model.h"

#include <cmath>

#include "GNSS/TimeConverse.h"
#include "support/tide_access.h"

namespace reference {
namespace {

constexpr long double kPi = 3.141592653589793;      // the program's pi, a double
constexpr long double kTwoPi = 2 * kPi;
constexpr long double kDeg = 0.017453292519943295;  // pi/180 as a double

// Julian centuries of the epoch moved back by its leap-second count.
long double SeriesCenturies(const mjd& e) {
    const long double days = (static_cast<long double>(e.GetMJDay()) + 2400000.5) - 2451545.0;
    return (e.GetSecond() / 86400.0 + days - LeapSecond(e) / 86400.0) / 36525.0;
}

// Greenwich mean sidereal angle [rad, 0..2 pi).
long double Sidereal(long double T) {
    const long double seconds =
        -6.2e-6 * T * T * T + 0.093104 * T * T + 3164400184.812866 * T + 67310.54841;
    long double g = std::fmod(seconds * kDeg / 240.0, kTwoPi);
    if (g < 0) g += kTwoPi;
    if (g >= kTwoPi) g -= kTwoPi;
    return g;
}

// (x, y, z) turned about the pole by minus the sidereal angle g.
xyz EarthFixed(long double x, long double y, long double z, long double g) {
    const long double c = std::cos(-g), s = std::sin(-g);
    return xyz(c * x - s * y, s * x + c * y, z);
}

long double Arg(double a, double b, long double T) {
    return (a + b * T) * kDeg;
}

}  // namespace

void SunMoon(const mjd& e, xyz& sunU, long double& sunR, xyz& moonU, long double& moonR) {
    const long double T = SeriesCenturies(e);
    const long double g = Sidereal(T);
    const long double obliquity = (23.439291 - 0.0130042 * T) * kDeg;
    const long double cosE = std::cos(obliquity), sinE = std::sin(obliquity);

    // Sun: mean longitude [deg] and mean anomaly [rad], the ecliptic
    // longitude with the equation of the centre, the distance in au.
    const long double meanlong = std::fmod(280.4606184 + 36000.77005361 * T, 360.0L);
    long double M = std::fmod((357.5277233 + 35999.05034 * T) * kDeg, kTwoPi);
    if (M < 0) M += kTwoPi;
    const long double lambda =
        (meanlong + 1.914666471 * std::sin(M) + 0.019994643 * std::sin(2 * M)) * kDeg;
    sunR = (1.000140612 - 0.016708617 * std::cos(M) - 0.000139589 * std::cos(2 * M)) *
           149597870 * 1000.0;
    sunU = EarthFixed(std::cos(lambda), cosE * std::sin(lambda), sinE * std::sin(lambda), g);

    // Moon: ecliptic longitude, latitude and horizontal parallax [deg].
    long double lon = 218.32 + 481267.8813 * T + 6.29 * std::sin(Arg(134.9, 477198.85, T)) -
                      1.27 * std::sin(Arg(259.2, -413335.38, T)) +
                      0.66 * std::sin(Arg(235.7, 890534.23, T)) +
                      0.21 * std::sin(Arg(269.9, 954397.7, T)) -
                      0.19 * std::sin(Arg(357.5, 35999.05, T)) -
                      0.11 * std::sin(Arg(186.6, 966404.05, T));
    long double lat = 5.13 * std::sin(Arg(93.3, 483202.03, T)) +
                      0.28 * std::sin(Arg(228.2, 960400.87, T)) -
                      0.28 * std::sin(Arg(318.3, 6003.18, T)) -
                      0.17 * std::sin(Arg(217.6, -407332.2, T));
    long double par = 0.9508 + 0.0518 * std::cos(Arg(134.9, 477198.85, T)) +
                      0.0095 * std::cos(Arg(259.2, -413335.38, T)) +
                      0.0078 * std::cos(Arg(235.7, 890534.23, T)) +
                      0.0028 * std::cos(Arg(269.9, 954397.7, T));
    lon = std::fmod(lon * kDeg, kTwoPi);
    lat = std::fmod(lat * kDeg, kTwoPi);
    par = std::fmod(par * kDeg, kTwoPi);
    const long double l = std::cos(lat) * std::cos(lon);
    const long double m = cosE * std::cos(lat) * std::sin(lon) - sinE * std::sin(lat);
    const long double n = sinE * std::cos(lat) * std::sin(lon) + cosE * std::sin(lat);
    moonR = 6378.137 / std::sin(par) * 1000.0;
    moonU = EarthFixed(l, m, n, g);
}

xyz Step1(const xyz& sta, const xyz& sun, long double rsun, const xyz& moon, long double rmoon) {
    const long double H20 = 0.6078, L20 = 0.0847, H3 = 0.292, L3 = 0.015;
    const long double MASS_RATIO_SUN = 332946.0482, MASS_RATIO_MOON = 0.0123000371;
    const long double RE = 6378136.6;
    long double SINPHI = sta.GetZ();
    long double COSPHI = std::sqrt(sta.GetX() * sta.GetX() + sta.GetY() * sta.GetY());
    const bool polar = COSPHI == 0;
    const long double SINLA = polar ? 0 : sta.GetY() / COSPHI;
    const long double COSLA = polar ? 1 : sta.GetX() / COSPHI;
    const long double X[3] = {polar ? 0 : sta.GetX(), polar ? 0 : sta.GetY(), sta.GetZ()};
    const long double S[3] = {sun.GetX(), sun.GetY(), sun.GetZ()};
    const long double M[3] = {moon.GetX(), moon.GetY(), moon.GetZ()};

    // In phase, degree 2 and 3.
    const long double SCSUN = S[0] * X[0] + S[1] * X[1] + S[2] * X[2];
    const long double SCMON = M[0] * X[0] + M[1] * X[1] + M[2] * X[2];
    const long double H2 = H20 - 0.0006 * (1 - 1.5 * COSPHI * COSPHI);
    const long double L2 = L20 + 0.0002 * (1 - 1.5 * COSPHI * COSPHI);
    const long double P2SUN = 3 * (H2 / 2 - L2) * SCSUN * SCSUN - H2 / 2;
    const long double P2MON = 3 * (H2 / 2 - L2) * SCMON * SCMON - H2 / 2;
    const long double P3SUN =
        2.5 * (H3 - 3 * L3) * (SCSUN * SCSUN * SCSUN) + 1.5 * (L3 - H3) * SCSUN;
    const long double P3MON =
        2.5 * (H3 - 3 * L3) * (SCMON * SCMON * SCMON) + 1.5 * (L3 - H3) * SCMON;
    const long double X2SUN = 3 * L2 * SCSUN, X2MON = 3 * L2 * SCMON;
    const long double X3SUN = 3 * L3 / 2 * (5 * SCSUN * SCSUN - 1);
    const long double X3MON = 3 * L3 / 2 * (5 * SCMON * SCMON - 1);
    const long double qs = RE / rsun, qm = RE / rmoon;
    const long double FAC2SUN = MASS_RATIO_SUN * RE * (qs * qs * qs);
    const long double FAC2MON = MASS_RATIO_MOON * RE * (qm * qm * qm);
    const long double FAC3SUN = FAC2SUN * (RE / rsun);
    const long double FAC3MON = FAC2MON * (RE / rmoon);
    long double D[3];
    for (int i = 0; i < 3; ++i) {
        D[i] = FAC2SUN * (X2SUN * S[i] + P2SUN * X[i]) + FAC2MON * (X2MON * M[i] + P2MON * X[i]) +
               FAC3SUN * (X3SUN * S[i] + P3SUN * X[i]) + FAC3MON * (X3MON * M[i] + P3MON * X[i]);
    }
    xyz out(D[0], D[1], D[2]);

    auto cartesian = [&](long double DR, long double DN, long double DE) {
        return xyz(DR * COSLA * COSPHI - DE * SINLA - DN * SINPHI * COSLA,
                   DR * SINLA * COSPHI + DE * COSLA - DN * SINPHI * SINLA,
                   DR * SINPHI + DN * COSPHI);
    };
    const long double xs = S[0], ys = S[1], zs = S[2], xm = M[0], ym = M[1], zm = M[2];

    // Out of phase, diurnal band.
    {
        const long double DHI = -0.0025, DLI = -0.0007;
        const long double COS2PHI = COSPHI * COSPHI - SINPHI * SINPHI;
        const long double DRSUN = -3 * DHI * SINPHI * COSPHI * FAC2SUN * zs * (xs * SINLA - ys * COSLA);
        const long double DNSUN = -3 * DLI * COS2PHI * FAC2SUN * zs * (xs * SINLA - ys * COSLA);
        const long double DESUN = -3 * DLI * SINPHI * FAC2SUN * zs * (xs * COSLA + ys * SINLA);
        const long double DRMON = -3 * DHI * SINPHI * COSPHI * FAC2MON * zm * (xm * SINLA - ym * COSLA);
        const long double DNMON = -3 * DLI * COS2PHI * FAC2MON * zm * (xm * SINLA - ym * COSLA);
        const long double DEMON = -3 * DLI * SINPHI * FAC2MON * zm * (xm * COSLA + ym * SINLA);
        out += cartesian(DRSUN + DRMON, DNSUN + DNMON, DESUN + DEMON);
    }
    // Out of phase, semidiurnal band.
    const long double COSTWOLA = COSLA * COSLA - SINLA * SINLA;
    const long double SINTWOLA = 2 * COSLA * SINLA;
    const long double XYSUN = xs * xs - ys * ys, ZZSUN = xs * ys;
    const long double XYMON = xm * xm - ym * ym, ZZMON = xm * ym;
    {
        const long double DHI = -0.0022, DLI = -0.0007;
        const long double QSUN = XYSUN * SINTWOLA - 2 * ZZSUN * COSTWOLA;
        const long double QPSUN = XYSUN * COSTWOLA + 2 * ZZSUN * SINTWOLA;
        const long double QMON = XYMON * SINTWOLA - 2 * ZZMON * COSTWOLA;
        const long double QPMON = XYMON * COSTWOLA + 2 * ZZMON * SINTWOLA;
        const long double DRSUN = -0.75 * DHI * COSPHI * COSPHI * FAC2SUN * QSUN;
        const long double DNSUN = 1.5 * DLI * SINPHI * COSPHI * FAC2SUN * QSUN;
        const long double DESUN = -1.5 * DLI * COSPHI * FAC2SUN * QPSUN;
        const long double DRMON = -0.75 * DHI * COSPHI * COSPHI * FAC2MON * QMON;
        const long double DNMON = 1.5 * DLI * SINPHI * COSPHI * FAC2MON * QMON;
        const long double DEMON = -1.5 * DLI * COSPHI * FAC2MON * QPMON;
        out += cartesian(DRSUN + DRMON, DNSUN + DNMON, DESUN + DEMON);
    }
    // Latitude dependence of l(1), both bands, no radial part.
    {
        long double L1 = 0.0012;
        long double DNSUN = -L1 * SINPHI * SINPHI * FAC2SUN * zs * (xs * COSLA + ys * SINLA);
        long double DESUN = L1 * SINPHI * (COSPHI * COSPHI - SINPHI * SINPHI) * FAC2SUN * zs *
                            (xs * SINLA - ys * COSLA);
        long double DNMON = -L1 * SINPHI * SINPHI * FAC2MON * zm * (xm * COSLA + ym * SINLA);
        long double DEMON = L1 * SINPHI * (COSPHI * COSPHI - SINPHI * SINPHI) * FAC2MON * zm *
                            (xm * SINLA - ym * COSLA);
        long double DE = 3 * (DESUN + DEMON), DN = 3 * (DNSUN + DNMON);
        const long double DX1 = -DE * SINLA - DN * SINPHI * COSLA;
        const long double DY1 = DE * COSLA - DN * SINPHI * SINLA;
        const long double DZ1 = DN * COSPHI;
        L1 = 0.0024;
        DNSUN = -L1 / 2 * SINPHI * COSPHI * FAC2SUN * (XYSUN * COSTWOLA + 2 * ZZSUN * SINTWOLA);
        DESUN = -L1 / 2 * SINPHI * SINPHI * COSPHI * FAC2SUN *
                (XYSUN * SINTWOLA - 2 * ZZSUN * COSTWOLA);
        DNMON = -L1 / 2 * SINPHI * COSPHI * FAC2MON * (XYMON * COSTWOLA + 2 * ZZMON * SINTWOLA);
        DEMON = -L1 / 2 * SINPHI * SINPHI * COSPHI * FAC2MON *
                (XYMON * SINTWOLA - 2 * ZZMON * COSTWOLA);
        DE = 3 * (DESUN + DEMON);
        DN = 3 * (DNSUN + DNMON);
        out += xyz(DX1 + (-DE * SINLA - DN * SINPHI * COSLA), DY1 + (DE * COSLA - DN * SINPHI * SINLA),
                   DZ1 + DN * COSPHI);
    }
    return out;
}

void Displacement(SolidEarthTide& tide, const mjd& e, xyz& out) {
    using Access = SolidEarthTideTestAccess;
    // The station's geocentric latitude and longitude terms.
    const xyz& X = Access::Station(tide);
    out = Step1(X, Access::Sun(tide), Access::SunDistance(tide), Access::Moon(tide),
                Access::MoonDistance(tide));
    const long double SINPHI = X.GetZ();
    const long double COSPHI = std::sqrt(X.GetX() * X.GetX() + X.GetY() * X.GetY());
    const long double SINLA = COSPHI == 0 ? 0 : X.GetY() / COSPHI;
    const long double COSLA = COSPHI == 0 ? 1 : X.GetX() / COSPHI;
    const long double ZLA = COSPHI == 0 ? 0 : std::atan2(X.GetY(), X.GetX());

    // Terrestrial Time in Julian centuries, and the fundamental angles [deg].
    long double T = (e.GetMJDDec() - 51544.5) / 36525.0;
    T = T + (static_cast<long double>(LeapSecond(e)) + 19 + 32.184) / 3155760000.0;
    long double S = ((0.00000185139 * T - 0.0014663889) * T + 481267.88194) * T + 218.31664563;
    long double TAU = e.GetSecond() / 3600.0 * 15 + 280.4606184 + 36000.7700536 * T +
                      0.00038793 * T * T - 0.0000000258 * T * T * T - S;
    S += (((0.000000007 * T + 0.000000021) * T + 0.000308889) * T + 1.396971278) * T;
    long double H = (((-0.00000000654 * T + 0.000000020) * T + 0.00030322222) * T +
                     36000.7697489) * T + 280.46645;
    long double P = (((0.00000005263 * T - 0.0000124991) * T - 0.01032172222) * T +
                     4069.01363525) * T + 83.35324312;
    long double ZNS = (((0.00000001650 * T - 0.00000213944) * T - 0.00207561111) * T +
                       1934.13626197) * T + 234.95544499;
    long double PS = (((-0.00000000334 * T - 0.00000001778) * T + 0.00045688889) * T +
                      1.71945766667) * T + 282.93734098;
    S = std::fmod(S, 360.0L);
    TAU = std::fmod(TAU, 360.0L);
    H = std::fmod(H, 360.0L);
    P = std::fmod(P, 360.0L);
    ZNS = std::fmod(ZNS, 360.0L);
    PS = std::fmod(PS, 360.0L);

    auto cartesian = [&](long double DR, long double DN, long double DE, long double* d) {
        d[0] += DR * COSLA * COSPHI - DE * SINLA - DN * SINPHI * COSLA;
        d[1] += DR * SINLA * COSPHI + DE * COSLA - DN * SINPHI * SINLA;
        d[2] += DR * SINPHI + DN * COSPHI;
    };

    long double diu[3] = {0, 0, 0};
    for (const auto& r : Access::DATDIU(tide)) {
        const long double a =
            (TAU + r[0] * S + r[1] * H + r[2] * P + r[3] * ZNS + r[4] * PS) * kDeg + ZLA;
        const long double C2 = COSPHI * COSPHI - SINPHI * SINPHI;
        const long double DR = 2 * r[5] * SINPHI * COSPHI * std::sin(a) +
                               2 * r[6] * SINPHI * COSPHI * std::cos(a);
        const long double DN = r[7] * C2 * std::sin(a) + r[8] * C2 * std::cos(a);
        const long double DE = r[7] * SINPHI * std::cos(a) - r[8] * SINPHI * std::sin(a);
        cartesian(DR, DN, DE, diu);
    }
    out += xyz(diu[0] / 1000, diu[1] / 1000, diu[2] / 1000);

    long double lon[3] = {0, 0, 0};
    for (const auto& r : Access::DATLON(tide)) {
        const long double f = (r[0] * S + r[1] * H + r[2] * P + r[3] * ZNS + r[4] * PS) * kDeg;
        const long double g = (3 * SINPHI * SINPHI - 1) / 2;
        const long double k = 2 * COSPHI * SINPHI;
        const long double DR = r[5] * g * std::cos(f) + r[7] * g * std::sin(f);
        const long double DN = r[6] * k * std::cos(f) + r[8] * k * std::sin(f);
        cartesian(DR, DN, 0, lon);
    }
    out += xyz(lon[0] / 1000, lon[1] / 1000, lon[2] / 1000);
}

}  // namespace reference
