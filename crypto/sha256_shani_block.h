// Internal to the SHA-256 code: one block through the x86 SHA instructions, inline, so that
// the compression function and the one-pass MD5 and SHA-256 loop compile it in place; the
// latter runs it two rounds at a time between the MD5 steps.
//
// SHA256RNDS2 keeps the working variables in two registers in the order the instruction
// wants them, ABEF and CDGH (most significant word first), and runs two rounds from the low
// two words of a message-plus-constant register. SHA256MSG1 and SHA256MSG2 compute the
// message schedule four words at a time: W[t..t+3] = msg2(msg1(W[t-16..t-13], W[t-12..t-9])
// + W[t-7..t-4], W[t-4..t-1]).
#ifndef KT_CRYPTO_SHA256_SHANI_BLOCK_H
#define KT_CRYPTO_SHA256_SHANI_BLOCK_H

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "crypto/sha256_compress.h"
#include "crypto/sha256_rounds.h"

#define KT_SHA_NI __attribute__((target("sha,sse4.1")))

// The chaining values in the instruction's order.
struct Sha256ShaNiState {
  __m128i abef;
  __m128i cdgh;
};

KT_SHA256_INLINE KT_SHA_NI Sha256ShaNiState Sha256ShaNiLoad(const uint32_t hash[8]) {
  const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hash));
  const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hash + 4));
  const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
  const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
  return {_mm_alignr_epi8(cdab, efgh, 8), _mm_blend_epi16(efgh, cdab, 0xF0)};
}

KT_SHA256_INLINE KT_SHA_NI void Sha256ShaNiStore(const Sha256ShaNiState& state, uint32_t hash[8]) {
  const __m128i feba = _mm_shuffle_epi32(state.abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(state.cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(hash), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(hash + 4), _mm_alignr_epi8(dchg, feba, 8));
}

// The message words of the block in flight: W in four registers of four words each, each
// register rewritten in place by the schedule, and the current words plus constants.
struct Sha256ShaNiMessage {
  __m128i w[4];
  __m128i wk;
};

KT_SHA256_INLINE KT_SHA_NI void Sha256ShaNiLoadMessage(Sha256ShaNiMessage& message,
                                                       const uint8_t* block) {
  // Big-endian words: reverse the bytes of each.
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  for (size_t i = 0; i < 4; ++i) {
    message.w[i] = _mm_shuffle_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i)), byteSwap);
  }
}

// Rounds 2j and 2j + 1, and the schedule step that fits beside them. Rounds 4g to 4g + 3 take
// the words of w[g % 4]; beside the first two, the second half of the schedule completes W
// for group g + 1, beside the last two the first half starts W for group g + 3.
template <int j>
KT_SHA256_INLINE KT_SHA_NI void Sha256ShaNiTwoRounds(Sha256ShaNiState& state,
                                                     Sha256ShaNiMessage& message) {
  constexpr int g = j / 2;
  __m128i(&w)[4] = message.w;
  if constexpr (j % 2 == 0) {
    const __m128i constants =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants + size_t{4} * g));
    message.wk = _mm_add_epi32(w[g % 4], constants);
    state.cdgh = _mm_sha256rnds2_epu32(state.cdgh, state.abef, message.wk);
    if constexpr (g >= 3 && g < 15) {
      __m128i& next = w[(g + 1) % 4];
      next = _mm_add_epi32(next, _mm_alignr_epi8(w[g % 4], w[(g + 3) % 4], 4));
      next = _mm_sha256msg2_epu32(next, w[g % 4]);
    }
  } else {
    message.wk = _mm_shuffle_epi32(message.wk, 0x0E);
    state.abef = _mm_sha256rnds2_epu32(state.abef, state.cdgh, message.wk);
    if constexpr (g >= 1 && g < 13) {
      __m128i& later = w[(g + 3) % 4];
      later = _mm_sha256msg1_epu32(later, w[g % 4]);
    }
  }
}

template <size_t... j>
KT_SHA256_INLINE KT_SHA_NI void Sha256ShaNiRounds(Sha256ShaNiState& state,
                                                  Sha256ShaNiMessage& message,
                                                  std::index_sequence<j...> /*pairs*/) {
  (Sha256ShaNiTwoRounds<j>(state, message), ...);
}

// Compresses one 64-byte block into `state`.
KT_SHA256_INLINE KT_SHA_NI void Sha256ShaNiBlock(Sha256ShaNiState& state, const uint8_t* block) {
  Sha256ShaNiMessage message;
  Sha256ShaNiLoadMessage(message, block);
  const Sha256ShaNiState start = state;
  Sha256ShaNiRounds(state, message, std::make_index_sequence<32>());
  state.abef = _mm_add_epi32(state.abef, start.abef);
  state.cdgh = _mm_add_epi32(state.cdgh, start.cdgh);
}

#endif

#endif
