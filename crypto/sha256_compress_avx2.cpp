// SHA-256 compression for x86 processors with AVX2 and BMI2. The message schedule of two
// blocks is computed side by side, one block per 128-bit lane, and stored with the round
// constants added; the rounds then run on scalar registers, where BMI2 rotates need no copies.
#include "crypto/sha256_compress.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "crypto/sha256_rounds.h"

#define KT_AVX2 __attribute__((target("avx2,bmi2")))

namespace {

KT_AVX2 inline __m256i Rotr(__m256i x, int shift) {
  return _mm256_or_si256(_mm256_srli_epi32(x, shift), _mm256_slli_epi32(x, 32 - shift));
}

KT_AVX2 inline __m256i SmallSigma0(__m256i x) {
  return _mm256_xor_si256(_mm256_xor_si256(Rotr(x, 7), Rotr(x, 18)), _mm256_srli_epi32(x, 3));
}

KT_AVX2 inline __m256i SmallSigma1(__m256i x) {
  return _mm256_xor_si256(_mm256_xor_si256(Rotr(x, 17), Rotr(x, 19)), _mm256_srli_epi32(x, 10));
}

// W[t..t+3] from the sixteen words before them, x0 = W[t-16..t-13] to x3 = W[t-4..t-1].
// W[t+2] and W[t+3] depend on W[t] and W[t+1], so sigma1 is applied in two halves; the
// lanes it does not cover are zero, and sigma1(0) = 0.
KT_AVX2 inline __m256i NextWords(__m256i x0, __m256i x1, __m256i x2, __m256i x3) {
  const __m256i w15 = _mm256_alignr_epi8(x1, x0, 4);  // W[t-15..t-12]
  const __m256i w7 = _mm256_alignr_epi8(x3, x2, 4);   // W[t-7..t-4]
  __m256i next = _mm256_add_epi32(_mm256_add_epi32(x0, w7), SmallSigma0(w15));
  next = _mm256_add_epi32(next, SmallSigma1(_mm256_srli_si256(x3, 8)));
  return _mm256_add_epi32(next, SmallSigma1(_mm256_slli_si256(next, 8)));
}

// Words j*4 to j*4+3 of `low` and `high`, big-endian, in the low and high lanes.
KT_AVX2 inline __m256i LoadWords(const uint8_t* low, const uint8_t* high, int j) {
  const __m256i swap = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3, 2,
                                        1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
  const size_t offset = 16 * static_cast<size_t>(j);
  const __m256i words = _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low + offset))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + offset)), 1);
  return _mm256_shuffle_epi8(words, swap);
}

// Adds K[t..t+3] and stores the low lane to wk[0], the high lane to wk[1].
KT_AVX2 inline void StoreWk(__m256i words, int t, uint32_t wk[2][64]) {
  const __m256i k = _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants + t)));
  const __m256i sum = _mm256_add_epi32(words, k);
  _mm_store_si128(reinterpret_cast<__m128i*>(wk[0] + t), _mm256_castsi256_si128(sum));
  _mm_store_si128(reinterpret_cast<__m128i*>(wk[1] + t), _mm256_extracti128_si256(sum, 1));
}

// The whole schedule of one pair of blocks, for the first pair.
KT_AVX2 void Schedule(const uint8_t* low, const uint8_t* high, uint32_t wk[2][64]) {
  __m256i x0 = LoadWords(low, high, 0);
  __m256i x1 = LoadWords(low, high, 1);
  __m256i x2 = LoadWords(low, high, 2);
  __m256i x3 = LoadWords(low, high, 3);
  StoreWk(x0, 0, wk);
  StoreWk(x1, 4, wk);
  StoreWk(x2, 8, wk);
  StoreWk(x3, 12, wk);
  for (int t = 16; t < 64; t += 16) {
    x0 = NextWords(x0, x1, x2, x3);
    StoreWk(x0, t, wk);
    x1 = NextWords(x1, x2, x3, x0);
    StoreWk(x1, t + 4, wk);
    x2 = NextWords(x2, x3, x0, x1);
    StoreWk(x2, t + 8, wk);
    x3 = NextWords(x3, x0, x1, x2);
    StoreWk(x3, t + 12, wk);
  }
}

// The schedule words of the next pair, W[t..t+3] for group = t / 4: loaded for the first four
// groups, computed from x0..x3 (the sixteen words before) for the others.
KT_AVX2 inline __m256i NextGroup(int group, const uint8_t* low, const uint8_t* high, __m256i x0,
                                 __m256i x1, __m256i x2, __m256i x3) {
  return group < 4 ? LoadWords(low, high, group) : NextWords(x0, x1, x2, x3);
}

// Thirty-two rounds of the current block, with the next pair's schedule groups 4q to 4q+3
// slotted between them: the vector units work on the schedule while the integer units run
// the rounds.
KT_AVX2 inline void RoundsAndSchedule(Sha256Working& v, const uint32_t* wk, int quarter,
                                      const uint8_t* low, const uint8_t* high, __m256i x[4],
                                      uint32_t next[2][64]) {
  const int group = 4 * quarter;
  v = Sha256EightRounds(v, wk);
  x[0] = NextGroup(group, low, high, x[0], x[1], x[2], x[3]);
  StoreWk(x[0], 4 * group, next);
  v = Sha256EightRounds(v, wk + 8);
  x[1] = NextGroup(group + 1, low, high, x[1], x[2], x[3], x[0]);
  StoreWk(x[1], 4 * group + 4, next);
  v = Sha256EightRounds(v, wk + 16);
  x[2] = NextGroup(group + 2, low, high, x[2], x[3], x[0], x[1]);
  StoreWk(x[2], 4 * group + 8, next);
  v = Sha256EightRounds(v, wk + 24);
  x[3] = NextGroup(group + 3, low, high, x[3], x[0], x[1], x[2]);
  StoreWk(x[3], 4 * group + 12, next);
}

}  // namespace

// Blocks go in pairs, one per lane. While the rounds of one pair run, the schedule of the
// following pair is computed into the other half of `wk`; after the last pair that is a
// harmless repeat of it. A last odd block fills both lanes and only its first is used.
KT_AVX2 KT_VECTOR_ENTRY void Sha256CompressAvx2(uint32_t hash[8], const uint8_t* blocks,
                                                size_t count) {
  if (count == 0) {
    return;
  }
  alignas(16) uint32_t wk[2][2][64];
  const uint8_t* low = blocks;
  const uint8_t* high = count >= 2 ? blocks + 64 : blocks;
  Schedule(low, high, wk[0]);
  for (size_t i = 0;; i += 2) {
    uint32_t(*current)[64] = wk[(i / 2) % 2];
    if (count - i == 1) {
      Sha256Rounds(hash, current[0]);
      return;
    }
    if (count - i > 2) {
      low = blocks + 64 * (i + 2);
      high = count - i > 3 ? low + 64 : low;
    }
    uint32_t(*next)[64] = wk[(i / 2 + 1) % 2];
    __m256i x[4];
    for (int lane = 0; lane < 2; ++lane) {
      Sha256Working v = Sha256Start(hash);
      RoundsAndSchedule(v, current[lane], 2 * lane, low, high, x, next);
      RoundsAndSchedule(v, current[lane] + 32, 2 * lane + 1, low, high, x, next);
      Sha256Finish(v, hash);
    }
    if (count - i == 2) {
      return;
    }
  }
}

#endif
