// MD5: the RFC 1321 test suite through every form, and the wiped context after Md5Final.
#include "crypto/md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/digest_forms.h"

namespace {

struct Vector {
  const char* message;
  const char* digest;
};

const Vector kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, Rfc1321SuiteInEveryForm) {
  for (const Vector& vector : kRfc1321Suite) {
    SCOPED_TRACE(vector.message);
    ExpectEveryFormGives<Md5>(vector.message, vector.digest);
  }
}

// Output first, context second: the digest must be written before the wipe, and the wipe must
// reach the buffered tail and the bit count as well as the chaining values.
TEST(Md5, FinalWritesDigestThenZeroesWholeContext) {
  const std::string message(100, 'q');
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, reinterpret_cast<const uint8_t*>(message.data()),
            static_cast<uint32_t>(message.size()));
  uint8_t digest[16];
  Md5Final(digest, &context);

  EXPECT_EQ(HexOf(digest, sizeof(digest)),
            ReferenceHex<Md5>(reinterpret_cast<const uint8_t*>(message.data()), message.size()));
  const auto* bytes = reinterpret_cast<const uint8_t*>(&context);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + sizeof(context)),
            std::vector<uint8_t>(sizeof(context), 0));
}

}  // namespace
