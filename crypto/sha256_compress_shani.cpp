// SHA-256 compression with the x86 SHA instructions: the chaining values stay in two vector
// registers from the first block to the last.
#include "crypto/sha256_compress.h"

#if defined(__x86_64__) || defined(__i386__)

#include "crypto/sha256_shani_block.h"

KT_SHA_NI KT_VECTOR_ENTRY void Sha256CompressShaExtensions(uint32_t hash[8], const uint8_t* blocks,
                                                           size_t count) {
  if (count == 0) {
    return;
  }
  Sha256ShaNiState state = Sha256ShaNiLoad(hash);
  for (size_t i = 0; i < count; ++i) {
    Sha256ShaNiBlock(state, blocks + 64 * i);
  }
  Sha256ShaNiStore(state, hash);
}

#endif
