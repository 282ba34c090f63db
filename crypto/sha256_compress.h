// Internal to the SHA-256 code: the compression function over runs of 64-byte blocks, in
// every implementation. Exposed in a header so that the tests can compare them.
#ifndef KT_CRYPTO_SHA256_COMPRESS_H
#define KT_CRYPTO_SHA256_COMPRESS_H

#include <cstddef>
#include <cstdint>

// The FIPS 180-2 round constants K0 to K63.
extern const uint32_t kSha256RoundConstants[64];

// Each compresses `count` consecutive blocks into `hash` and does nothing when `count` is 0.

// Portable C++, always present.
void Sha256CompressPortable(uint32_t hash[8], const uint8_t* blocks, size_t count);

#if defined(__x86_64__) || defined(__i386__)
// Whether this processor and operating system can run Sha256CompressAvx2.
bool Sha256Avx2Supported();

// Message schedule of two blocks at a time in AVX2 vectors, rounds with BMI2 rotates.
void Sha256CompressAvx2(uint32_t hash[8], const uint8_t* blocks, size_t count);
#endif

// The fastest of the above that this processor runs.
void Sha256Compress(uint32_t hash[8], const uint8_t* blocks, size_t count);

#endif
