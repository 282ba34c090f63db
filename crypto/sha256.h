// SHA-256 message digest (FIPS 180-2), incremental and one-shot.
// No allocation, no global state, no error reporting: every input gives the standard digest.
#ifndef KT_CRYPTO_SHA256_H
#define KT_CRYPTO_SHA256_H

#include <cstdint>

struct Sha256Context {
  uint32_t total;      // bytes already compressed, a multiple of 64
  uint32_t pending;    // bytes waiting at the start of `block`, 0 to 63
  uint8_t block[128];  // two blocks, room for the final padding
  uint32_t hash[8];    // chaining values H0 to H7
};

// Starts a digest: FIPS 180-2 initial hash values, nothing absorbed.
void Sha256Init(Sha256Context* context);

// Absorbs `length` bytes; whole blocks are compressed where they lie.
void Sha256Update(Sha256Context* context, const uint8_t* data, uint32_t length);

// Pads, writes the 32-byte digest (H0 to H7, each big-endian). Does not clear the context.
// Context first, output second.
void Sha256Final(Sha256Context* context, uint8_t digest[32]);

// Sha256Init, one Sha256Update and Sha256Final over a context on the stack.
void Sha256Digest(const uint8_t* data, uint32_t length, uint8_t digest[32]);

#endif
