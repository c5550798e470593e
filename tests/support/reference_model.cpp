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

void Displacement(SolidEarthTide& tide, const mjd& e, xyz& out) {
    using Access = SolidEarthTideTestAccess;
    out = Access::InPhase(tide);
    out += Access::ST1IDIU(tide);
    out += Access::ST1ISEM(tide);
    out += Access::ST1L1(tide);

    // The station's geocentric latitude and longitude terms.
    const xyz& X = Access::Station(tide);
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
