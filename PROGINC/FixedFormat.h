// Fixed-point text of extended-precision numbers, written without the C
// library's formatted printing.
//
// FormatFixed writes a long double exactly as glibc's
//     snprintf(buf, n, "%*.*Lf", width, decimals, v)
// writes it in the default rounding mode (round to nearest), for every bit
// pattern of the x87 80-bit format:
//   - the decimal value of v, rounded to the given decimals, exact ties to the
//     even last digit (0.25 with 1 decimal is "0.2", 0.75 is "0.8");
//   - a minus sign whenever the sign bit is set, so -0.0 and negative values
//     that round to zero are written "-0.0..." as glibc writes them;
//   - "inf", "-inf", "nan", "-nan" for the infinities and NaNs; the encodings
//     the x87 has not taken as numbers since the 80387 (unnormals, pseudo-
//     zeros, pseudo-infinities, pseudo-NaNs: a non-zero exponent with the
//     explicit integer bit clear) are NaNs too, as glibc (2.33 on) prints
//     them;
//     pseudo-denormals (zero exponent, integer bit set) are read as the
//     hardware reads them, m * 2^-16445, which is below any printed digit;
//   - right-aligned and blank-filled to width, or left-aligned and blank-
//     filled to -width when width is negative (printf's '*' with a negative
//     argument); width 0 (or any width under the text's length) pads nothing.
//
// Every value below 2^64 (1.8e19) is converted by exact integer arithmetic on
// the 64-bit significand: the integer part is the significand shifted right,
// the decimals are the fraction bits times 10^decimals in unsigned __int128,
// rounded by the bits shifted out (10^19 is the largest power of ten in 64
// bits, which bounds the decimals).  From 2^64 up every long double is a
// whole number, of 20 to 4933 digits (LDBL_MAX is about 1.19e4932); it is
// converted exactly in a big integer of base 10^9 on the stack, at a cost
// that grows with the number of digits.  Nothing is allocated, no global
// state is read or written, and the locale plays no part (the decimal point
// is always '.'), so any number of threads may format at once.
//
// The same text as glibc is shown by tests/test_fixed_format.cpp, which
// compares the two on random values, exact ties, both sides of rounding
// boundaries, every binary exponent and every count of decimals.
#ifndef PROGINC_FIXEDFORMAT_H
#define PROGINC_FIXEDFORMAT_H

#include <cstddef>

namespace fixedformat {

// Most decimals FormatFixed writes; more are taken as this many.
constexpr int kMaxDecimals = 19;

// Digits of the integer part of the largest finite long double (LDBL_MAX =
// (2^64 - 1) * 2^16320, about 1.19e4932).
constexpr std::size_t kMaxIntegerDigits = 4933;

// Digits of the largest unsigned long long (18446744073709551615).
constexpr std::size_t kMaxUnsignedDigits = 20;

// Field width as a count of characters: |width| (printf's '*' with a negative
// argument left-aligns in -width characters).
constexpr std::size_t FieldChars(int width) {
    return width < 0 ? std::size_t{0} - static_cast<std::size_t>(static_cast<long long>(width))
                     : static_cast<std::size_t>(width);
}

}  // namespace fixedformat

// Characters FormatFixed writes at most, for any long double, with these width
// and decimals: the longer of |width| and the longest unpadded text (sign,
// 4933 integer digits, point and decimals; 4935 + decimals for decimals > 0).
// Decimals outside 0..kMaxDecimals count as FormatFixed takes them.
constexpr std::size_t FixedFormatMax(int width, int decimals) {
    const std::size_t d = decimals < 0 ? 0
                          : decimals > fixedformat::kMaxDecimals
                              ? static_cast<std::size_t>(fixedformat::kMaxDecimals)
                              : static_cast<std::size_t>(decimals);
    const std::size_t text = 1 + fixedformat::kMaxIntegerDigits + (d > 0 ? 1 + d : 0);
    const std::size_t field = fixedformat::FieldChars(width);
    return field > text ? field : text;
}

// Writes v as printf's "%*.*Lf" with the given width and decimals into out,
// which must hold at least FixedFormatMax(width, decimals) characters (any
// long double fits then; a value of magnitude below 1e18 takes at most the
// longer of |width| and 21 + decimals characters); returns the number of
// characters written.  No terminating NUL is written.
//   v:        any long double;
//   width:    field width in characters (see above; 0 pads nothing);
//   decimals: digits after the point, 0..kMaxDecimals (0 writes no point, as
//             "%.0Lf"); a negative count is taken as 0 and a larger one as
//             kMaxDecimals.
std::size_t FormatFixed(char* out, long double v, int width, int decimals);

// The same for a buffer of size characters: writes the text only if all of it
// fits (its length <= size) and nothing otherwise, and returns the length of
// the whole text in either case, so a caller can make room and call again.
std::size_t FormatFixed(char* out, std::size_t size, long double v, int width, int decimals);

// Characters FormatUnsigned writes at most with this width: the longer of
// |width| and 20 digits.
constexpr std::size_t FormatUnsignedMax(int width) {
    const std::size_t field = fixedformat::FieldChars(width);
    return field > fixedformat::kMaxUnsignedDigits ? field : fixedformat::kMaxUnsignedDigits;
}

// Writes v in decimal as printf's "%*llu" (and so "%*u", "%*lu" for the
// narrower types) into out, which must hold FormatUnsignedMax(width)
// characters; returns the number written, without a NUL.  width as for
// FormatFixed.
std::size_t FormatUnsigned(char* out, unsigned long long v, int width);

#endif  // PROGINC_FIXEDFORMAT_H
