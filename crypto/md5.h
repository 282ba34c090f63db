// MD5 message digest (RFC 1321), incremental and one-shot.
// No allocation, no global state, no error reporting: every input gives the standard digest.
#ifndef KT_CRYPTO_MD5_H
#define KT_CRYPTO_MD5_H

#include <cstdint>

struct Md5Context {
  uint32_t state[4];   // chaining values A, B, C, D
  uint32_t count[2];   // message bits absorbed so far, low word first
  uint8_t buffer[64];  // bytes of the block not yet compressed
};

// Starts a digest: RFC 1321 initial chaining values, bit count zero.
void Md5Init(Md5Context* context);

// Absorbs `length` bytes; any length, including 0, any number of calls.
void Md5Update(Md5Context* context, const uint8_t* data, uint32_t length);

// Writes the 16-byte digest (A, B, C, D, each little-endian), then zeroes every byte of
// the context. Output first, context second.
void Md5Final(uint8_t digest[16], Md5Context* context);

// MD5 of one contiguous buffer; keeps its working state on the stack.
void Md5Digest(const uint8_t* data, uint32_t length, uint8_t digest[16]);

#endif
