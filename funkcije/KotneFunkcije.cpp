#include "funkcije/KotneFunkcije.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Below this magnitude (rad, a hair under pi/4) an angle needs no reduction.
constexpr double kNoReduction = 0.785;
// From this magnitude (rad) on, the three-part reduction would need more
// bits of pi/2; the library's own reduction takes over.
constexpr double kLargestReduced = 1e6;

using quarterturns::kHalfPi1;
using quarterturns::kHalfPi2;
using quarterturns::kHalfPi3;
using quarterturns::kTwoOverPi;

// 1.5 * 2^63.  A sum with it has a unit in the last place of 1, so adding it
// to a value below 2^62 in magnitude rounds that value to the nearest whole
// number, and the sum's 64-bit significand holds 2^63 + 2^62 plus that whole
// number: its low bits are the number's, in two's complement.
constexpr double kRoundingShift = 0x1.8p63;

// 1/k!, rounded once to extended precision (k! itself, up to 20!, is exact).
constexpr long double InverseFactorial(int k) {
    long double f = 1;
    for (int i = 2; i <= k; ++i) f *= i;
    return 1 / f;
}

// Taylor coefficients of the sine (r^3 .. r^19) and of the cosine
// (r^2 .. r^20), signs included.
constexpr long double kS3 = -InverseFactorial(3), kS5 = InverseFactorial(5),
                      kS7 = -InverseFactorial(7), kS9 = InverseFactorial(9),
                      kS11 = -InverseFactorial(11), kS13 = InverseFactorial(13),
                      kS15 = -InverseFactorial(15), kS17 = InverseFactorial(17),
                      kS19 = -InverseFactorial(19);
constexpr long double kC2 = -InverseFactorial(2), kC4 = InverseFactorial(4),
                      kC6 = -InverseFactorial(6), kC8 = InverseFactorial(8),
                      kC10 = -InverseFactorial(10), kC12 = InverseFactorial(12),
                      kC14 = -InverseFactorial(14), kC16 = InverseFactorial(16),
                      kC18 = -InverseFactorial(18), kC20 = InverseFactorial(20);

// Powers of r^2 that both polynomials use.
struct Powers {
    long double z, z2, z4;  // r^2, r^4, r^8
    explicit Powers(long double r) : z(r * r), z2(z * z), z4(z2 * z2) {}
};

// sin r = r + r^3 (S3 + S5 r^2 + ... + S19 r^16), the bracket grouped in
// pairs of terms so that its parts are independent of one another.  A zero
// keeps its sign, as the library's sine keeps it (the sum would give +0).
long double SinPolynomial(long double r, const Powers& p) {
    if (r == 0) return r;
    const long double bracket =
        (kS3 + p.z * kS5) + p.z2 * (kS7 + p.z * kS9) +
        p.z4 * ((kS11 + p.z * kS13) + p.z2 * (kS15 + p.z * kS17) + p.z4 * kS19);
    return r + (r * p.z) * bracket;
}

// cos r = 1 + (C2 r^2 + r^4 (C4 + C6 r^2 + ... + C20 r^16)); C2 r^2 = -r^2/2
// is exact.
long double CosPolynomial(const Powers& p) {
    const long double bracket =
        (kC4 + p.z * kC6) + p.z2 * (kC8 + p.z * kC10) +
        p.z4 * ((kC12 + p.z * kC14) + p.z2 * (kC16 + p.z * kC18) + p.z4 * kC20);
    return 1 + (p.z * kC2 + p.z2 * bracket);
}

// An angle as n quarter turns plus a remainder r, |r| <= pi/4 and a hair.
struct Quadrant {
    long double r;  // remainder, radians
    unsigned n;     // number of quarter turns, modulo 4
};

Quadrant Reduce(long double x) {
    if (std::fabs(x) < kNoReduction) return {x, 0};
    const long double shifted = x * kTwoOverPi + kRoundingShift;
    const long double n = shifted - kRoundingShift;
    std::uint64_t significand;
    std::memcpy(&significand, &shifted, sizeof significand);
    return {((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3,
            static_cast<unsigned>(significand & 3)};
}

// Whether x is finite and small enough for the reduction here.
bool Reducible(long double x) {
    return std::fabs(x) < kLargestReduced;
}

}  // namespace

void SinCosByQuadrant(long double x, long double& s, long double& c) {
    if (!Reducible(x)) {
        ::sincosl(x, &s, &c);
        return;
    }
    const Quadrant q = Reduce(x);
    const Powers p(q.r);
    TurnByQuadrants(q.n, SinPolynomial(q.r, p), CosPolynomial(p), s, c);
}

void TurnByQuadrants(unsigned n, long double sr, long double cr, long double& s, long double& c) {
    switch (n & 3) {
        case 0:
            s = sr;
            c = cr;
            break;
        case 1:
            s = cr;
            c = -sr;
            break;
        case 2:
            s = -sr;
            c = -cr;
            break;
        default:
            s = -cr;
            c = sr;
            break;
    }
}

long double SinByQuadrant(long double x) {
    if (!Reducible(x)) return std::sin(x);
    const Quadrant q = Reduce(x);
    const Powers p(q.r);
    switch (q.n) {
        case 0:
            return SinPolynomial(q.r, p);
        case 1:
            return CosPolynomial(p);
        case 2:
            return -SinPolynomial(q.r, p);
        default:
            return -CosPolynomial(p);
    }
}
