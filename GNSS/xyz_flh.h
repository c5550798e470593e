// Conversions between geodetic coordinates on an ellipsoid (flh, flht) and
// Earth-fixed Cartesian coordinates (xyz, xyzt).
//
// Latitudes and longitudes are geodetic, in radians; heights are ellipsoidal,
// in metres; Cartesian components are metres in the frame whose Z axis is the
// ellipsoid's polar axis and whose X axis points to longitude 0.  The
// arguments are not changed; the results are built unchecked (the caller's
// assignment to an flh or flht runs its checks).
#ifndef GNSS_XYZ_FLH_H
#define GNSS_XYZ_FLH_H

#include "GNSS/elipsoid.h"
#include "GNSS/flh.h"
#include "GNSS/flht.h"
#include "GNSS/xyz.h"
#include "GNSS/xyzt.h"

// Cartesian position of the point pos (latitude, longitude in radians, height
// in metres) on the ellipsoid elps, in metres; closed form with the
// prime-vertical radius N:
//   x = (N + h) cos(fi) cos(la),  y = (N + h) cos(fi) sin(la),
//   z = ((1 - e^2) N + h) sin(fi).
xyz flh2xyz(const flh& pos, const elipsoid& elps);

// As flh2xyz, with the cosine and sine of the longitude given (cosla, sinla),
// for placing many points on one meridian; the result is that of flh2xyz, to
// the last bit, when they are std::cos and std::sin of pos.GetL().
xyz flh2xyz(const flh& pos, const elipsoid& elps, long double cosla, long double sinla);

// As flh2xyz, from the height h and the sines and cosines of the latitude
// (sinfi, cosfi: numerics::SinCos of it) and of the longitude (std::sin,
// std::cos), for placing the nodes of a grid, which share them along rows
// and columns; the result is that of flh2xyz, to the last bit.
xyz flh2xyz(long double h, long double sinfi, long double cosfi, long double sinla,
            long double cosla, const elipsoid& elps);

// As flh2xyz; the time value of pos is copied into the result.
xyzt flht2xyzt(const flht& pos, const elipsoid& elps);

// Geodetic latitude, longitude (radians) and height (metres) of the point ecef
// (metres) on the ellipsoid elps.
//
// Longitude: atan(y/x), moved by +pi (y > 0) or -pi (y <= 0) when x < 0, with
// pi the program's pi (numerics::kPi); it lies in [-pi, pi] and the negative X
// axis gives -pi.  An x of -0 counts as +0, so the +Y axis is +pi/2.
// Latitude and height: fixed-point iteration from the start latitude
// atan(z/((1 - e) p (1 + e))), p = sqrt(x^2 + y^2), repeating
//   N = N(fi0),  h = p/cos(fi0) - N,  fi1 = atan(z/((1 - e^2 N/(N + h)) p))
// until |fi1 - fi0| <= 1e-14 rad.  The result holds the last latitude fi1 and
// the height computed with the latitude before it.  Ordinary points need a
// handful of passes; the loop stops after 1000 in any case (odd input: points
// within some 40 km of the geocentre where the iteration cycles, infinities,
// NaN), returning the last pass.
//
// On the polar axis (p = 0) the result is longitude 0, latitude +pi/2 (z > 0)
// or -pi/2 (z < 0) and height |z| - b, b = (1 - e^2) N(pi/2) = a sqrt(1 - e^2)
// the polar semi-axis.  The geocentre itself (x = y = z = 0) gives latitude 0,
// longitude 0 and height -a, which flh2xyz maps back onto the origin.  So close
// to the axis that the iteration cannot resolve the latitude (within some
// centimetres of it at the surface, within about 1e-7 m for a 1 m vector),
// the same pole answer, with the computed longitude, is returned
// whenever flh2xyz maps it nearer to the point than the iterated one; it then
// misses the point by about p.
//
// Accuracy, measured on GRS80: near the surface up to latitudes of 80 degrees
// the latitude comes back within 1e-14 rad and the height within 2e-7 m (the
// height is taken one latitude step early).  A 1 m direction (the Sun and Moon
// vectors) is mapped back within 5e-13 m up to 30 degrees from the equator and
// 1e-12 m up to 85 degrees; closer to the axis the miss grows (some 1e-10 m at
// 1e-3 rad from it, 1e-7 m at 1e-6 rad) until the pole answer takes over.
// Near the poles the height p/cos(fi) - N loses digits (tens of micrometres a
// few kilometres from the axis, millimetres within some tens of metres).
flh xyz2flh(const xyz& ecef, const elipsoid& elps);

// Geodetic latitude fi and longitude la (radians) of the point ecef (metres)
// on the ellipsoid elps, without the height: what the table shows of the
// Sun's and the Moon's directions.
//
// The longitude is that of xyz2flh, to the last bit (the same formula).  The
// latitude is exact to within about 2e-19 rad for points between half and
// twice the semi-major axis from the centre and up to some 89.4 degrees
// from the equator: three Newton steps on the foot point of the normal, in
// the tangent of the reduced latitude, from that of a point on the
// ellipsoid, then one atan; no sine or cosine.  xyz2flh stops its iteration
// on a change of 1e-14 rad and lands within some 1e-16 rad of the exact
// latitude (on a 6.4e6 m vector, 2e-17 rad up to 35 degrees), so the two
// latitudes differ by that much.  Every other point (nearer the centre or
// the axis, farther out, NaN, infinities) gets xyz2flh's own latitude and
// longitude.
void xyz2fl(const xyz& ecef, const elipsoid& elps, long double& fi, long double& la);

// As xyz2flh, but the iteration stops when |fi1 - fi0| + |h1 - h0| <= 1e-14
// (h0 the height of the previous pass, the start height p/cos(fi0) - N(fi0)
// for the first); the same 1000-pass bound and the same polar-axis answers.
// The time value of ecef is copied into the result.
flht xyzt2flht(const xyzt& ecef, const elipsoid& elps);

#endif  // GNSS_XYZ_FLH_H
