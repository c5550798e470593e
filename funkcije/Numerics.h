// The number model of the system, in one place: the floating type every
// model quantity is held in, the constants written once, and the sine-cosine
// helper of the series.
//
// Every floating-point quantity is 80-bit x87 extended precision (long
// double, 64-bit significand), and the digits the program prints are those of
// that arithmetic done in the written order of operations (the build forbids
// fused multiply-add contraction with -ffp-contract=off).  A long double of
// another width would move the last digits of the tables, so the build stops
// instead.  Numeric constants are double-precision literals, widened exactly
// where they meet a long double.
#ifndef FUNKCIJE_NUMERICS_H
#define FUNKCIJE_NUMERICS_H

#include <cmath>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "Havorkastilo needs long double to be the x87 80-bit extended type (a 64-bit "
              "significand): its results are defined by that arithmetic, bit for bit");

namespace numerics {

// pi as the program knows it: the double nearest to pi, 3.141592653589793
// (below pi by about 1.2e-16), widened exactly in extended precision.  2 pi
// and pi/2 in the program are this double doubled and halved, which is exact.
inline constexpr double kPi = 3.141592653589793;

// Degrees to radians: pi/180 rounded to a double, 0.017453292519943295,
// widened where it is used.  (Not the same as the division by 180 and the
// product with pi of deg2rad, which rounds twice and in extended precision.)
inline constexpr double kDegToRad = kPi / 180.0;

// Sine s and cosine c of the angle a [rad] by one call: the same values as
// sin and cos (the mathematics library computes them by the same reduction
// and the same kernels), for the cost of little more than one.
inline void SinCos(long double a, long double& s, long double& c) {
    ::sincosl(a, &s, &c);
}

}  // namespace numerics

#endif  // FUNKCIJE_NUMERICS_H
