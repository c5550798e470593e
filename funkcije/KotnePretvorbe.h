// Angle conversions: radians, decimal degrees, gon, and two degree-minute-
// second forms.
//
// The packed degree-minute-second number (dd.mmss) holds an angle of D degrees,
// M minutes and S seconds as the single number D + M/100 + S/10000: the integer
// part is the degrees, the first two decimals the minutes, the remaining
// decimals the seconds with their own fraction (46.0254321 is 46 deg 02' 54.321").
// A negative angle is the negative of the packed value of its magnitude.
//
// pi is the program's pi, numerics::kPi (Numerics.h), widened exactly in the
// long double instantiations, and every conversion keeps the order of
// operations written beside it, so that the same input always gives the same
// last bit.
//
// Residues.  A packed value read as a decimal number (46.3 for 46 deg 30') is
// often held just below the whole minute, so that its seconds part comes out
// as 99.99999999997 hundredths of a minute; an angle converted from degrees in
// double precision often comes out as 59.99999999998 seconds.  dms2rad,
// rad2dms and dms2dms treat a seconds part within DmsResidueTolerance of the
// whole minute as the next minute (and 60 minutes as the next degree).  The
// tolerance, 1e-6 arc-seconds (about 30 micrometres on the ground), is far
// above the residue of a double-precision value of an angle up to 360 degrees
// (below 1e-9") and far below any seconds value written by hand.
#ifndef FUNKCIJE_KOTNEPRETVORBE_H
#define FUNKCIJE_KOTNEPRETVORBE_H

#include <cmath>
#include <string>

#include "funkcije/Numerics.h"

// Distance from a whole minute (arc-seconds, or hundredths of a minute in the
// packed form) within which a seconds part is rolled over to the next minute.
inline constexpr double DmsResidueTolerance = 1e-6;

// Range of the seconds decimals of dms2dms; values outside it are clamped.
inline constexpr int DmsMinDecimals = 0;
inline constexpr int DmsMaxDecimals = 19;

namespace kotne_detail {

// The program's pi in the floating type T.
template <typename T>
constexpr T Pi() {
    return static_cast<T>(numerics::kPi);
}

// Splits a non-negative packed magnitude a (dd.mmss) into whole degrees d,
// whole minutes m and seconds s, rolling a seconds part within the tolerance
// of 100 hundredths of a minute into the next minute and 60 minutes into the
// next degree.  The floors stay floating values: they equal the 32-bit integer
// floors for every magnitude below 2^31 and cannot overflow above it.
template <typename T>
void SplitPacked(T a, T& d, T& m, T& s) {
    d = std::floor(a);
    m = std::floor((a - d) * static_cast<T>(100.0));
    s = ((a - d) * static_cast<T>(100.0) - m) * static_cast<T>(100.0);
    if (std::fabs(s - static_cast<T>(100.0)) < static_cast<T>(DmsResidueTolerance)) {
        s = 0;
        m = m + 1;
    }
    if (m == static_cast<T>(60.0)) {
        m = 0;
        d = d + 1;
    }
}

// The text of dms2dms from its parts: d and m whole (d not negative), s the
// seconds, negative the sign of the angle, ndec already clamped.
std::string DmsText(bool negative, long double d, long double m, double s, int ndec);

}  // namespace kotne_detail

// Radians from decimal degrees: x / 180 * pi.
template <typename T>
T deg2rad(T x) {
    return x / static_cast<T>(180.0) * kotne_detail::Pi<T>();
}

// Decimal degrees from radians: x * 180 / pi.
template <typename T>
T rad2deg(T x) {
    return x * static_cast<T>(180.0) / kotne_detail::Pi<T>();
}

// Radians from gon (400 gon to the circle): x * pi / 200.
template <typename T>
T gon2rad(T x) {
    return x * kotne_detail::Pi<T>() / static_cast<T>(200.0);
}

// Gon from radians: x * 200 / pi.
template <typename T>
T rad2gon(T x) {
    return x * static_cast<T>(200.0) / kotne_detail::Pi<T>();
}

// Radians from a packed dd.mmss number x (the sign applies to the whole
// angle).  Degrees = D + M/60 + S/3600 in the precision of T.  A seconds part
// within DmsResidueTolerance of 100 counts as the next minute, so 46.3 (held as
// 46.29999999999999716) is 46 deg 30', not 46 deg 29' 99.99999999997".
// Not-a-number and infinities come back as they went in.
template <typename T>
T dms2rad(T x) {
    if (!std::isfinite(x)) return deg2rad(x);
    const bool negative = x < 0;
    T d, m, s;
    kotne_detail::SplitPacked(std::fabs(x), d, m, s);
    const T degrees = d + m / static_cast<T>(60.0) + s / static_cast<T>(3600.0);
    const T r = deg2rad(degrees);
    return negative ? -r : r;
}

// Packed dd.mmss number from radians x.  Seconds within DmsResidueTolerance of
// 60 become the next minute and 60 minutes the next degree, so that the packed
// form never shows 60 seconds or 60 minutes: the double-precision radians of
// 46 deg give 46.0, not 45.595999999999999.  Not-a-number and infinities come
// back as they went in.
template <typename T>
T rad2dms(T x) {
    const T g = rad2deg(x);
    if (!std::isfinite(g)) return g;
    const bool negative = g < 0;
    const T a = std::fabs(g);
    T d = std::floor(a);
    T m = std::floor((a - d) * static_cast<T>(60.0));
    T s = ((a - d) * static_cast<T>(60.0) - m) * static_cast<T>(60.0);
    if (std::fabs(s - static_cast<T>(60.0)) < static_cast<T>(DmsResidueTolerance)) {
        s = 0;
        m = m + 1;
    }
    if (m == static_cast<T>(60.0)) {
        m = 0;
        d = d + 1;
    }
    const T r = d + m / static_cast<T>(100.0) + s / static_cast<T>(10000.0);
    return negative ? -r : r;
}

// Text of a packed dd.mmss number: degrees in 3 characters, minutes in 3,
// seconds in ndec + 4 characters with ndec decimals, all right-aligned
// ("%3d%3d%<ndec+4>.<ndec>lf"): dms2dms(46.0254321, 1) is " 46  2 54.3".  An
// angle between -1 deg and 0 deg keeps its sign by writing " -0" as the
// degrees (" -0 50  0.0" for -0.5).  Seconds within DmsResidueTolerance of 100
// hundredths of a minute are written as the next minute.
//
// ndec is clamped to [DmsMinDecimals, DmsMaxDecimals].  Angles whose degrees do
// not fit a 32-bit integer are written with the degrees and minutes as whole
// floating numbers in the same fields.  Not-a-number and infinities write
// "nan" or "inf" (signed) as the degrees and "nan" as minutes and seconds
// ("infnan  nan" for infinity with ndec 1).  The text has no length limit.
template <typename T>
std::string dms2dms(T dms, int ndec) {
    const long double x = dms;
    if (!std::isfinite(x)) {
        // No minutes or seconds to speak of: the degrees field shows the value.
        const double nan = std::nan("");
        return kotne_detail::DmsText(x < 0, std::fabs(x), nan, nan, ndec);
    }
    long double d, m, s;
    kotne_detail::SplitPacked(std::fabs(x), d, m, s);
    return kotne_detail::DmsText(x < 0, d, m, static_cast<double>(s), ndec);
}

// Decimal degrees from separate fields, in double precision:
// d - m/60 - s/3600 when d < 0, otherwise d + m/60 + s/3600 (so -0 deg 30'
// cannot be given this way: 0 30 0 is +0.5 deg).
double dms2deg(short d, short m, double s);

// Degrees from the three fields of the degrees-minutes-seconds text notation
// (integer degrees and minutes, seconds), the sign of the degrees applying to
// the whole angle: m/60 and s/3600 in double precision, the sum extended.
long double dmsv2deg(int d, int m, double s);

// Radians from separate fields, in double precision: pi * dms2deg(d, m, s) / 180.
double dms2rad(short d, short m, double s);

#endif  // FUNKCIJE_KOTNEPRETVORBE_H
