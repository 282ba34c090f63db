// Internal to the SHA-256 code: the 64 rounds over a message schedule with the round
// constants already added. Inline, so that each compression function compiles them for its own
// instruction set (the x86 one with non-destructive rotates).
#ifndef KT_CRYPTO_SHA256_ROUNDS_H
#define KT_CRYPTO_SHA256_ROUNDS_H

#include <cstdint>

// Forced: a copy left out of line would be compiled for the baseline instruction set.
#define KT_SHA256_INLINE inline __attribute__((always_inline))

KT_SHA256_INLINE uint32_t Sha256Rotr(uint32_t value, int shift) {
  return value >> shift | value << (32 - shift);
}

// One round. The caller rotates the roles of the eight working variables instead of moving
// them, so only d and h change. Sums are ordered so that Sigma1(e), the last term ready, is
// added last on the way to the new e; Maj(a, b, c) is written as ((a ^ b) & (b ^ c)) ^ b.
KT_SHA256_INLINE void Sha256Round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e,
                                  uint32_t f, uint32_t g, uint32_t& h, uint32_t wk) {
  const uint32_t sigma1 = Sha256Rotr(e, 6) ^ Sha256Rotr(e, 11) ^ Sha256Rotr(e, 25);
  const uint32_t partial = h + wk + (g ^ (e & (f ^ g)));
  d = d + partial + sigma1;
  h = partial + sigma1 + (Sha256Rotr(a, 2) ^ Sha256Rotr(a, 13) ^ Sha256Rotr(a, 22)) +
      (((a ^ b) & (b ^ c)) ^ b);
}

// The eight working variables of one block in flight.
struct Sha256Working {
  uint32_t a, b, c, d, e, f, g, h;
};

KT_SHA256_INLINE Sha256Working Sha256Start(const uint32_t hash[8]) {
  return {hash[0], hash[1], hash[2], hash[3], hash[4], hash[5], hash[6], hash[7]};
}

KT_SHA256_INLINE void Sha256Finish(const Sha256Working& v, uint32_t hash[8]) {
  hash[0] += v.a;
  hash[1] += v.b;
  hash[2] += v.c;
  hash[3] += v.d;
  hash[4] += v.e;
  hash[5] += v.f;
  hash[6] += v.g;
  hash[7] += v.h;
}

// Eight rounds over wk[0..7], each W[t] + K[t]: two groups of four, after which the
// variables' roles are back in their places.
KT_SHA256_INLINE void Sha256EightRounds(Sha256Working& v, const uint32_t* wk) {
  Sha256Round(v.a, v.b, v.c, v.d, v.e, v.f, v.g, v.h, wk[0]);
  Sha256Round(v.h, v.a, v.b, v.c, v.d, v.e, v.f, v.g, wk[1]);
  Sha256Round(v.g, v.h, v.a, v.b, v.c, v.d, v.e, v.f, wk[2]);
  Sha256Round(v.f, v.g, v.h, v.a, v.b, v.c, v.d, v.e, wk[3]);

  Sha256Round(v.e, v.f, v.g, v.h, v.a, v.b, v.c, v.d, wk[4]);
  Sha256Round(v.d, v.e, v.f, v.g, v.h, v.a, v.b, v.c, wk[5]);
  Sha256Round(v.c, v.d, v.e, v.f, v.g, v.h, v.a, v.b, wk[6]);
  Sha256Round(v.b, v.c, v.d, v.e, v.f, v.g, v.h, v.a, wk[7]);
}

#endif
