// Both digests in one loop. MD5 is one chain of dependent scalar steps, and SHA-256 with the
// SHA instructions is another, on the vector unit: placed two rounds after every second MD5
// step, the two chains run side by side, and the pair takes little longer than MD5 alone.
// (One whole block after the other overlaps far less: the processor retires in order, and
// the long SHA-256 chain of a block holds up the MD5 steps behind it.) Without the SHA
// instructions the two share the scalar units, and one pass gains nothing over two.
#include "crypto/md5_sha256.h"

#include <cstddef>
#include <utility>

#include "crypto/common.h"
#include "crypto/implementation.h"
#include "crypto/md5.h"
#include "crypto/md5_compress.h"
#include "crypto/sha256.h"
#include "crypto/sha256_shani_block.h"

namespace {

#if defined(__x86_64__) || defined(__i386__)

// One block of both: MD5 steps 2k and 2k + 1, then SHA-256 rounds 2k and 2k + 1, for each k.
template <size_t... k>
KT_SHA256_INLINE KT_SHA_NI void CompressBlockOfBoth(uint32_t (&md5)[4], const uint32_t (&words)[16],
                                                    Sha256ShaNiState& sha256,
                                                    Sha256ShaNiMessage& message,
                                                    std::index_sequence<k...> /*pairs*/) {
  ((Md5Step<2 * k>(md5, words), Md5Step<2 * k + 1>(md5, words),
    Sha256ShaNiTwoRounds<k>(sha256, message)),
   ...);
}

KT_SHA_NI KT_VECTOR_ENTRY void CompressBoth(uint32_t md5State[4], uint32_t sha256Hash[8],
                                            const uint8_t* blocks, size_t count) {
  // A local copy stays in registers; through the pointer, every block would store and reload
  // it, since the input bytes may alias it.
  uint32_t md5[4] = {md5State[0], md5State[1], md5State[2], md5State[3]};
  Sha256ShaNiState sha256 = Sha256ShaNiLoad(sha256Hash);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* block = blocks + 64 * i;
    uint32_t words[16];
    Md5LoadWords(words, block);
    Sha256ShaNiMessage message;
    Sha256ShaNiLoadMessage(message, block);
    const uint32_t md5Start[4] = {md5[0], md5[1], md5[2], md5[3]};
    const Sha256ShaNiState sha256Start = sha256;
    CompressBlockOfBoth(md5, words, sha256, message, std::make_index_sequence<32>());
    for (int j = 0; j < 4; ++j) {
      md5[j] += md5Start[j];
    }
    sha256.abef = _mm_add_epi32(sha256.abef, sha256Start.abef);
    sha256.cdgh = _mm_add_epi32(sha256.cdgh, sha256Start.cdgh);
  }
  Sha256ShaNiStore(sha256, sha256Hash);
  for (size_t i = 0; i < 4; ++i) {
    md5State[i] = md5[i];
  }
}

// The whole blocks in one pass, then the tail and the padding through the contexts, set up
// as if the whole blocks had gone through their updates.
void OnePass(const uint8_t* data, uint32_t length, uint8_t md5[16], uint8_t sha256[32]) {
  Md5Context md5Context;
  Md5Init(&md5Context);
  Sha256Context sha256Context;
  Sha256Init(&sha256Context);
  const uint32_t done = length / 64 * 64;
  CompressBoth(md5Context.state, sha256Context.hash, data, length / 64);
  md5Context.count[0] = done << 3;
  md5Context.count[1] = done >> 29;
  sha256Context.total = done;
  Md5Update(&md5Context, data + done, length - done);
  Md5Final(md5, &md5Context);  // also wipes its context
  Sha256Update(&sha256Context, data + done, length - done);
  Sha256Final(&sha256Context, sha256);
  Wipe(&sha256Context, sizeof(sha256Context));
}

#endif

}  // namespace

void Md5Sha256Digest(const uint8_t* data, uint32_t length, uint8_t md5[16], uint8_t sha256[32]) {
#if defined(__x86_64__) || defined(__i386__)
  if (Sha256ImplementationInUse() == Sha256Implementation::kShaExtensions) {
    OnePass(data, length, md5, sha256);
    return;
  }
#endif
  Md5Digest(data, length, md5);
  Sha256Digest(data, length, sha256);
}
