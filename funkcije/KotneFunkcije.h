// Sines and cosines of the angles the Sun and Moon series and the tide's
// constituents meet, for a fraction of the cost of the mathematics library's.
//
// The library (glibc, x87 long double) reduces every angle beyond about pi/4
// by its method for arguments of any size (a multi-word product with 2/pi),
// which costs several times the sine itself, and the series hand it angles
// of thousands of radians at every epoch; its sine and cosine of a reduced
// angle are table-driven and change the x87 rounding mode twice per call.
// Here:
//   - an angle x with |x| >= 0.785 rad (about pi/4) is reduced by the nearest
//     whole multiple n of pi/2,
//       r = ((x - n P1) - n P2) - n P3,   P1 + P2 + P3 = pi/2 to 119 bits,
//     where P1 and P2 hold 33 bits each, so that n P1 and n P2 are exact for
//     |n| < 2^31 and x - n P1 is exact; the quadrant n mod 4 then picks the
//     function and the sign;
//   - the sine and cosine of r (|r| <= pi/4 and a hair) are the Taylor
//     polynomials to r^19 and r^20, whose next terms are below 1e-22 there,
//     with the coefficients 1/k! rounded once to extended precision,
//     evaluated in powers of r^2 grouped so that sine and cosine share them.
//
// Accuracy, against the library's sinl and cosl of the same x (measured on
// 2 10^6 random angles in each of the ranges [0, pi/4], [pi/4, 7], ...
// [1e5, 1e6] rad): within two units in the last place; below pi/4 some 3 %
// of the sines and 7 % of the cosines differ from the library's, by one
// unit, beyond it, where the reduction rounds too, some 17 %, by up to two.
// Near the zeros of the functions (x a hair from a multiple of pi/2) the
// value is tiny and the reduction's rounding, below 1e-30 there, is many
// units of its last place; what the callers need, the error in absolute
// terms, stays below one unit in the last place of 1 everywhere.
//
// Against the true values (libquadmath's 113-bit sinq and cosq of the same x,
// 10^7 random angles in each of the ranges above): below pi/4 within one
// unit in the last place (at most 0.81 for the sine, 0.99 for the cosine),
// 2.6 % of the sines and 7.4 % of the cosines more than half a unit off;
// beyond it at most 1.7 units for the sine and 2.4 for the cosine, 0.4 to
// 0.75 % of the sines and 0.9 to 1.7 % of the cosines more than one unit
// off.  tests/test_kotne_funkcije.cpp holds them to that level.  NaN,
// infinities and angles with |x| >= 1e6 rad, which would need more bits of
// pi/2, go to the library.
#ifndef FUNKCIJE_KOTNEFUNKCIJE_H
#define FUNKCIJE_KOTNEFUNKCIJE_H

// The reduction's constants: 2/pi, and pi/2 in three parts (33 bits, the
// next 33 bits, the next 53 bits), all doubles.
namespace quarterturns {
inline constexpr double kTwoOverPi = 0.6366197723675814;
inline constexpr double kHalfPi1 = 0x1.921fb544p+0;
inline constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
inline constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
}  // namespace quarterturns

// Sine s and cosine c of r + n pi/2 from the sine sr and cosine cr of r: the
// quadrant n (modulo 4) picks the function and the sign.
void TurnByQuadrants(unsigned n, long double sr, long double cr, long double& s, long double& c);

// Sine and cosine of x (radians) into s and c.
void SinCosByQuadrant(long double x, long double& s, long double& c);

// Sine of x (radians): one polynomial, of the sine or the cosine of the
// reduced angle as the quadrant asks.
long double SinByQuadrant(long double x);

#endif  // FUNKCIJE_KOTNEFUNKCIJE_H
