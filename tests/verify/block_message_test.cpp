// Known answers for the signed message of a signature block: a message laid out here, octet by
// octet, signed raw with key P and put in place of a signed executable's signature. The
// digests come from the signing library, not from the verifier.
//
//   0 "KTSIGN"   6 signed length (low, LE)   10 high word (0)   14 head MD5   30 MD5
//   46 SHA-256   78 onwards: carried or unread
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "tests/support/forgery.h"
#include "tests/support/signed_files.h"
#include "tools/signing/file_digests.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::RsaBlock;

void Place(RsaBlock* message, size_t at, const uint8_t* bytes, size_t count) {
  std::copy(bytes, bytes + count, message->begin() + static_cast<std::ptrdiff_t>(at));
}

void PlaceLe32(RsaBlock* message, size_t at, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  Place(message, at, bytes, 4);
}

struct Fields {
  const char* marker;
  uint32_t lengthDelta;
  uint32_t highWord;
  size_t md5At;
  size_t sha256At;
  uint8_t rest;  // every octet from 78 on
};

TEST(BlockMessage, ReadAsLaidOut) {
  const signing::SignedExecutable file = signing::SignExecutable(
      SampleExecutable(5000), DevKey('P'), {signing::Form::Binary, 'P', 0, {}});
  const signing::FileDigests digests = DigestFileExcluding(file.bytes, SignedRanges(file));
  // The file is longer than 4096 bytes; the head MD5 is not compared by the helper's check.
  const struct {
    const char* name;
    Fields fields;
    int verified;
    VerifyStatus status;
  } cases[] = {
      {"AsLaidOut", {"KTSIGN", 0, 0, 30, 46, 0}, 1, StatusVerifiedWithKeyP},
      {"CarriedAndUnreadOctetsAreFree", {"KTSIGN", 0, 0, 30, 46, 0xA5}, 1, StatusVerifiedWithKeyP},
      {"MarkerInLowerCase", {"ktsign", 0, 0, 30, 46, 0}, 0, StatusMalformedBlock},
      {"SignedLengthOneShort", {"KTSIGN", 0xFFFFFFFF, 0, 30, 46, 0}, 0, StatusDigestMismatch},
      {"SignedLengthHighWordSet", {"KTSIGN", 0, 1, 30, 46, 0}, 0, StatusDigestMismatch},
      {"Md5OneOctetLater", {"KTSIGN", 0, 0, 31, 46, 0}, 0, StatusDigestMismatch},
      {"Sha256OneOctetLater", {"KTSIGN", 0, 0, 30, 47, 0}, 0, StatusDigestMismatch},
  };
  const TempDirectory dir;
  const std::string path = dir.File("hand.exe");
  for (const auto& c : cases) {
    RsaBlock message{};
    std::fill(message.begin() + 78, message.end(), c.fields.rest);
    Place(&message, 0, reinterpret_cast<const uint8_t*>(c.fields.marker), 6);
    PlaceLe32(&message, 6, digests.signedLength + c.fields.lengthDelta);
    PlaceLe32(&message, 10, c.fields.highWord);
    Place(&message, 14, digests.headMd5.data(), 16);
    Place(&message, c.fields.md5At, digests.md5.data(), 16);
    Place(&message, c.fields.sha256At, digests.sha256.data(), 32);
    const RsaBlock signature = DevKey('P').SignRaw(message);
    Bytes bytes = file.bytes;
    std::copy(signature.begin(), signature.end(), &bytes.at(file.layout.signatureData));
    WriteFileBytes(path, bytes);

    VerifyStatus status = 0;
    EXPECT_EQ(VerifyFileSignature(WidePath(path).c_str(), &status, 0), c.verified) << c.name;
    EXPECT_EQ(status, c.status) << c.name;
  }
}

}  // namespace
