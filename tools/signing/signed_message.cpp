// Executable message (integers little-endian):
//
//   offset  size  field
//   0       6     marker "KTSIGN"
//   6       4     signed length
//   10      4     0 (high half of the signed length)
//   14      16    head MD5
//   30      16    MD5
//   46      32    SHA-256
//   78      96    zero
//   174     2     zero (filler up to a multiple of 16)
//   176     16    MD5 of octets 0..173
//   192     48    zero
//   240     4     174, the self-checked length L
//   244     12    zero
//
// Script message:
//
//   offset  size  field
//   0       6     marker "KTSIGN"; the first octet must not be zero, or the decoded value
//                 would lose it and every field would move
//   6       14    zero
//   20      4     signed size, masked with the size keystream
//   24      8     zero
//   32      16    MD5 of the content
//   48      16    MD5 of octets 0..47
//   64      176   zero
//   240     4     48, the self-checked length L
//   244     12    zero
//
// 'K' (0x4B) is below the top octet of any 2048-bit modulus, so the message is a valid RSA
// operand.
#include "tools/signing/signed_message.h"

#include <algorithm>
#include <string_view>

#include "tools/signing/little_endian.h"
#include "tools/signing/size_keystream.h"

namespace signing {
namespace {

constexpr std::string_view kMarker = "KTSIGN";
constexpr uint32_t kModulusBits = 8 * kRsaOctets;
constexpr size_t kLengthWord = kRsaOctets - 16;

RsaBlock MarkedBlock() {
  RsaBlock block{};
  std::copy(kMarker.begin(), kMarker.end(), block.begin());
  return block;
}

// The length word and, at the next multiple of 16 from L on, the MD5 of the first L octets.
void Seal(RsaBlock* block, uint32_t length) {
  const Md5Digest digest = Md5Of(block->data(), length);
  const uint32_t digestOffset = length + (kModulusBits - length) % 16;
  std::copy(digest.begin(), digest.end(), block->begin() + digestOffset);
  StoreU32Le(&(*block)[kLengthWord], length);
}

}  // namespace

RsaBlock ExecutableMessage(const FileDigests& digests) {
  RsaBlock block = MarkedBlock();
  StoreU32Le(&block[6], digests.signedLength);
  std::copy(digests.headMd5.begin(), digests.headMd5.end(), block.begin() + 14);
  std::copy(digests.md5.begin(), digests.md5.end(), block.begin() + 30);
  std::copy(digests.sha256.begin(), digests.sha256.end(), block.begin() + 46);
  Seal(&block, kExecutableMessageLength);
  return block;
}

RsaBlock ScriptMessage(uint32_t signedSize, const Md5Digest& contentMd5) {
  RsaBlock block = MarkedBlock();
  StoreU32Le(&block[20], signedSize);
  uint32_t state = kSizeMaskSeed;
  ApplyKeystream(&block[20], 4, &state);
  std::copy(contentMd5.begin(), contentMd5.end(), block.begin() + 32);
  Seal(&block, kScriptMessageLength);
  return block;
}

}  // namespace signing
