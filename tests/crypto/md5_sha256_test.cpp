// Both digests in one pass against Md5Digest, Sha256Digest and OpenSSL, through every SHA-256
// implementation this processor runs (the one pass is taken with the SHA instructions): every
// length up to five blocks, so each padding boundary of both digests and every tail after
// whole blocks, and random messages of random size from random offsets.
#include "crypto/md5_sha256.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "crypto/md5.h"
#include "crypto/sha256.h"
#include "tests/support/digest_forms.h"
#include "tests/support/sha256_implementation_test.h"
#include "tests/support/test_seed.h"

namespace {

class Md5Sha256DigestTest : public Sha256ImplementationTest {
 protected:
  // Compares the one pass with the two digests of ours and with OpenSSL's.
  static void Check(const uint8_t* data, uint32_t length) {
    uint8_t md5[16];
    uint8_t sha256[32];
    Md5Sha256Digest(data, length, md5, sha256);
    uint8_t md5Alone[16];
    uint8_t sha256Alone[32];
    Md5Digest(data, length, md5Alone);
    Sha256Digest(data, length, sha256Alone);
    ASSERT_EQ(HexOf(md5, 16), HexOf(md5Alone, 16)) << "length " << length;
    ASSERT_EQ(HexOf(sha256, 32), HexOf(sha256Alone, 32)) << "length " << length;
    ASSERT_EQ(HexOf(md5, 16), ReferenceHex<Md5>(data, length)) << "length " << length;
    ASSERT_EQ(HexOf(sha256, 32), ReferenceHex<Sha256>(data, length)) << "length " << length;
  }
};

KT_INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(Md5Sha256DigestTest);

TEST_P(Md5Sha256DigestTest, EveryLengthUpToFiveBlocks) {
  std::mt19937_64 random(TestSeed());
  std::vector<uint8_t> bytes(5 * 64 + 1);
  FillRandom(bytes, random);
  for (uint32_t length = 0; length <= 5 * 64; ++length) {
    // Odd lengths from an odd address, so that no block is aligned.
    Check(bytes.data() + length % 2, length);
  }
}

TEST_P(Md5Sha256DigestTest, RandomMessagesFromRandomOffsets) {
  std::mt19937_64 random(TestSeed());
  std::vector<uint8_t> bytes(300000);
  FillRandom(bytes, random);
  for (int round = 0; round < 200; ++round) {
    const size_t offset = random() % (bytes.size() / 2);
    const auto length = static_cast<uint32_t>(random() % (bytes.size() - offset));
    SCOPED_TRACE(testing::Message() << "round " << round << ", offset " << offset);
    Check(bytes.data() + offset, length);
  }
}

}  // namespace
