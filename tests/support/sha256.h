// SHA-256 digests (FIPS 180-4) of byte strings, for comparing long program
// outputs with digests recorded earlier without keeping the outputs.
#ifndef TESTS_SUPPORT_SHA256_H
#define TESTS_SUPPORT_SHA256_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

// Incremental digest: Update any number of times, then Hex once.
class Sha256 {
  public:
    Sha256();
    // Appends the bytes data[0 .. size) to the message.
    void Update(const void* data, std::size_t size);
    // Pads the message and returns its digest as 64 lower-case hexadecimal
    // digits.  The object is spent afterwards (further use gives no meaning).
    std::string Hex();

  private:
    void Block(const unsigned char* p);  // compresses one 64-byte block

    std::uint32_t h_[8];        // chaining value
    unsigned char buf_[64];     // bytes not yet compressed
    std::size_t used_;          // bytes in buf_
    std::uint64_t total_bits_;  // message length so far, bits (modulo 2^64)
};

// Digest of a whole string, 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::string& bytes);

}  // namespace testsupport

#endif  // TESTS_SUPPORT_SHA256_H
