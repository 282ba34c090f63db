// MD5 (RFC 1321): one straight-line compression function shared by the incremental context
// and the one-shot routine.
#include "crypto/md5.h"

#include <cstddef>
#include <cstring>

#include "crypto/common.h"

namespace {

const uint8_t kPadding[64] = {0x80};

void StoreLe32Words(const uint32_t* words, size_t count, uint8_t* bytes) {
  for (size_t i = 0; i < count; ++i) {
    StoreLe32(bytes + 4 * i, words[i]);
  }
}

inline uint32_t Rotl(uint32_t value, int shift) {
  return value << shift | value >> (32 - shift);
}

// Each step adds the message word and constant first: they do not depend on the previous
// step, so only the round function and the rotation remain on the critical path.
inline void StepF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word, uint32_t constant,
                  int shift) {
  a += word + constant;
  a += d ^ (b & (c ^ d));
  a = b + Rotl(a, shift);
}

// (b & d) | (c & ~d) has no bit set in both halves, so it is their sum; c & ~d can be
// added before b is known.
inline void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word, uint32_t constant,
                  int shift) {
  a += word + constant;
  a += c & ~d;
  a += b & d;
  a = b + Rotl(a, shift);
}

inline void StepH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word, uint32_t constant,
                  int shift) {
  a += word + constant;
  a += b ^ c ^ d;
  a = b + Rotl(a, shift);
}

inline void StepI(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word, uint32_t constant,
                  int shift) {
  a += word + constant;
  a += c ^ (b | ~d);
  a = b + Rotl(a, shift);
}

void Md5Compress(uint32_t state[4], const uint8_t block[64]) {
  uint32_t x[16];
  // One copy of the block, then the words put in order: cheaper than sixteen scattered
  // reads of the input under memory checkers, and the same code at full optimisation.
  std::memcpy(x, block, 64);
  for (uint32_t& word : x) {
    word = LoadLe32(reinterpret_cast<const uint8_t*>(&word));
  }
  uint32_t a = state[0];
  uint32_t b = state[1];
  uint32_t c = state[2];
  uint32_t d = state[3];

  StepF(a, b, c, d, x[0], 0xd76aa478, 7);
  StepF(d, a, b, c, x[1], 0xe8c7b756, 12);
  StepF(c, d, a, b, x[2], 0x242070db, 17);
  StepF(b, c, d, a, x[3], 0xc1bdceee, 22);
  StepF(a, b, c, d, x[4], 0xf57c0faf, 7);
  StepF(d, a, b, c, x[5], 0x4787c62a, 12);
  StepF(c, d, a, b, x[6], 0xa8304613, 17);
  StepF(b, c, d, a, x[7], 0xfd469501, 22);
  StepF(a, b, c, d, x[8], 0x698098d8, 7);
  StepF(d, a, b, c, x[9], 0x8b44f7af, 12);
  StepF(c, d, a, b, x[10], 0xffff5bb1, 17);
  StepF(b, c, d, a, x[11], 0x895cd7be, 22);
  StepF(a, b, c, d, x[12], 0x6b901122, 7);
  StepF(d, a, b, c, x[13], 0xfd987193, 12);
  StepF(c, d, a, b, x[14], 0xa679438e, 17);
  StepF(b, c, d, a, x[15], 0x49b40821, 22);

  StepG(a, b, c, d, x[1], 0xf61e2562, 5);
  StepG(d, a, b, c, x[6], 0xc040b340, 9);
  StepG(c, d, a, b, x[11], 0x265e5a51, 14);
  StepG(b, c, d, a, x[0], 0xe9b6c7aa, 20);
  StepG(a, b, c, d, x[5], 0xd62f105d, 5);
  StepG(d, a, b, c, x[10], 0x02441453, 9);
  StepG(c, d, a, b, x[15], 0xd8a1e681, 14);
  StepG(b, c, d, a, x[4], 0xe7d3fbc8, 20);
  StepG(a, b, c, d, x[9], 0x21e1cde6, 5);
  StepG(d, a, b, c, x[14], 0xc33707d6, 9);
  StepG(c, d, a, b, x[3], 0xf4d50d87, 14);
  StepG(b, c, d, a, x[8], 0x455a14ed, 20);
  StepG(a, b, c, d, x[13], 0xa9e3e905, 5);
  StepG(d, a, b, c, x[2], 0xfcefa3f8, 9);
  StepG(c, d, a, b, x[7], 0x676f02d9, 14);
  StepG(b, c, d, a, x[12], 0x8d2a4c8a, 20);

  StepH(a, b, c, d, x[5], 0xfffa3942, 4);
  StepH(d, a, b, c, x[8], 0x8771f681, 11);
  StepH(c, d, a, b, x[11], 0x6d9d6122, 16);
  StepH(b, c, d, a, x[14], 0xfde5380c, 23);
  StepH(a, b, c, d, x[1], 0xa4beea44, 4);
  StepH(d, a, b, c, x[4], 0x4bdecfa9, 11);
  StepH(c, d, a, b, x[7], 0xf6bb4b60, 16);
  StepH(b, c, d, a, x[10], 0xbebfbc70, 23);
  StepH(a, b, c, d, x[13], 0x289b7ec6, 4);
  StepH(d, a, b, c, x[0], 0xeaa127fa, 11);
  StepH(c, d, a, b, x[3], 0xd4ef3085, 16);
  StepH(b, c, d, a, x[6], 0x04881d05, 23);
  StepH(a, b, c, d, x[9], 0xd9d4d039, 4);
  StepH(d, a, b, c, x[12], 0xe6db99e5, 11);
  StepH(c, d, a, b, x[15], 0x1fa27cf8, 16);
  StepH(b, c, d, a, x[2], 0xc4ac5665, 23);

  StepI(a, b, c, d, x[0], 0xf4292244, 6);
  StepI(d, a, b, c, x[7], 0x432aff97, 10);
  StepI(c, d, a, b, x[14], 0xab9423a7, 15);
  StepI(b, c, d, a, x[5], 0xfc93a039, 21);
  StepI(a, b, c, d, x[12], 0x655b59c3, 6);
  StepI(d, a, b, c, x[3], 0x8f0ccc92, 10);
  StepI(c, d, a, b, x[10], 0xffeff47d, 15);
  StepI(b, c, d, a, x[1], 0x85845dd1, 21);
  StepI(a, b, c, d, x[8], 0x6fa87e4f, 6);
  StepI(d, a, b, c, x[15], 0xfe2ce6e0, 10);
  StepI(c, d, a, b, x[6], 0xa3014314, 15);
  StepI(b, c, d, a, x[13], 0x4e0811a1, 21);
  StepI(a, b, c, d, x[4], 0xf7537e82, 6);
  StepI(d, a, b, c, x[11], 0xbd3af235, 10);
  StepI(c, d, a, b, x[2], 0x2ad7d2bb, 15);
  StepI(b, c, d, a, x[9], 0xeb86d391, 21);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

void Md5Start(uint32_t state[4]) {
  state[0] = 0x67452301;
  state[1] = 0xefcdab89;
  state[2] = 0x98badcfe;
  state[3] = 0x10325476;
}

}  // namespace

void Md5Init(Md5Context* context) {
  Md5Start(context->state);
  context->count[0] = 0;
  context->count[1] = 0;
}

void Md5Update(Md5Context* context, const uint8_t* data, uint32_t length) {
  if (length == 0) {
    return;  // nothing changes; data may then be null
  }
  uint32_t index = (context->count[0] >> 3) & 0x3f;
  context->count[0] += length << 3;
  if (context->count[0] < (length << 3)) {
    context->count[1]++;
  }
  context->count[1] += length >> 29;

  const uint32_t room = 64 - index;
  uint32_t used = 0;
  if (length >= room) {
    std::memcpy(context->buffer + index, data, room);
    Md5Compress(context->state, context->buffer);
    // Counting what is left, rather than testing used + 63 < length, cannot wrap near 4 GiB.
    for (used = room; length - used >= 64; used += 64) {
      Md5Compress(context->state, data + used);
    }
    index = 0;
  }
  std::memcpy(context->buffer + index, data + used, length - used);
}

void Md5Final(uint8_t digest[16], Md5Context* context) {
  uint8_t bits[8];
  StoreLe32Words(context->count, 2, bits);
  const uint32_t index = (context->count[0] >> 3) & 0x3f;
  Md5Update(context, kPadding, index < 56 ? 56 - index : 120 - index);
  Md5Update(context, bits, 8);
  StoreLe32Words(context->state, 4, digest);
  Wipe(context, sizeof(*context));
}

void Md5Digest(const uint8_t* data, uint32_t length, uint8_t digest[16]) {
  uint32_t state[4];
  Md5Start(state);
  const uint32_t whole = length / 64;
  for (uint32_t i = 0; i < whole; ++i) {
    Md5Compress(state, data + 64 * static_cast<size_t>(i));
  }

  uint8_t block[64];
  const uint32_t tail = length % 64;
  if (tail != 0) {
    std::memcpy(block, data + 64 * static_cast<size_t>(whole), tail);
  }
  block[tail] = 0x80;
  if (tail >= 56) {
    std::memset(block + tail + 1, 0, 63 - tail);
    Md5Compress(state, block);
    std::memset(block, 0, 56);
  } else {
    std::memset(block + tail + 1, 0, 55 - tail);
  }
  StoreLe32(block + 56, length << 3);
  StoreLe32(block + 60, length >> 29);
  Md5Compress(state, block);
  StoreLe32Words(state, 4, digest);
  // The same wipe as the context's: the block holds the message's tail.
  Wipe(block, sizeof(block));
  Wipe(state, sizeof(state));
}
