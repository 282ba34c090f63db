// Internal to the digest code: the MD5 compression function over one 64-byte block. Its 64
// steps expand, from RFC 1321's tables, into straight-line code with the constants as
// operands. Forced inline, so that the one-pass MD5 and SHA-256 loop can place the SHA-256
// rounds between its steps.
#ifndef KT_CRYPTO_MD5_COMPRESS_H
#define KT_CRYPTO_MD5_COMPRESS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "crypto/common.h"

#define KT_MD5_INLINE inline __attribute__((always_inline))

// RFC 1321's tables: for each of the 64 steps the message word it adds and its additive
// constant, the integer part of 2^32 * abs(sin(i + 1)); for each round the four rotations
// that its steps take in turn.
constexpr uint8_t kMd5Word[64] = {
    0,  1,  2,  3,  4, 5, 6,  7, 8,  9,  10, 11, 12, 13, 14, 15, 1, 6,  11, 0, 5, 10,
    15, 4,  9,  14, 3, 8, 13, 2, 7,  12, 5,  8,  11, 14, 1,  4,  7, 10, 13, 0, 3, 6,
    9,  12, 15, 2,  0, 7, 14, 5, 12, 3,  10, 1,  8,  15, 6,  13, 4, 11, 2,  9,
};

constexpr uint32_t kMd5Constant[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kMd5Shift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

KT_MD5_INLINE uint32_t Md5Rotl(uint32_t value, int shift) {
  return value << shift | value >> (32 - shift);
}

// Step i on the chaining variables v (A, B, C, D at 0 to 3). The roles rotate: step i updates
// v[-i mod 4], the role a, and reads the three after it as b, c and d. The message word and
// the constant are added first: they do not depend on the previous step, so only the round
// function and the rotation remain on the critical path.
template <int i>
KT_MD5_INLINE void Md5Step(uint32_t (&v)[4], const uint32_t (&x)[16]) {
  constexpr int a = (64 - i) % 4;
  const uint32_t b = v[(a + 1) % 4];
  const uint32_t c = v[(a + 2) % 4];
  const uint32_t d = v[(a + 3) % 4];
  uint32_t sum = v[a] + x[kMd5Word[i]] + kMd5Constant[i];
  if constexpr (i < 16) {
    sum += d ^ (b & (c ^ d));
  } else if constexpr (i < 32) {
    // (b & d) | (c & ~d) has no bit set in both halves, so it is their sum; c & ~d can be
    // added before b is known.
    sum += c & ~d;
    sum += b & d;
  } else if constexpr (i < 48) {
    sum += b ^ c ^ d;
  } else {
    sum += c ^ (b | ~d);
  }
  v[a] = b + Md5Rotl(sum, kMd5Shift[i / 16][i % 4]);
}

// The block's sixteen little-endian words.
KT_MD5_INLINE void Md5LoadWords(uint32_t (&x)[16], const uint8_t block[64]) {
  // One copy of the block, then the words put in order: cheaper than sixteen scattered
  // reads of the input under memory checkers, and the same code at full optimisation.
  std::memcpy(x, block, 64);
  for (uint32_t& word : x) {
    word = LoadLe32(reinterpret_cast<const uint8_t*>(&word));
  }
}

template <size_t... i>
KT_MD5_INLINE void Md5Steps(uint32_t (&v)[4], const uint32_t (&x)[16],
                            std::index_sequence<i...> /*steps*/) {
  (Md5Step<i>(v, x), ...);
}

// Compresses one block into `state`.
KT_MD5_INLINE void Md5CompressBlock(uint32_t state[4], const uint8_t block[64]) {
  uint32_t x[16];
  Md5LoadWords(x, block);
  uint32_t v[4] = {state[0], state[1], state[2], state[3]};
  Md5Steps(v, x, std::make_index_sequence<64>());
  for (int i = 0; i < 4; ++i) {
    state[i] += v[i];
  }
}

#endif
