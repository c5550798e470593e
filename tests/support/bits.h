// Bit-for-bit comparison of extended values, and the tests' reproducible
// random numbers.
#ifndef TESTS_SUPPORT_BITS_H
#define TESTS_SUPPORT_BITS_H

#include <cstdint>
#include <cstring>

namespace testsupport {

// Bit equality of the 80 significant bits of two extended values (NaN of the
// same payload included; +0 and -0 differ).
inline bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

// A reproducible sequence of numbers in [0, 1): a 64-bit linear congruential
// generator, its top 53 bits.
struct Uniform {
    std::uint64_t state;
    explicit Uniform(std::uint64_t seed) : state(seed) {}
    long double operator()() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<long double>(state >> 11) / 9007199254740992.0L;
    }
};

}  // namespace testsupport

#endif  // TESTS_SUPPORT_BITS_H
