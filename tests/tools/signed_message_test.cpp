// The 256-octet messages that the signatures carry, octet by octet, for fixed inputs: every
// field where the layout puts it, zeros everywhere else, and the self-checked length and MD5
// that the helper's RSA decoding looks for behind the signed part.
#include "tools/signing/signed_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "tests/support/openssl_reference.h"

namespace {

// 256 zero octets with the given runs written at their offsets.
Octets Laid(std::initializer_list<std::pair<size_t, Octets>> runs) {
  Octets block(256, 0);
  for (const auto& [offset, octets] : runs) {
    std::copy(octets.begin(), octets.end(), block.begin() + static_cast<long>(offset));
  }
  return block;
}

// first, first + 1, ..., count octets.
Octets Counting(uint8_t first, size_t count) {
  Octets octets(count);
  for (size_t i = 0; i < count; ++i) {
    octets[i] = static_cast<uint8_t>(first + i);
  }
  return octets;
}

const Octets kMarker = {'K', 'T', 'S', 'I', 'G', 'N'};

// A signed size of 1413 = 0x585 (900 bytes of content and a text trailer) is 85 05 00 00 in
// little-endian; the size keystream from 0x5E1C47B2 begins 75 86 E1 31 (worked out at the
// helper's ApplyKeystream tests), so the masked size is F0 83 E1 31. L = 48, and the MD5 of
// octets 0 to 47 starts at 48 + (2048 - 48) mod 16 = 48.
TEST(SignedMessage, ScriptMessage) {
  signing::Md5Digest contentMd5{};
  const Octets counting = Counting(0x00, 16);
  std::copy(counting.begin(), counting.end(), contentMd5.begin());
  const signing::RsaBlock message = signing::ScriptMessage(1413, contentMd5);

  const Octets fields = Laid({{0, kMarker}, {20, {0xF0, 0x83, 0xE1, 0x31}}, {32, counting}});
  const Octets selfDigest = ReferenceMd5(Octets(fields.begin(), fields.begin() + 48));
  const Octets expected = Laid({{0, kMarker},
                                {20, {0xF0, 0x83, 0xE1, 0x31}},
                                {32, counting},
                                {48, selfDigest},
                                {240, {48, 0, 0, 0}}});
  EXPECT_EQ(Octets(message.begin(), message.end()), expected);
}

// L = 174 = 0xAE; the MD5 of octets 0 to 173 starts at 174 + (2048 - 174) mod 16 = 176.
TEST(SignedMessage, ExecutableMessage) {
  signing::FileDigests digests{};
  digests.signedLength = 0x01020304;
  const Octets head = Counting(0x10, 16);
  const Octets whole = Counting(0x20, 16);
  const Octets sha256 = Counting(0x40, 32);
  std::copy(head.begin(), head.end(), digests.headMd5.begin());
  std::copy(whole.begin(), whole.end(), digests.md5.begin());
  std::copy(sha256.begin(), sha256.end(), digests.sha256.begin());
  const signing::RsaBlock message = signing::ExecutableMessage(digests);

  const Octets fields =
      Laid({{0, kMarker}, {6, {0x04, 0x03, 0x02, 0x01}}, {14, head}, {30, whole}, {46, sha256}});
  const Octets selfDigest = ReferenceMd5(Octets(fields.begin(), fields.begin() + 174));
  const Octets expected = Laid({{0, kMarker},
                                {6, {0x04, 0x03, 0x02, 0x01}},
                                {14, head},
                                {30, whole},
                                {46, sha256},
                                {176, selfDigest},
                                {240, {0xAE, 0, 0, 0}}});
  EXPECT_EQ(Octets(message.begin(), message.end()), expected);
}

}  // namespace
