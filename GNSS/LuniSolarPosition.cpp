// Sun and Moon positions and the mean sidereal angle; see the header for the
// frames, units and the time argument.
#include "GNSS/LuniSolarPosition.h"

#include <cmath>

#include "GNSS/TimeConverse.h"
#include "funkcije/Numerics.h"
#include "funkcije/KotneFunkcije.h"

namespace {

using numerics::kDegToRad;

// Degrees to radians of one argument a + b*T of the Moon series.
inline long double Arg(double a, double b, long double T) {
    return (a + b * T) * kDegToRad;
}

// Sine s2 and cosine c2 of twice an angle of sine s and cosine c, by the
// double-angle identities.
inline void Double(long double s, long double c, long double& s2, long double& c2) {
    s2 = 2 * s * c;
    c2 = c * c - s * s;
}

// (x, y, z) turned about the z axis by the angle whose cosine and sine are
// c and s, as xyz::RotateZ turns it.
inline void RotateZ(long double x, long double y, long double z, long double c, long double s,
                    xyz& out) {
    out.Set(c * x - s * y, s * x + c * y, z);
}

}  // namespace

LuniSolarPosition::LuniSolarPosition() : twopi(2 * numerics::kPi), AU(149597870), RE(6378.137) {}

long double LuniSolarPosition::Centuries(const mjd& eph) const {
    const long double LeapSec = LeapSecond(eph);
    const long double D = eph.GetMJDay();
    const long double s = eph.GetSecond();
    const long double days = (D + 2400000.5) - 2451545.0;
    return (s / 86400.0 + days - LeapSec / 86400.0) / 36525.0;
}

long double LuniSolarPosition::GSTimeAt(long double T) const {
    // Mean sidereal time in seconds of time; one second of time is 1/240 of a
    // degree.
    const long double temp =
        -6.2e-6 * T * T * T + 0.093104 * T * T + 3164400184.812866 * T + 67310.54841;
    long double gst = std::fmod(temp * kDegToRad / 240.0, twopi);
    if (gst < 0) gst += twopi;
    // A remainder a hair below zero can round up to 2*pi itself when 2*pi is
    // added; the angle is then 0.
    if (gst >= twopi) gst -= twopi;
    return gst;
}

long double LuniSolarPosition::GSTime(const mjd& ephUT1) const {
    return GSTimeAt(Centuries(ephUT1));
}

long double LuniSolarPosition::LSTime(const mjd& ephUT1, const flh& gpos) const {
    long double lst = GSTime(ephUT1) + gpos.GetL();
    lst = std::fmod(lst, twopi);
    if (lst < 0) lst += twopi;
    if (lst >= twopi) lst -= twopi;
    return lst;
}

LuniSolarPosition::EpochTerms LuniSolarPosition::Terms(const mjd& eph) const {
    EpochTerms ep;
    ep.T = Centuries(eph);
    SinCosByQuadrant(-GSTimeAt(ep.T), ep.sinG, ep.cosG);
    const long double obliquity = (23.439291 - 0.0130042 * ep.T) * kDegToRad;
    SinCosByQuadrant(obliquity, ep.sinE, ep.cosE);
    return ep;
}

void LuniSolarPosition::SunPosition(const mjd& eph, xyz& uvec, long double& magr) const {
    Sun(Terms(eph), uvec, magr);
}

void LuniSolarPosition::MoonPosition(const mjd& eph, xyz& uvec, long double& magr) const {
    Moon(Terms(eph), uvec, magr);
}

void LuniSolarPosition::SunMoonPosition(const mjd& eph, xyz& sunU, long double& sunR, xyz& moonU,
                                        long double& moonR) const {
    const EpochTerms ep = Terms(eph);
    Sun(ep, sunU, sunR);
    Moon(ep, moonU, moonR);
}

void LuniSolarPosition::Sun(const EpochTerms& ep, xyz& uvec, long double& magr) const {
    const long double tut1 = ep.T;

    const long double meanlong = std::fmod(280.4606184 + 36000.77005361 * tut1, 360.0L);
    long double meananomaly = std::fmod((357.5277233 + 35999.05034 * tut1) * kDegToRad, twopi);
    if (meananomaly < 0) meananomaly += twopi;
    long double sinM, cosM, sin2M, cos2M;
    SinCosByQuadrant(meananomaly, sinM, cosM);
    Double(sinM, cosM, sin2M, cos2M);

    long double eclplong = meanlong + 1.914666471 * sinM + 0.019994643 * sin2M;
    eclplong = eclplong * kDegToRad;
    long double sinL, cosL;
    SinCosByQuadrant(eclplong, sinL, cosL);

    magr = (1.000140612 - 0.016708617 * cosM - 0.000139589 * cos2M) * AU * 1000.0;

    // (cos l, cos e sin l, sin e sin l), turned by minus the sidereal angle.
    RotateZ(cosL, ep.cosE * sinL, ep.sinE * sinL, ep.cosG, ep.sinG, uvec);
}

void LuniSolarPosition::Moon(const EpochTerms& ep, xyz& uvec, long double& magr) const {
    const long double T = ep.T;

    // The four arguments that appear under a sine in the longitude and under a
    // cosine in the parallax.
    long double s1, c1, s2, c2, s3, c3, s4, c4;
    SinCosByQuadrant(Arg(134.9, 477198.85, T), s1, c1);
    SinCosByQuadrant(Arg(259.2, -413335.38, T), s2, c2);
    SinCosByQuadrant(Arg(235.7, 890534.23, T), s3, c3);
    SinCosByQuadrant(Arg(269.9, 954397.7, T), s4, c4);

    // Ecliptic longitude, latitude and horizontal parallax, degrees; the terms
    // are summed in this order, from the constant part.
    long double eclplong = 218.32 + 481267.8813 * T + 6.29 * s1 - 1.27 * s2 + 0.66 * s3 +
                           0.21 * s4 - 0.19 * SinByQuadrant(Arg(357.5, 35999.05, T)) -
                           0.11 * SinByQuadrant(Arg(186.6, 966404.05, T));
    long double eclplat =
        5.13 * SinByQuadrant(Arg(93.3, 483202.03, T)) + 0.28 * SinByQuadrant(Arg(228.2, 960400.87, T)) -
        0.28 * SinByQuadrant(Arg(318.3, 6003.18, T)) - 0.17 * SinByQuadrant(Arg(217.6, -407332.2, T));
    long double hzparal = 0.9508 + 0.0518 * c1 + 0.0095 * c2 + 0.0078 * c3 + 0.0028 * c4;

    // Radians; a negative remainder is kept negative (only sines and cosines
    // of these angles are used).
    eclplong = std::fmod(eclplong * kDegToRad, twopi);
    eclplat = std::fmod(eclplat * kDegToRad, twopi);
    hzparal = std::fmod(hzparal * kDegToRad, twopi);

    long double sinL, cosL, sinB, cosB;
    SinCosByQuadrant(eclplong, sinL, cosL);
    SinCosByQuadrant(eclplat, sinB, cosB);

    // Direction cosines in the equatorial frame of date.
    const long double l = cosB * cosL;
    const long double m = ep.cosE * cosB * sinL - ep.sinE * sinB;
    const long double n = ep.sinE * cosB * sinL + ep.cosE * sinB;

    magr = RE / SinByQuadrant(hzparal) * 1000.0;

    RotateZ(l, m, n, ep.cosG, ep.sinG, uvec);
}
