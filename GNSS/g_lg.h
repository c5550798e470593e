// Rotation of Earth-fixed vectors into the local north, east, up frame of a
// point (global to local geodetic, g2lg) and back (lg2g).
//
// The frame of a point at geodetic latitude fi and longitude la (radians) has
// the rows of R as its axes, expressed in the Earth-fixed frame:
//   north = (-sin fi cos la, -sin fi sin la, cos fi)
//   east  = (-sin la,         cos la,        0)
//   up    = ( cos fi cos la,  cos fi sin la, sin fi)
// Vectors are only rotated: the point's height plays no part and nothing is
// translated.  Lengths keep the unit of the input (metres in this program).
// Arguments are not changed.
#ifndef GNSS_G_LG_H
#define GNSS_G_LG_H

#include "GNSS/elipsoid.h"
#include "GNSS/flh.h"
#include "GNSS/flht.h"
#include "GNSS/neu.h"
#include "GNSS/neut.h"
#include "GNSS/xyz.h"
#include "GNSS/xyzt.h"
#include "matrix/matrix.h"

// The local frame of one point, for turning many vectors at that point: the
// sines and cosines of its latitude and longitude are found once.
class LocalFrame {
  public:
    // tcg: the point (geodetic latitude and longitude in radians; the height
    // plays no part).
    explicit LocalFrame(const flh& tcg);
    // fi, la: geodetic latitude and longitude of the point, radians.
    LocalFrame(long double fi, long double la);
    // Sines and cosines of the latitude (sf, cf) and longitude (sl, cl).
    long double sf, cf, sl, cl;
};

// R vec: north, east, up components of the Earth-fixed vector vec at the
// point tcg.
neu g2lg(const xyz& vec, const flh& tcg);
// The same in a frame made beforehand; the same result, to the last bit, as
// g2lg(vec, tcg) with the point the frame was made for.
neu g2lg(const xyz& vec, const LocalFrame& frame);
// The same at the point whose Earth-fixed position is tc (metres), converted
// with xyz2flh on elps.
neu g2lg(const xyz& vec, const xyz& tc, const elipsoid& elps);

// R^T vec: the Earth-fixed vector of the local north, east, up vector vec at
// the point tcg.
xyz lg2g(const neu& vec, const flh& tcg);
// The same at the Earth-fixed position tc (metres) on elps.
xyz lg2g(const neu& vec, const xyz& tc, const elipsoid& elps);

// As g2lg; the time value of vec is copied.
neut gt2lgt(const xyzt& vec, const flht& tcg);
neut gt2lgt(const xyzt& vec, const flh& tcg);
// The point is tc (metres) converted with xyzt2flht on elps.
neut gt2lgt(const xyzt& vec, const xyzt& tc, const elipsoid& elps);

// As lg2g; the time value of vec is copied.
xyzt lgt2gt(const neut& vec, const flht& tcg);
xyzt lgt2gt(const neut& vec, const xyzt& tc, const elipsoid& elps);

// Covariance propagation Syy = M S M^T with M = R (g2lg) or M = R^T (lg2g) of
// the point tcg.  S is a symmetric 3x3 matrix given through its diagonal and
// upper triangle: only S(0,0), S(1,1), S(2,2), S(0,1), S(0,2) and S(1,2) are
// read, and every element of Syy(0..2, 0..2), both triangles, is written.
// Units: those of S (for example m^2).  Both matrices must have at least 3
// rows and 3 columns; the matrix access check ends the program otherwise.
void g2lg(matrix<long double>& S, const flh& tcg, matrix<long double>& Syy);
void g2lg(matrix<long double>& S, const flht& tcg, matrix<long double>& Syy);
void lg2g(matrix<long double>& S, const flh& tcg, matrix<long double>& Syy);

#endif  // GNSS_G_LG_H
