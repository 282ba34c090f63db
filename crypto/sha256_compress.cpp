// SHA-256 compression: the round constants, the portable implementation (message schedule
// unrolled by four) and the call of the implementation in use.
#include "crypto/sha256_compress.h"

#include "crypto/common.h"
#include "crypto/implementation.h"
#include "crypto/sha256_rounds.h"

namespace {

inline uint32_t SmallSigma0(uint32_t x) {
  return Sha256Rotr(x, 7) ^ Sha256Rotr(x, 18) ^ (x >> 3);
}

inline uint32_t SmallSigma1(uint32_t x) {
  return Sha256Rotr(x, 17) ^ Sha256Rotr(x, 19) ^ (x >> 10);
}

inline uint32_t ScheduleWord(const uint32_t* w, int t) {
  return SmallSigma1(w[t - 2]) + w[t - 7] + SmallSigma0(w[t - 15]) + w[t - 16];
}

void CompressBlock(uint32_t hash[8], const uint8_t* block) {
  uint32_t w[64];
  for (size_t t = 0; t < 16; t += 4) {
    w[t] = LoadBe32(block + 4 * t);
    w[t + 1] = LoadBe32(block + 4 * t + 4);
    w[t + 2] = LoadBe32(block + 4 * t + 8);
    w[t + 3] = LoadBe32(block + 4 * t + 12);
  }
  for (int t = 16; t < 64; t += 4) {
    w[t] = ScheduleWord(w, t);
    w[t + 1] = ScheduleWord(w, t + 1);
    w[t + 2] = ScheduleWord(w, t + 2);
    w[t + 3] = ScheduleWord(w, t + 3);
  }
  // The schedule is complete, so the constants can go into it in place.
  for (int t = 0; t < 64; t += 4) {
    w[t] += kSha256RoundConstants[t];
    w[t + 1] += kSha256RoundConstants[t + 1];
    w[t + 2] += kSha256RoundConstants[t + 2];
    w[t + 3] += kSha256RoundConstants[t + 3];
  }
  Sha256Rounds(hash, w);
}

}  // namespace

const uint32_t kSha256RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

void Sha256CompressPortable(uint32_t hash[8], const uint8_t* blocks, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    CompressBlock(hash, blocks + 64 * i);
  }
}

void Sha256Compress(uint32_t hash[8], const uint8_t* blocks, size_t count) {
  switch (Sha256ImplementationInUse()) {
#if defined(__x86_64__) || defined(__i386__)
    case Sha256Implementation::kShaExtensions:
      Sha256CompressShaExtensions(hash, blocks, count);
      return;
    case Sha256Implementation::kAvx2:
      Sha256CompressAvx2(hash, blocks, count);
      return;
#endif
    default:
      Sha256CompressPortable(hash, blocks, count);
      return;
  }
}
