// SHA-256: the FIPS 180-2 examples through every form, the context left by Sha256Final, and
// every compression implementation against the others.
#include "crypto/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "crypto/implementation.h"
#include "crypto/sha256_compress.h"
#include "tests/support/digest_forms.h"
#include "tests/support/scoped_implementation.h"
#include "tests/support/test_seed.h"

namespace {

const DigestVector kFips180Examples[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
};

TEST(Sha256, Fips180ExamplesInEveryForm) {
  ExpectEveryFormGivesVectors<Sha256>(kFips180Examples);
}

// The third example: a million 'a's, too long to split at every position.
TEST(Sha256, MillionAs) {
  const std::string message(1000000, 'a');
  const auto* data = reinterpret_cast<const uint8_t*>(message.data());
  const char* expected = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
  EXPECT_EQ(OneShotHex<Sha256>(data, 1000000), expected);
  EXPECT_EQ(PiecesHex<Sha256>(data, std::vector<uint32_t>(1000, 1000)), expected);
}

// Sha256Final pads inside the context and compresses into its chaining values, and leaves the
// counts alone: afterwards `hash` holds the digest words.
TEST(Sha256, FinalLeavesCountsAndDigestInContext) {
  for (uint32_t length : {3u, 60u, 130u}) {
    SCOPED_TRACE(length);
    const std::vector<uint8_t> message(length, 0x5a);
    Sha256Context context;
    Sha256Init(&context);
    Sha256Update(&context, message.data(), length);
    const uint32_t total = context.total;
    const uint32_t pending = context.pending;
    uint8_t digest[32];
    Sha256Final(&context, digest);

    EXPECT_EQ(HexOf(digest, sizeof(digest)), ReferenceHex<Sha256>(message.data(), length));
    EXPECT_EQ(context.total, total);
    EXPECT_EQ(context.pending, pending);
    for (size_t i = 0; i < 8; ++i) {
      const uint32_t word = static_cast<uint32_t>(digest[4 * i]) << 24 |
                            static_cast<uint32_t>(digest[4 * i + 1]) << 16 |
                            static_cast<uint32_t>(digest[4 * i + 2]) << 8 | digest[4 * i + 3];
      EXPECT_EQ(context.hash[i], word) << "H" << i;
    }
  }
}

// Runs of 0 to 9 blocks and one longer run, from an aligned and a misaligned start, through
// every implementation this processor runs: the AVX2 one pairs blocks and schedules the next
// pair during the current one, so odd and even counts and the last pair take different paths.
TEST(Sha256Compress, ImplementationsAgree) {
  std::mt19937_64 random(TestSeed());
  std::vector<uint8_t> bytes(64 * 33 + 1);
  FillRandom(bytes, random);
  uint32_t start[8];
  std::generate(std::begin(start), std::end(start),
                [&random] { return static_cast<uint32_t>(random()); });
  for (Sha256Implementation which : kSha256Implementations) {
    const ScopedImplementation<Sha256Implementation> use(which);
    if (!use.Used()) {
      continue;
    }
    for (size_t offset : {size_t{0}, size_t{1}}) {
      for (size_t count : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 33}) {
        SCOPED_TRACE(testing::Message() << ImplementationName(which) << ", " << count
                                        << " blocks at offset " << offset);
        const uint8_t* blocks = bytes.data() + offset;
        std::vector<uint32_t> portable(start, start + 8);
        Sha256CompressPortable(portable.data(), blocks, count);
        std::vector<uint32_t> chosen(start, start + 8);
        Sha256Compress(chosen.data(), blocks, count);
        EXPECT_EQ(chosen, portable);
        if (count == 0) {
          EXPECT_EQ(portable, std::vector<uint32_t>(start, start + 8));
        }
      }
    }
  }
}

}  // namespace
