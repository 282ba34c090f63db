// SHA-256 (FIPS 180-2): the context operations and the one-shot routine. Whole blocks go
// to the compression function where they lie; only a partial block is copied.
#include "crypto/sha256.h"

#include <cstddef>
#include <cstring>

#include "crypto/common.h"
#include "crypto/sha256_compress.h"

namespace {

const uint32_t kInitialHash[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

}  // namespace

void Sha256Init(Sha256Context* context) {
  std::memcpy(context->hash, kInitialHash, sizeof(kInitialHash));
  context->total = 0;
  context->pending = 0;
}

void Sha256Update(Sha256Context* context, const uint8_t* data, uint32_t length) {
  if (length == 0) {
    return;  // nothing changes; data may then be null
  }
  const uint32_t room = 64 - context->pending;
  const uint32_t first = length < room ? length : room;
  std::memcpy(context->block + context->pending, data, first);
  // Compared against the room left, not as pending + length < 64, which could wrap.
  if (length < room) {
    context->pending += length;
    return;
  }
  Sha256Compress(context->hash, context->block, 1);
  const uint32_t rest = length - first;
  const uint32_t whole = rest / 64;
  Sha256Compress(context->hash, data + first, whole);
  const uint32_t tail = rest % 64;
  std::memcpy(context->block, data + first + 64 * static_cast<size_t>(whole), tail);
  context->pending = tail;
  context->total += 64 * (whole + 1);
}

void Sha256Final(Sha256Context* context, uint8_t digest[32]) {
  const uint32_t blocks = context->pending > 55 ? 2 : 1;
  const uint32_t end = 64 * blocks;
  std::memset(context->block + context->pending, 0, end - context->pending);
  context->block[context->pending] = 0x80;
  // In 64 bits: a message of 512 MiB or more has a bit length beyond 32 bits.
  const uint64_t bits = (static_cast<uint64_t>(context->total) + context->pending) * 8;
  StoreBe32(context->block + end - 8, static_cast<uint32_t>(bits >> 32));
  StoreBe32(context->block + end - 4, static_cast<uint32_t>(bits));
  Sha256Compress(context->hash, context->block, blocks);
  for (size_t i = 0; i < kSha256Size / 4; ++i) {
    StoreBe32(digest + 4 * i, context->hash[i]);
  }
}

void Sha256Digest(const uint8_t* data, uint32_t length, uint8_t digest[32]) {
  Sha256Context context;
  Sha256Init(&context);
  Sha256Update(&context, data, length);
  Sha256Final(&context, digest);
  // Sha256Final keeps the context for its caller; this one is ours, and holds the last block.
  Wipe(&context, sizeof(context));
}
