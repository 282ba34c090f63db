// Internal to the SHA-256 code: the compression function over runs of 64-byte blocks, in
// every implementation. Exposed in a header so that the tests can compare them.
#ifndef KT_CRYPTO_SHA256_COMPRESS_H
#define KT_CRYPTO_SHA256_COMPRESS_H

#include <cstddef>
#include <cstdint>

// The FIPS 180-2 round constants K0 to K63.
extern const uint32_t kSha256RoundConstants[64];

// Each compresses `count` consecutive blocks into `hash` and does nothing when `count` is 0.
// The x86 ones need a processor that runs them (ImplementationSupported, crypto/implementation.h).

// Portable C++, always present.
void Sha256CompressPortable(uint32_t hash[8], const uint8_t* blocks, size_t count);

#if defined(__x86_64__) || defined(__i386__)
// Functions that keep vectors on the stack realign it on entry where the calling convention
// promises less than 16 bytes (32-bit Windows promises 4).
#if defined(__i386__)
#define KT_VECTOR_ENTRY __attribute__((force_align_arg_pointer))
#else
#define KT_VECTOR_ENTRY
#endif

// Message schedule of two blocks at a time in AVX2 vectors, rounds with BMI2 rotates.
void Sha256CompressAvx2(uint32_t hash[8], const uint8_t* blocks, size_t count);

// The SHA instructions.
void Sha256CompressShaExtensions(uint32_t hash[8], const uint8_t* blocks, size_t count);
#endif

// The implementation in use (Sha256ImplementationInUse).
void Sha256Compress(uint32_t hash[8], const uint8_t* blocks, size_t count);

#endif
