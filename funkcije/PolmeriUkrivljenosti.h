// Radii of curvature of an ellipsoid of revolution.
#ifndef FUNKCIJE_POLMERIUKRIVLJENOSTI_H
#define FUNKCIJE_POLMERIUKRIVLJENOSTI_H

#include <cmath>

// Prime-vertical radius of curvature N at geodetic latitude fi (radians) of
// an ellipsoid with semi-major axis a (metres) and first eccentricity e; the
// result is in the unit of a.  N = a at the equator and a/sqrt(1 - e^2) at the
// poles.  The denominator is kept in the factored form (1 + e s)(1 - e s),
// s = sin fi, rather than 1 - e^2 s^2.  Used with T = long double.
template <class T>
T PolmerNOfSine(T s, T a, T e);

template <class T>
T PolmerN(T fi, T a, T e) {
    return PolmerNOfSine(std::sin(fi), a, e);
}

// The same from the sine s of the latitude, for callers that have it.
template <class T>
T PolmerNOfSine(T s, T a, T e) {
    return a / std::sqrt((1 + e * s) * (1 - e * s));
}

#endif  // FUNKCIJE_POLMERIUKRIVLJENOSTI_H
