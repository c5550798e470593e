// FormatFixed and FormatUnsigned against glibc's snprintf, which writes the
// table's numbers today: the same characters for random values over each
// column's range, every exact tie, both sides of every rounding boundary,
// every binary exponent of the format, every count of decimals, zeros,
// extremes and non-finite values; texts worked by hand (ties to even, signs
// of zero, digits of powers of two); the buffer bound and the bounded calls;
// no allocation.
//
// The comparisons draw from a fixed seed, printed with the counts and the
// mismatches.  The values per (width, decimals) pair default to a small
// sample; HAVORKASTILO_FORMAT_PROOF_COUNT=100000000 makes the full proof,
// and HAVORKASTILO_FORMAT_PROOF_SEED another seed.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "PROGINC/FixedFormat.h"
#include "support/count_allocations.h"

namespace {

// Values per (width, decimals) pair in the categories of random values, ties
// and boundaries together, unless the environment sets another count.
constexpr unsigned long long kSampleCount = 100000;
constexpr unsigned long long kDefaultSeed = 0x486176666d74ull;

// Shares of the count: random values over the column's range, random values
// over the whole range below 2^130, exact ties, and boundaries (the
// nearest long double to a boundary and its two neighbours, both signs).
constexpr double kShareColumn = 0.20;
constexpr double kShareWide = 0.05;
constexpr double kShareTies = 0.10;
constexpr double kShareBoundaries = 0.65;

// Exponent sweep: significands per binary exponent; exponents far from the
// table's magnitudes (value below 2^-140 or from 2^140 up) are taken every
// kSweepStrideBase / count-th one, every one in the full proof.
constexpr int kSweepRandomPerExponent = 1;
constexpr unsigned long long kSweepStrideBase = 100000000;
constexpr int kSweepDenseLow = -140;
constexpr int kSweepDenseHigh = 140;

// x87 format: bias of the exponent field and its all-ones value.
constexpr int kBias = 16383;
constexpr unsigned kExponentAllOnes = 0x7fff;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;

// A column of the table or the CSV: its width and decimals, what it holds,
// and the largest magnitude it holds.  For a fixed width that is the first
// magnitude whose text is wider than the field, 10^(width - decimals - 1)
// ("999999.9" is the widest of width 8); for the CSV, which pads nothing,
// the largest value its quantity reaches, with room to spare.
struct Column {
    int width;
    int decimals;
    const char* holds;
    long double largest;
};

const Column kColumns[] = {
    {8, 1, "seconds of the day; north, east, up (cm)", 1e6L},
    {15, 5, "Sun and Moon longitudes (degrees)", 1e9L},
    {12, 5, "Sun and Moon latitudes (degrees)", 1e6L},
    {15, 1, "Sun and Moon distances (km)", 1e13L},
    {0, 7, "CSV seconds of the day, angles (degrees)", 1e6L},
    {0, 9, "CSV metres", 1e8L},
    {0, 3, "CSV kilometres", 1e10L},
};

unsigned long long EnvCount(const char* name, unsigned long long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    return std::strtoull(text, nullptr, 0);
}

unsigned long long ProofCount() {
    return EnvCount("HAVORKASTILO_FORMAT_PROOF_COUNT", kSampleCount);
}

unsigned long long ProofSeed() {
    return EnvCount("HAVORKASTILO_FORMAT_PROOF_SEED", kDefaultSeed);
}

// SplitMix64: a small generator whose sequence is the same on every library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // Uniform in lo..hi (inclusive; the modulo bias is immaterial here).
    long long Between(long long lo, long long hi) {
        return lo + static_cast<long long>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool Coin() { return (Next() >> 63) != 0; }

  private:
    std::uint64_t state_;
};

// A long double from its sign, exponent field and 64-bit significand.
long double FromBits(bool negative, unsigned biased, std::uint64_t significand) {
    long double v = 0;
    const std::uint16_t se = static_cast<std::uint16_t>((negative ? 0x8000u : 0u) | biased);
    std::memcpy(&v, &significand, sizeof significand);
    std::memcpy(reinterpret_cast<char*>(&v) + sizeof significand, &se, sizeof se);
    return v;
}

std::string Bits(long double v) {
    std::uint64_t m = 0;
    std::uint16_t se = 0;
    std::memcpy(&m, &v, sizeof m);
    std::memcpy(&se, reinterpret_cast<const char*>(&v) + sizeof m, sizeof se);
    char b[64];
    std::snprintf(b, sizeof b, "%04x:%016llx", static_cast<unsigned>(se),
                  static_cast<unsigned long long>(m));
    return b;
}

// A value in [2^x, 2^(x+1)) with a random significand (normal range).
long double RandomWithExponent(Random& r, int x, bool negative) {
    return FromBits(negative, static_cast<unsigned>(x + kBias), r.Next() | kIntegerBit);
}

int Log2Floor(long double v) {
    return std::ilogb(v);
}

std::uint64_t Pow10(int n) {
    std::uint64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Number of decimal digits of x (1 for 0).
int DecimalDigits(std::uint64_t x) {
    int n = 1;
    for (; x >= 10; x /= 10) ++n;
    return n;
}

// The long double nearest to the rounding boundary (2j + 1) / (2 * 10^d):
// both operands are exact (2j + 1 < 2^64, 2 * 10^d < 2^64), so the x87
// quotient is the correctly rounded boundary.
long double NearestToBoundary(std::uint64_t j, int d) {
    return static_cast<long double>(2 * j + 1) / static_cast<long double>(2 * Pow10(d));
}

// A heap buffer of exactly n characters, from malloc: a write past its end is
// a sanitizer error.  (Not std::vector: with this executable's counting
// operator new, g++ 12 takes the inlined delete for a mismatched free.)
class ExactBuffer {
  public:
    explicit ExactBuffer(std::size_t n) : p_(static_cast<char*>(std::malloc(n))), n_(n) {}
    ~ExactBuffer() { std::free(p_); }
    ExactBuffer(const ExactBuffer&) = delete;
    ExactBuffer& operator=(const ExactBuffer&) = delete;
    char* data() const { return p_; }
    std::size_t size() const { return n_; }
    char& operator[](std::size_t i) const { return p_[i]; }

  private:
    char* p_;
    std::size_t n_;
};

// Compares FormatFixed with snprintf for one column, writing FormatFixed
// into a buffer of exactly FixedFormatMax characters (so that the sanitizers
// see any write past the bound), and counts.
class Prover {
  public:
    explicit Prover(const Column& c)
        : col_(c),
          ours_(FixedFormatMax(c.width, c.decimals)),
          ref_(FixedFormatMax(c.width, c.decimals) + 1) {}

    void Check(long double v) {
        const std::size_t n = FormatFixed(ours_.data(), v, col_.width, col_.decimals);
        const int m =
            std::snprintf(ref_.data(), ref_.size(), "%*.*Lf", col_.width, col_.decimals, v);
        ++compared_;
        if (m >= 0 && static_cast<std::size_t>(m) == n &&
            std::memcmp(ours_.data(), ref_.data(), n) == 0)
            return;
        if (++mismatches_ <= kShown) {
            ADD_FAILURE() << "width " << col_.width << ", decimals " << col_.decimals << ", value "
                          << Bits(v) << ":\n  FormatFixed \"" << Head(ours_.data(), n)
                          << "\"\n  snprintf    \"" << Head(ref_.data(), m < 0 ? 0 : m) << "\"";
        }
    }

    // Both signs of a magnitude.
    void CheckBothSigns(long double v) {
        Check(v);
        Check(-v);
    }

    // One line of the proof's record; the test fails on any mismatch.
    void Report(const char* category, const std::string& coverage) const {
        std::printf(
            "[ proof    ] %-14s width %2d decimals %d (%s): %llu values, %llu mismatches%s%s\n",
            category, col_.width, col_.decimals, col_.holds, compared_, mismatches_,
            coverage.empty() ? "" : "; ", coverage.c_str());
        std::fflush(stdout);
        EXPECT_EQ(mismatches_, 0u)
            << category << ", width " << col_.width << ", decimals " << col_.decimals;
    }

  private:
    static constexpr unsigned long long kShown = 5;
    static std::string Head(const char* p, std::size_t n) {
        return n > 80 ? std::string(p, 80) + "..." : std::string(p, n);
    }

    const Column& col_;
    ExactBuffer ours_;
    ExactBuffer ref_;
    unsigned long long compared_ = 0;
    unsigned long long mismatches_ = 0;
};

void PrintRunHeader(const char* test) {
    std::printf("[ proof    ] %s: seed 0x%llx, count %llu per pair\n", test, ProofSeed(),
                ProofCount());
    std::fflush(stdout);
}

unsigned long long Share(double share) {
    return static_cast<unsigned long long>(static_cast<double>(ProofCount()) * share);
}

// Smallest binary exponent of interest for d decimals: a few octaves below
// half a unit of the last decimal.
int LowExponent(int d) {
    return Log2Floor(0.5L / static_cast<long double>(Pow10(d))) - 4;
}

}  // namespace

// Random significands and exponents over each column's range (from below
// half a unit of the last decimal to beyond the widest text), then over the
// whole range below 2^130 (the integer conversion, the change to the big
// integer at 2^64 and its first limbs).
TEST(FixedFormatAgainstGlibc, RandomValuesOverEachColumnsRange) {
    PrintRunHeader("random values");
    int index = 0;
    for (const Column& c : kColumns) {
        Random r(ProofSeed() ^ (0x100u + static_cast<unsigned>(index++)));
        Prover p(c);
        const int lo = LowExponent(c.decimals);
        const int hi = Log2Floor(c.largest) + 2;
        for (unsigned long long i = 0, n = Share(kShareColumn); i < n; ++i)
            p.Check(RandomWithExponent(r, static_cast<int>(r.Between(lo, hi)), r.Coin()));
        for (unsigned long long i = 0, n = Share(kShareWide); i < n; ++i)
            p.Check(RandomWithExponent(r, static_cast<int>(r.Between(-100, 130)), r.Coin()));
        p.Report("random", "binary exponents " + std::to_string(lo) + ".." + std::to_string(hi) +
                               ", then -100..130");
    }
}

// An exact tie at d decimals is a value v with 2 * 10^d * v odd; a binary
// fraction can be one only as odd / 2^(d + 1) (x.25 and x.75 for one
// decimal, odd / 64 for five).  Every such tie of the first integer parts,
// both signs, then random odd numerators of every length up to 64 bits (the
// largest ties, with integer parts up to 2^(63 - d)).
TEST(FixedFormatAgainstGlibc, EveryExactTie) {
    PrintRunHeader("exact ties");
    int index = 0;
    for (const Column& c : kColumns) {
        Random r(ProofSeed() ^ (0x200u + static_cast<unsigned>(index++)));
        Prover p(c);
        const int d = c.decimals;
        const std::uint64_t perUnit = std::uint64_t{1} << d;  // ties in [k, k + 1)
        const long double scale = std::ldexp(1.0L, -(d + 1));
        const unsigned long long budget = Share(kShareTies);
        // Every tie of the column when the count allows (2 * perUnit values
        // per integer part), half of the count otherwise.
        const auto inColumn = static_cast<unsigned long long>(c.largest);
        unsigned long long units = budget / (2 * perUnit);
        if (units < inColumn) units /= 2;
        if (units > inColumn) units = inColumn;
        for (std::uint64_t k = 0; k < units; ++k)
            for (std::uint64_t i = 0; i < perUnit; ++i)
                p.CheckBothSigns(static_cast<long double>((k << (d + 1)) + 2 * i + 1) * scale);
        const unsigned long long sequential = units * 2 * perUnit;
        for (unsigned long long i = sequential; i < budget; ++i) {
            const std::uint64_t odd = (r.Next() >> r.Between(0, 63)) | 1u;
            p.Check((r.Coin() ? -1 : 1) * static_cast<long double>(odd) * scale);
        }
        p.Report("ties", "every tie of |v| < " + std::to_string(units) +
                             (units == inColumn ? " (the whole column)" : "") + ", then random");
    }
}

// A rounding boundary at d decimals is (j + 1/2) / 10^d.  For each boundary:
// the nearest long double and the next one on either side (nextafterl),
// both signs.  Every boundary of the column from 0 up when the count allows,
// half of the count otherwise; then random boundaries of every length of j
// up to the column's largest; then the boundaries where rounding adds a
// digit (10^n - 1/2 * 10^-d), for every n.
TEST(FixedFormatAgainstGlibc, BothSidesOfEveryRoundingBoundary) {
    PrintRunHeader("boundaries");
    int index = 0;
    for (const Column& c : kColumns) {
        Random r(ProofSeed() ^ (0x300u + static_cast<unsigned>(index++)));
        Prover p(c);
        const int d = c.decimals;
        const auto check = [&](std::uint64_t j) {
            const long double b = NearestToBoundary(j, d);
            p.CheckBothSigns(b);
            p.CheckBothSigns(std::nextafterl(b, 0.0L));
            p.CheckBothSigns(std::nextafterl(b, std::numeric_limits<long double>::infinity()));
        };
        const unsigned long long budget = Share(kShareBoundaries) / 6;
        // Boundaries below the column's largest magnitude: j < largest * 10^d.
        const auto inColumn =
            static_cast<unsigned long long>(c.largest * static_cast<long double>(Pow10(d)));
        unsigned long long sequential = budget < inColumn ? budget / 2 : inColumn;
        for (std::uint64_t j = 0; j < sequential; ++j) check(j);
        const int lengths = DecimalDigits(inColumn - 1);
        for (unsigned long long i = sequential; i < budget; ++i)
            check(r.Next() % Pow10(static_cast<int>(r.Between(1, lengths))));
        int carries = 0;
        for (int n = 0; n <= 18; ++n, ++carries) check(Pow10(n) - 1);
        char below[32];
        std::snprintf(below, sizeof below, "%.*Lf", d,
                      static_cast<long double>(sequential) / static_cast<long double>(Pow10(d)));
        p.Report("boundaries", "every boundary of |v| < " + std::string(below) +
                                   (sequential == inColumn ? " (the whole column)" : "") +
                                   ", then random, then " + std::to_string(carries) +
                                   " digit-adding boundaries");
    }
}

// Every exponent field of the format, from the denormals to the largest
// finite numbers: the significands 2^63 (a power of two) and 2^64 - 1 (all
// ones) and random ones, signs alternating; the denormals with random
// significands, the smallest and the largest.  The exponents far from the
// table's magnitudes are taken with a stride in the sample and every one in
// the full proof.
TEST(FixedFormatAgainstGlibc, EveryBinaryExponent) {
    PrintRunHeader("exponent sweep");
    const unsigned long long count = ProofCount() == 0 ? 1 : ProofCount();
    const int stride = static_cast<int>(count >= kSweepStrideBase ? 1 : kSweepStrideBase / count);
    int index = 0;
    for (const Column& c : kColumns) {
        Random r(ProofSeed() ^ (0x400u + static_cast<unsigned>(index++)));
        Prover p(c);
        int exponents = 0;
        for (unsigned biased = 0; biased < kExponentAllOnes; ++biased) {
            const int x = static_cast<int>(biased) - kBias;  // value in [2^x, 2^(x + 1))
            const bool dense = x >= kSweepDenseLow && x < kSweepDenseHigh;
            if (!dense && biased % static_cast<unsigned>(stride) != 0 &&
                biased != kExponentAllOnes - 1 && biased > 1)
                continue;
            ++exponents;
            if (biased == 0) {
                p.CheckBothSigns(FromBits(false, 0, 1));
                p.CheckBothSigns(FromBits(false, 0, kIntegerBit - 1));
                for (int i = 0; i < kSweepRandomPerExponent; ++i)
                    p.Check(FromBits(r.Coin(), 0, r.Next() >> 1));
                continue;
            }
            p.Check(FromBits(false, biased, kIntegerBit));
            p.Check(FromBits(true, biased, ~std::uint64_t{0}));
            for (int i = 0; i < kSweepRandomPerExponent; ++i)
                p.Check(FromBits(r.Coin(), biased, r.Next() | kIntegerBit));
        }
        p.Report("exponent sweep",
                 std::to_string(exponents) + " of 32767 exponent fields (stride " +
                     std::to_string(stride) + " outside 2^" + std::to_string(kSweepDenseLow) +
                     "..2^" + std::to_string(kSweepDenseHigh) + ")");
    }
}

// Every count of decimals FormatFixed takes, 0 to 19, without padding:
// random values of every magnitude where a digit can be non-zero (2^-140 to
// 2^130), ties, and both sides of the boundaries of the first units and of
// the smallest non-zero digit.  The table's pairs need at most 9 decimals;
// at 19 a value under 2^-63 can still round to a last digit of 1.
TEST(FixedFormatAgainstGlibc, EveryDecimalCount) {
    PrintRunHeader("decimal counts");
    for (int d = 0; d <= fixedformat::kMaxDecimals; ++d) {
        Random r(ProofSeed() ^ (0x500u + static_cast<unsigned>(d)));
        const Column c{0, d, "any decimals", 1e6L};
        Prover p(c);
        const unsigned long long each = ProofCount() / 40;  // per category and count
        for (int x = -140; x < 130; ++x) {
            p.Check(FromBits(false, static_cast<unsigned>(x + kBias), kIntegerBit));
            p.Check(FromBits(true, static_cast<unsigned>(x + kBias), ~std::uint64_t{0}));
        }
        for (unsigned long long i = 0; i < each; ++i)
            p.Check(RandomWithExponent(r, static_cast<int>(r.Between(-140, 129)), r.Coin()));
        const long double scale = std::ldexp(1.0L, -(d + 1));
        for (unsigned long long i = 0; i < each; ++i) {
            const std::uint64_t odd = (r.Next() >> r.Between(0, 63)) | 1u;
            p.Check((r.Coin() ? -1 : 1) * static_cast<long double>(odd) * scale);
        }
        for (std::uint64_t j = 0; j < each / 6; ++j) {
            const long double b = NearestToBoundary(j, d);
            p.CheckBothSigns(b);
            p.CheckBothSigns(std::nextafterl(b, 0.0L));
            p.CheckBothSigns(std::nextafterl(b, std::numeric_limits<long double>::infinity()));
        }
        p.Report("decimals", "");
    }
}

// Zeros, infinities, NaNs, the extremes of the format, the powers of two
// where the conversion changes its way (2^63, 2^64, 2^128) with their
// neighbours, and the smallest and largest magnitudes each column's width
// holds with their neighbours.
TEST(FixedFormatAgainstGlibc, ZerosExtremesAndNonFiniteValues) {
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    for (const Column& c : kColumns) {
        Prover p(c);
        p.CheckBothSigns(0.0L);
        p.CheckBothSigns(inf);
        p.CheckBothSigns(nan);
        p.CheckBothSigns(std::numeric_limits<long double>::signaling_NaN());
        for (const long double v : {LDBL_MAX, LDBL_MIN, LDBL_TRUE_MIN, LDBL_EPSILON, 1.0L, 0.5L}) {
            p.CheckBothSigns(v);
            p.CheckBothSigns(std::nextafterl(v, 0.0L));
            p.CheckBothSigns(std::nextafterl(v, inf));
        }
        for (const int n : {62, 63, 64, 65, 127, 128, 129}) {
            const long double v = std::ldexp(1.0L, n);
            p.CheckBothSigns(v);
            p.CheckBothSigns(std::nextafterl(v, 0.0L));
            p.CheckBothSigns(std::nextafterl(v, inf));
        }
        // Smallest: half a unit of the last decimal, the first value written
        // with a non-zero digit.  Largest: the first magnitude with a text
        // wider than the field (negative: a tenth of it, for the sign).
        const int d = c.decimals;
        const auto units = static_cast<std::uint64_t>(c.largest) * Pow10(d);
        for (const long double edge : {NearestToBoundary(0, d), NearestToBoundary(units - 1, d),
                                       NearestToBoundary(units / 10 - 1, d)}) {
            p.CheckBothSigns(edge);
            p.CheckBothSigns(std::nextafterl(edge, 0.0L));
            p.CheckBothSigns(std::nextafterl(edge, inf));
        }
        p.Report("edges", "");
    }
}

// Texts worked out by hand from the decimal values: ties go to the even
// digit, negative values keep their sign when they round to zero, padding
// goes left of the text (right for a negative width), and the decimals are
// taken within 0..19.
TEST(FixedFormatTexts, HandWorkedRoundingSignsAndPadding) {
    char b[FixedFormatMax(-40, 19)];
    const auto text = [&b](long double v, int width, int decimals) {
        return std::string(b, FormatFixed(b, v, width, decimals));
    };
    // Ties: x.25 and x.75 at one decimal, x.5 at none, 1/8 and 3/8 at two.
    EXPECT_EQ(text(0.25L, 8, 1), "     0.2");
    EXPECT_EQ(text(0.75L, 8, 1), "     0.8");
    EXPECT_EQ(text(-86399.25L, 8, 1), "-86399.2");
    EXPECT_EQ(text(0.5L, 0, 0), "0");
    EXPECT_EQ(text(1.5L, 0, 0), "2");
    EXPECT_EQ(text(2.5L, 0, 0), "2");
    EXPECT_EQ(text(0.125L, 0, 2), "0.12");
    EXPECT_EQ(text(0.375L, 0, 2), "0.38");
    // 2^-20 = 0.00000095367431640625: a tie at 19 decimals (to the even 2),
    // below the half at 18.
    EXPECT_EQ(text(std::ldexp(1.0L, -20), 0, 19), "0.0000009536743164062");
    EXPECT_EQ(text(std::ldexp(1.0L, -20), 0, 18), "0.000000953674316406");
    // 1 + 2^-63, the long double just above 1: ...0000000000000000001084...
    EXPECT_EQ(text(std::nextafterl(1.0L, 2.0L), 0, 19), "1.0000000000000000001");
    // Signs of zero.
    EXPECT_EQ(text(-0.0L, 8, 1), "    -0.0");
    EXPECT_EQ(text(0.0L, 8, 1), "     0.0");
    EXPECT_EQ(text(-0.04L, 8, 1), "    -0.0");
    EXPECT_EQ(text(-0.4L, 0, 0), "-0");
    EXPECT_EQ(text(-LDBL_TRUE_MIN, 12, 5), "    -0.00000");
    // Rounding that adds a digit, and texts wider than the field.
    EXPECT_EQ(text(999999.96L, 8, 1), "1000000.0");
    EXPECT_EQ(text(-99999.96L, 8, 1), "-100000.0");
    EXPECT_EQ(text(1234.5L, 3, 1), "1234.5");
    // Negative widths align left; out-of-range decimals are clamped.
    EXPECT_EQ(text(1.25L, -8, 1), "1.2     ");
    EXPECT_EQ(text(0.1L, 0, 25), text(0.1L, 0, 19));
    EXPECT_EQ(text(2.5L, 0, -3), "2");
    // Infinities and NaNs fill the field like numbers.
    EXPECT_EQ(text(std::numeric_limits<long double>::infinity(), 8, 1), "     inf");
    EXPECT_EQ(text(-std::numeric_limits<long double>::infinity(), 0, 3), "-inf");
    EXPECT_EQ(text(std::numeric_limits<long double>::quiet_NaN(), 15, 5), "            nan");
    EXPECT_EQ(text(-std::numeric_limits<long double>::quiet_NaN(), -6, 5), "-nan  ");
}

// The decimal digits of powers of two, found by doubling a decimal string,
// and of LDBL_MAX = (2^64 - 1) * 2^16320: its leading digits as <cfloat>
// documents it (1.18973149535723176502e+4932), its length and its last 18
// digits by modular arithmetic.
TEST(FixedFormatTexts, DigitsOfHugeWholeNumbers) {
    ExactBuffer b(FixedFormatMax(0, 3));
    const auto text = [&b](long double v, int decimals) {
        return std::string(b.data(), FormatFixed(b.data(), v, 0, decimals));
    };
    std::string digits = "1";  // most significant first
    int power = 0;
    for (const int n : {63, 64, 65, 127, 128, 129, 200, 1000, 4000, 16383}) {
        for (; power < n; ++power) {
            int carry = 0;
            for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
                const int t = (*it - '0') * 2 + carry;
                *it = static_cast<char>('0' + t % 10);
                carry = t / 10;
            }
            if (carry) digits.insert(digits.begin(), '1');
        }
        EXPECT_EQ(text(std::ldexp(1.0L, n), 3), digits + ".000") << "2^" << n;
        EXPECT_EQ(text(-std::ldexp(1.0L, n), 0), "-" + digits) << "-2^" << n;
    }

    const std::string max = text(LDBL_MAX, 0);
    EXPECT_EQ(max.size(), fixedformat::kMaxIntegerDigits);
    EXPECT_EQ(max.substr(0, 21), "118973149535723176502");
    // (2^64 - 1) * 2^16320 mod 10^18.
    const std::uint64_t mod = 1000000000000000000ull;
    std::uint64_t low = (~std::uint64_t{0}) % mod;  // doubling stays below 2^64
    for (int i = 0; i < 16320; ++i) low = (low * 2) % mod;
    char last[19];
    std::snprintf(last, sizeof last, "%018llu", static_cast<unsigned long long>(low));
    EXPECT_EQ(max.substr(max.size() - 18), last);
}

// Encodings the x87 does not take as numbers are written as NaNs, with their
// sign; pseudo-denormals are tiny numbers.  (Not compared with snprintf: C
// libraries before glibc 2.33 mishandle them.)
TEST(FixedFormatTexts, NonCanonicalEncodings) {
    char b[FixedFormatMax(8, 19)];
    const auto text = [&b](long double v, int decimals) {
        return std::string(b, FormatFixed(b, v, 8, decimals));
    };
    EXPECT_EQ(text(FromBits(false, 0x3fff, kIntegerBit >> 1), 1), "     nan");  // unnormal
    EXPECT_EQ(text(FromBits(true, 0x3fff, kIntegerBit >> 1), 1), "    -nan");
    EXPECT_EQ(text(FromBits(false, 0x1234, 0), 1), "     nan");            // pseudo-zero
    EXPECT_EQ(text(FromBits(false, kExponentAllOnes, 0), 1), "     nan");  // pseudo-infinity
    EXPECT_EQ(text(FromBits(true, kExponentAllOnes, 0), 1), "    -nan");
    EXPECT_EQ(text(FromBits(false, kExponentAllOnes, kIntegerBit >> 1), 1),
              "     nan");                                            // pseudo-NaN
    EXPECT_EQ(text(FromBits(false, 0, kIntegerBit), 1), "     0.0");  // pseudo-denormal
    EXPECT_EQ(text(FromBits(true, 0, ~std::uint64_t{0}), 3), "  -0.000");
    EXPECT_EQ(text(FromBits(false, 0, kIntegerBit), 19), "0.0000000000000000000");
}

// The bound of FormatFixed is reached (by -LDBL_MAX at 19 decimals) and not
// passed; a bounded call that does not fit writes nothing and says how much
// room it needs, and one that fits writes exactly that much.
TEST(FixedFormatBuffer, WorstCaseBoundAndBoundedCalls) {
    EXPECT_EQ(FixedFormatMax(0, 0), 1u + 4933u);
    EXPECT_EQ(FixedFormatMax(8, 1), 1u + 4933u + 2u);
    EXPECT_EQ(FixedFormatMax(0, 19), 1u + 4933u + 20u);
    EXPECT_EQ(FixedFormatMax(0, 40), FixedFormatMax(0, 19));
    EXPECT_EQ(FixedFormatMax(6000, 3), 6000u);
    EXPECT_EQ(FixedFormatMax(-7000, 3), 7000u);
    EXPECT_EQ(FormatUnsignedMax(6), 20u);
    EXPECT_EQ(FormatUnsignedMax(-30), 30u);

    // Exactly sized heap buffers: a write past the end is a sanitizer error.
    for (const int decimals : {0, 1, 19}) {
        ExactBuffer full(FixedFormatMax(0, decimals));
        EXPECT_EQ(FormatFixed(full.data(), -LDBL_MAX, 0, decimals), full.size());
    }
    ExactBuffer wide(FixedFormatMax(-6000, 2));
    const std::size_t n = FormatFixed(wide.data(), -1.5L, -6000, 2);
    ASSERT_EQ(n, 6000u);
    EXPECT_EQ(std::string(wide.data(), 6), "-1.50 ");
    EXPECT_EQ(wide[5999], ' ');

    // Bounded calls.
    char small[12];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(FormatFixed(small, 8, 123456.75L, 12, 5), 12u);  // needs 12, has 8
    EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, '#'));
    EXPECT_EQ(FormatFixed(small, 4, LDBL_MAX, 0, 1), 4935u);
    EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, '#'));
    EXPECT_EQ(FormatFixed(small, 12, 123456.75L, 12, 5), 12u);
    EXPECT_EQ(std::string(small, 12), "123456.75000");
    ExactBuffer exact(11);
    EXPECT_EQ(FormatFixed(exact.data(), exact.size(), -0.5L, 11, 0), 11u);
    EXPECT_EQ(std::string(exact.data(), exact.size()), "         -0");
}

// Formatting allocates nothing, on the fast path or the big integer's.
TEST(FixedFormatBuffer, NothingAllocated) {
    ExactBuffer b(FixedFormatMax(15, 9));
    const long allocations = testsupport::g_allocations;
    std::size_t total = 0;
    for (const long double v : {0.0L, -12.345L, 1.5e11L, 1e30L, LDBL_MAX})
        for (const Column& c : kColumns) total += FormatFixed(b.data(), v, c.width, c.decimals);
    total += FormatUnsigned(b.data(), 58849, 6);
    EXPECT_EQ(testsupport::g_allocations.load(), allocations);
    EXPECT_GT(total, 0u);
}

// FormatUnsigned against "%*llu": every length of number, the edges of each
// length, random values, with the day column's width 6 and others.
TEST(FormatUnsignedTexts, AgainstGlibcAndByHand) {
    char ours[FormatUnsignedMax(-25)];
    char ref[64];
    Random r(ProofSeed());
    unsigned long long mismatches = 0, compared = 0;
    const auto check = [&](unsigned long long v, int width) {
        const std::string a(ours, FormatUnsigned(ours, v, width));
        const int m = std::snprintf(ref, sizeof ref, "%*llu", width, v);
        const std::string b(ref, m < 0 ? 0 : static_cast<std::size_t>(m));
        ++compared;
        if (a != b) {
            ++mismatches;
            ADD_FAILURE() << v << " in width " << width << ": \"" << a << "\" and \"" << b << "\"";
        }
    };
    for (const int width : {0, 1, 6, 20, 25, -6, -25}) {
        for (int n = 0; n <= 19; ++n) {
            const unsigned long long p = Pow10(n);
            check(p - 1, width);
            check(p, width);
            check(p + 1, width);
        }
        check(std::numeric_limits<unsigned long long>::max(), width);
        for (int i = 0; i < 10000; ++i) check(r.Next() >> r.Between(0, 63), width);
    }
    std::printf("[ proof    ] unsigned: %llu values, %llu mismatches\n", compared, mismatches);
    EXPECT_EQ(mismatches, 0u);

    EXPECT_EQ(std::string(ours, FormatUnsigned(ours, 58849, 6)), " 58849");
    EXPECT_EQ(std::string(ours, FormatUnsigned(ours, 0, 6)), "     0");
    EXPECT_EQ(std::string(ours, FormatUnsigned(ours, 199999, 6)), "199999");
    EXPECT_EQ(std::string(ours, FormatUnsigned(ours, 1234567, 6)), "1234567");
    EXPECT_EQ(std::string(ours, FormatUnsigned(ours, 18446744073709551615ull, 0)),
              "18446744073709551615");
}
