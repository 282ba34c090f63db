// MD5 (RFC 1321): the incremental context and the one-shot routine, over one compression
// function.
#include "crypto/md5.h"

#include <cstddef>
#include <cstring>

#include "crypto/common.h"
#include "crypto/md5_compress.h"

namespace {

const uint8_t kPadding[64] = {0x80};

void StoreLe32Words(const uint32_t* words, size_t count, uint8_t* bytes) {
  for (size_t i = 0; i < count; ++i) {
    StoreLe32(bytes + 4 * i, words[i]);
  }
}

// Out of line here: the context and the one-shot routine share one copy.
void Md5Compress(uint32_t state[4], const uint8_t block[64]) {
  Md5CompressBlock(state, block);
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
