// Sun and Moon positions and the mean sidereal angle; see the header for the
// frames, units and the time argument.
#include "GNSS/LuniSolarPosition.h"

#include <cmath>

#include "GNSS/TimeConverse.h"

namespace {

// Degrees to radians: pi/180 as a double, widened where it is used.
constexpr double kDegToRad = 0.017453292519943295;

// Degrees to radians of one argument a + b*T of the Moon series.
inline long double Arg(double a, double b, long double T) {
    return (a + b * T) * kDegToRad;
}

}  // namespace

LuniSolarPosition::LuniSolarPosition() : twopi(6.283185307179586), AU(149597870), RE(6378.137) {}

long double LuniSolarPosition::Centuries(const mjd& eph) const {
    const long double LeapSec = LeapSecond(eph);
    const long double D = eph.GetMJDay();
    const long double s = eph.GetSecond();
    const long double days = (D + 2400000.5) - 2451545.0;
    return (s / 86400.0 + days - LeapSec / 86400.0) / 36525.0;
}

long double LuniSolarPosition::GSTime(const mjd& ephUT1) const {
    const long double T = Centuries(ephUT1);
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

long double LuniSolarPosition::LSTime(const mjd& ephUT1, const flh& gpos) const {
    long double lst = GSTime(ephUT1) + gpos.GetL();
    lst = std::fmod(lst, twopi);
    if (lst < 0) lst += twopi;
    if (lst >= twopi) lst -= twopi;
    return lst;
}

void LuniSolarPosition::SunPosition(const mjd& eph, xyz& uvec, long double& magr) const {
    const long double tut1 = Centuries(eph);
    const long double gst = GSTime(eph);

    const long double meanlong = std::fmod(280.4606184 + 36000.77005361 * tut1, 360.0L);
    long double meananomaly = std::fmod((357.5277233 + 35999.05034 * tut1) * kDegToRad, twopi);
    if (meananomaly < 0) meananomaly += twopi;

    long double eclplong =
        meanlong + 1.914666471 * std::sin(meananomaly) + 0.019994643 * std::sin(2 * meananomaly);
    eclplong = eclplong * kDegToRad;
    long double obliquity = 23.439291 - 0.0130042 * tut1;
    obliquity = obliquity * kDegToRad;

    magr = (1.000140612 - 0.016708617 * std::cos(meananomaly) -
            0.000139589 * std::cos(2 * meananomaly)) *
           AU * 1000.0;

    uvec.SetX(std::cos(eclplong));
    uvec.SetY(std::cos(obliquity) * std::sin(eclplong));
    uvec.SetZ(std::sin(obliquity) * std::sin(eclplong));
    uvec = uvec.RotateZ(-gst);
}

void LuniSolarPosition::MoonPosition(const mjd& eph, xyz& uvec, long double& magr) const {
    const long double ttdb = Centuries(eph);
    const long double gst = GSTime(eph);
    const long double T = ttdb;

    // Ecliptic longitude, latitude and horizontal parallax, degrees; the terms
    // are summed in this order, from the constant part.
    long double eclplong =
        218.32 + 481267.8813 * T + 6.29 * std::sin(Arg(134.9, 477198.85, T)) -
        1.27 * std::sin(Arg(259.2, -413335.38, T)) + 0.66 * std::sin(Arg(235.7, 890534.23, T)) +
        0.21 * std::sin(Arg(269.9, 954397.7, T)) - 0.19 * std::sin(Arg(357.5, 35999.05, T)) -
        0.11 * std::sin(Arg(186.6, 966404.05, T));
    long double eclplat =
        5.13 * std::sin(Arg(93.3, 483202.03, T)) + 0.28 * std::sin(Arg(228.2, 960400.87, T)) -
        0.28 * std::sin(Arg(318.3, 6003.18, T)) - 0.17 * std::sin(Arg(217.6, -407332.2, T));
    long double hzparal = 0.9508 + 0.0518 * std::cos(Arg(134.9, 477198.85, T)) +
                          0.0095 * std::cos(Arg(259.2, -413335.38, T)) +
                          0.0078 * std::cos(Arg(235.7, 890534.23, T)) +
                          0.0028 * std::cos(Arg(269.9, 954397.7, T));

    // Radians; a negative remainder is kept negative (only sines and cosines
    // of these angles are used).
    eclplong = std::fmod(eclplong * kDegToRad, twopi);
    eclplat = std::fmod(eclplat * kDegToRad, twopi);
    hzparal = std::fmod(hzparal * kDegToRad, twopi);

    const long double obliquity = (23.439291 - 0.0130042 * T) * kDegToRad;

    // Direction cosines in the equatorial frame of date.
    const long double l = std::cos(eclplat) * std::cos(eclplong);
    const long double m = std::cos(obliquity) * std::cos(eclplat) * std::sin(eclplong) -
                          std::sin(obliquity) * std::sin(eclplat);
    const long double n = std::sin(obliquity) * std::cos(eclplat) * std::sin(eclplong) +
                          std::cos(obliquity) * std::sin(eclplat);

    magr = RE / std::sin(hzparal) * 1000.0;

    uvec.SetX(l);
    uvec.SetY(m);
    uvec.SetZ(n);
    uvec = uvec.RotateZ(-gst);
}
