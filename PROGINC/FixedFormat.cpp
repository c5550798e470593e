#include "PROGINC/FixedFormat.h"

#include <cfloat>
#include <cstdint>
#include <cstring>

// The conversion reads the x87 80-bit format: a 64-bit significand with an
// explicit integer bit in the low eight bytes, sign and 15-bit biased
// exponent in the next two.
static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && LDBL_MIN_EXP == -16381,
              "FixedFormat reads the x87 80-bit extended format");

namespace {

// __extension__: the 128-bit integer is a GNU extension, and the pedantic
// warnings are on.
__extension__ typedef unsigned __int128 u128;

// Exponent field of the infinities and NaNs, and the bias of the exponent.
constexpr unsigned kExponentAllOnes = 0x7fff;
constexpr int kExponentBias = 16383;
// Significand bits after the binary point of the x87 significand (the
// integer bit is bit 63).
constexpr int kFractionBits = 63;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;

// 10^0 ... 10^19, the powers of ten in 64 bits.
constexpr std::uint64_t kPow10[fixedformat::kMaxDecimals + 1] = {1ull,
                                                                 10ull,
                                                                 100ull,
                                                                 1000ull,
                                                                 10000ull,
                                                                 100000ull,
                                                                 1000000ull,
                                                                 10000000ull,
                                                                 100000000ull,
                                                                 1000000000ull,
                                                                 10000000000ull,
                                                                 100000000000ull,
                                                                 1000000000000ull,
                                                                 10000000000000ull,
                                                                 100000000000000ull,
                                                                 1000000000000000ull,
                                                                 10000000000000000ull,
                                                                 100000000000000000ull,
                                                                 1000000000000000000ull,
                                                                 10000000000000000000ull};

// "00" "01" ... "99": two digits per division by 100.
struct DigitPairs {
    char c[200];
    constexpr DigitPairs() : c() {
        for (int i = 0; i < 100; ++i) {
            c[2 * i] = static_cast<char>('0' + i / 10);
            c[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
constexpr DigitPairs kPairs{};

// Limbs of the big integer of the values from 2^64 up: base 10^9 (nine
// decimal digits each, so a limb times 2^32 plus a carry stays in 64 bits),
// enough for the 4933 digits of LDBL_MAX.
constexpr std::uint32_t kLimbBase = 1000000000u;
constexpr int kLimbDigits = 9;
constexpr int kMaxLimbs =
    static_cast<int>((fixedformat::kMaxIntegerDigits + kLimbDigits - 1) / kLimbDigits);
// Bits multiplied into the big integer per pass over its limbs.
constexpr int kShiftPerPass = 32;

// Number of decimal digits of x (1 for 0).  From the bit length b of x,
// t = floor(b * log10(2)) (1233 / 4096 is log10(2) close enough for b <= 64)
// is the digit count of the smallest number of that length, less one, and x
// has t digits or t + 1.  (x | 1 counts 0 as 1, and changes no comparison
// with the even 10^t, t >= 1.)
int DigitCount(std::uint64_t x) {
    const int bits = 64 - __builtin_clzll(x | 1);
    const int t = (bits * 1233) >> 12;
    return t + ((x | 1) >= kPow10[t] ? 1 : 0);
}

// Writes the n lowest decimal digits of x, with leading zeros, into the n
// characters before end.
void PutDigits(char* end, std::uint64_t x, int n) {
    while (n >= 2) {
        const std::uint64_t pair = x % 100;
        x /= 100;
        end -= 2;
        std::memcpy(end, &kPairs.c[2 * pair], 2);
        n -= 2;
    }
    if (n > 0) *--end = static_cast<char>('0' + x % 10);
}

// Places a text of len characters, written by put at the address it is
// given, in a field of width (see FormatFixed), if the whole field fits in
// size characters; returns the field's length.
template <class Put>
std::size_t Place(char* out, std::size_t size, std::size_t len, int width, const Put& put) {
    const std::size_t field = fixedformat::FieldChars(width);
    const std::size_t total = field > len ? field : len;
    if (total > size) return total;
    const std::size_t pad = total - len;
    // Most fields of the comma-separated output have no padding: no call.
    if (width < 0) {
        put(out);
        if (pad) std::memset(out + len, ' ', pad);
    } else {
        if (pad) std::memset(out, ' ', pad);
        put(out + pad);
    }
    return total;
}

// m * 2^shift (shift >= 0) in base 10^9, least significant limb first;
// returns the number of limbs.
int ScaleByPowerOfTwo(std::uint64_t m, int shift, std::uint32_t (&limb)[kMaxLimbs]) {
    int n = 0;
    do {
        limb[n++] = static_cast<std::uint32_t>(m % kLimbBase);
        m /= kLimbBase;
    } while (m != 0);
    while (shift > 0) {
        const int s = shift < kShiftPerPass ? shift : kShiftPerPass;
        shift -= s;
        std::uint64_t carry = 0;
        for (int i = 0; i < n; ++i) {
            const std::uint64_t t = (std::uint64_t{limb[i]} << s) + carry;
            limb[i] = static_cast<std::uint32_t>(t % kLimbBase);
            carry = t / kLimbBase;
        }
        // The value stays below 2^16384, which has kMaxLimbs limbs at most.
        while (carry != 0 && n < kMaxLimbs) {
            limb[n++] = static_cast<std::uint32_t>(carry % kLimbBase);
            carry /= kLimbBase;
        }
    }
    return n;
}

}  // namespace

std::size_t FormatFixed(char* out, std::size_t size, long double v, int width, int decimals) {
    const int d = decimals < 0                           ? 0
                  : decimals > fixedformat::kMaxDecimals ? fixedformat::kMaxDecimals
                                                         : decimals;
    std::uint64_t m = 0;
    std::uint16_t signExponent = 0;
    std::memcpy(&m, &v, sizeof m);
    std::memcpy(&signExponent, reinterpret_cast<const char*>(&v) + sizeof m, sizeof signExponent);
    const bool negative = (signExponent >> 15) != 0;
    const unsigned biased = signExponent & kExponentAllOnes;
    const std::size_t sign = negative ? 1 : 0;

    // Infinities and NaNs; a non-zero exponent without the integer bit is no
    // number for the x87, and glibc prints it as a NaN.
    if (biased == kExponentAllOnes || (biased != 0 && (m & kIntegerBit) == 0)) {
        const char* word = biased == kExponentAllOnes && m == kIntegerBit ? "inf" : "nan";
        return Place(out, size, sign + 3, width, [&](char* p) {
            if (negative) *p++ = '-';
            std::memcpy(p, word, 3);
        });
    }

    // v = m * 2^e; the denormals (and pseudo-denormals) share the smallest
    // normal exponent.
    const int e = (biased == 0 ? 1 : static_cast<int>(biased)) - kExponentBias - kFractionBits;

    if (e <= 0) {
        // Below 2^64: integer part and fraction bits of the significand,
        // the decimals as fraction * 10^d / 2^k rounded to nearest, ties to
        // an even last digit.
        const int k = -e;  // 0 ... 16445 fraction bits
        const std::uint64_t p10 = kPow10[d];
        std::uint64_t whole = 0, fraction = 0;
        if (k == 0) {
            whole = m;
        } else if (k < 64) {
            whole = m >> k;
            fraction = m & ((std::uint64_t{1} << k) - 1);
        } else {
            fraction = m;
        }
        std::uint64_t decimalsValue = 0;
        if (fraction != 0 && k <= 128) {
            // fraction < 2^64 and 10^d < 2^64: the product is exact.
            const u128 scaled = static_cast<u128>(fraction) * p10;
            u128 rest = scaled;
            if (k < 128) {
                decimalsValue = static_cast<std::uint64_t>(scaled >> k);  // < 10^d
                rest = scaled & ((static_cast<u128>(1) << k) - 1);
            }
            const u128 half = static_cast<u128>(1) << (k - 1);
            // The last digit written is the last decimal, or the units when
            // there are no decimals.
            const std::uint64_t last = d == 0 ? whole : decimalsValue;
            if (rest > half || (rest == half && (last & 1) != 0)) {
                if (++decimalsValue == p10) {
                    decimalsValue = 0;
                    ++whole;  // whole < 2^63 when k > 0
                }
            }
        }
        // Beyond 128 fraction bits the value is below 2^-64 and so below half
        // a unit of the 19th decimal: every digit is 0.
        const int wholeDigits = DigitCount(whole);
        const std::size_t len = sign + static_cast<std::size_t>(wholeDigits) +
                                (d > 0 ? 1 + static_cast<std::size_t>(d) : 0);
        return Place(out, size, len, width, [&](char* p) {
            if (negative) *p++ = '-';
            p += wholeDigits;
            PutDigits(p, whole, wholeDigits);
            if (d > 0) {
                *p++ = '.';
                PutDigits(p + d, decimalsValue, d);
            }
        });
    }

    // From 2^64 up every long double is a whole number: its digits from the
    // big integer, then the point and zeros.
    std::uint32_t limb[kMaxLimbs];
    const int n = ScaleByPowerOfTwo(m, e, limb);
    const int topDigits = DigitCount(limb[n - 1]);
    const std::size_t len = sign + static_cast<std::size_t>(topDigits) +
                            static_cast<std::size_t>(n - 1) * kLimbDigits +
                            (d > 0 ? 1 + static_cast<std::size_t>(d) : 0);
    return Place(out, size, len, width, [&](char* p) {
        if (negative) *p++ = '-';
        p += topDigits;
        PutDigits(p, limb[n - 1], topDigits);
        for (int i = n - 2; i >= 0; --i) {
            p += kLimbDigits;
            PutDigits(p, limb[i], kLimbDigits);
        }
        if (d > 0) {
            *p++ = '.';
            std::memset(p, '0', static_cast<std::size_t>(d));
        }
    });
}

std::size_t FormatFixed(char* out, long double v, int width, int decimals) {
    return FormatFixed(out, FixedFormatMax(width, decimals), v, width, decimals);
}

std::size_t FormatUnsigned(char* out, unsigned long long v, int width) {
    const int digits = DigitCount(v);
    return Place(out, FormatUnsignedMax(width), static_cast<std::size_t>(digits), width,
                 [&](char* p) { PutDigits(p + digits, v, digits); });
}
