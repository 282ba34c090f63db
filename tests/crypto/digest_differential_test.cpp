// MD5 and SHA-256 against OpenSSL: padding boundaries, random messages split at random into
// updates, and one message beyond 512 MiB, whose bit length no longer fits in 32 bits. SHA-256
// runs through every implementation this processor runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crypto/md5_sha256.h"
#include "tests/support/digest_forms.h"
#include "tests/support/sha256_implementation_test.h"
#include "tests/support/test_seed.h"

namespace {

// Up to 55 bytes the length fits behind the tail, from 56 to 63 it needs a second block; 64
// and 120 sit on block ends.
template <typename Digest>
void CheckPaddingBoundaries() {
  for (size_t length : {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129}) {
    std::string message(length, '\0');
    for (size_t i = 0; i < length; ++i) {
      message[i] = static_cast<char>(i * 37 + 11);
    }
    SCOPED_TRACE(length);
    ExpectEveryFormGives<Digest>(
        message, ReferenceHex<Digest>(reinterpret_cast<const uint8_t*>(message.data()), length));
  }
}

TEST(Md5AgainstOpenSsl, PaddingBoundariesInEveryForm) {
  CheckPaddingBoundaries<Md5>();
}

// Each test of SHA-256 once per implementation, skipped where the processor lacks it.
class Sha256AgainstOpenSsl : public Sha256ImplementationTest {};
KT_INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(Sha256AgainstOpenSsl);

TEST_P(Sha256AgainstOpenSsl, PaddingBoundariesInEveryForm) {
  CheckPaddingBoundaries<Sha256>();
}

// Random piece lengths adding up to `length`: often 0, often short, sometimes long.
std::vector<uint32_t> RandomPieces(uint32_t length, std::mt19937_64& random) {
  std::vector<uint32_t> pieces;
  uint32_t left = length;
  while (left > 0) {
    uint32_t piece = 0;
    switch (random() % 4) {
      case 0:
        piece = 0;
        break;
      case 1:
        piece = static_cast<uint32_t>(random() % 8);
        break;
      case 2:
        piece = static_cast<uint32_t>(random() % 130);
        break;
      default:
        piece = static_cast<uint32_t>(random() % (left + 1));
        break;
    }
    piece = std::min(piece, left);
    pieces.push_back(piece);
    left -= piece;
  }
  if (random() % 2 == 0) {
    pieces.push_back(0);
  }
  return pieces;
}

// A few thousand messages up to 1 KiB, every hundredth up to 200 KB.
template <typename Digest>
void CheckRandomMessagesAndSplits() {
  std::mt19937_64 random(TestSeed());
  std::vector<uint8_t> message;
  for (int round = 0; round < 3000; ++round) {
    const uint32_t length = round % 100 == 99 ? static_cast<uint32_t>(random() % 200000)
                                              : static_cast<uint32_t>(random() % 1025);
    message.resize(length);
    FillRandom(message, random);
    const std::vector<uint32_t> pieces = RandomPieces(length, random);
    const std::string expected = ReferenceHex<Digest>(message.data(), length);
    ASSERT_EQ(OneShotHex<Digest>(message.data(), length), expected)
        << "round " << round << ", length " << length;
    ASSERT_EQ(PiecesHex<Digest>(message.data(), pieces), expected)
        << "round " << round << ", length " << length << ", " << pieces.size() << " pieces";
  }
}

TEST(Md5AgainstOpenSsl, RandomMessagesAndSplits) {
  CheckRandomMessagesAndSplits<Md5>();
}
TEST_P(Sha256AgainstOpenSsl, RandomMessagesAndSplits) {
  CheckRandomMessagesAndSplits<Sha256>();
}

// 2^29 + 77 bytes of zero pages: the bit length no longer fits in 32 bits. MD5's one-shot
// routine and its one update of it all (length >> 29 into the high word) have separate code;
// SHA-256 has one path for both forms; the one-pass routine sets up both counts itself.
TEST(DigestLongInput, FullBitLengthBeyond512MiB) {
  const uint32_t length = (1u << 29) + 77;
  const std::unique_ptr<uint8_t, decltype(&std::free)> zeros(
      static_cast<uint8_t*>(std::calloc(length, 1)), &std::free);
  ASSERT_NE(zeros, nullptr);
  const uint8_t* data = zeros.get();

  const std::string md5 = ReferenceHex<Md5>(data, length);
  EXPECT_EQ(OneShotHex<Md5>(data, length), md5);
  EXPECT_EQ(IncrementalHex<Md5>(data, length), md5);
  const std::string sha256 = ReferenceHex<Sha256>(data, length);
  EXPECT_EQ(OneShotHex<Sha256>(data, length), sha256);
  uint8_t md5Digest[16];
  uint8_t sha256Digest[32];
  Md5Sha256Digest(data, length, md5Digest, sha256Digest);
  EXPECT_EQ(HexOf(md5Digest, 16), md5);
  EXPECT_EQ(HexOf(sha256Digest, 32), sha256);
}

}  // namespace
