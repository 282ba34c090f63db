// The script-signature check: the trailer named by the file's last byte, opened with KeyD,
// must carry the file's size and the MD5 of its content.
#include "verify/script_signature.h"

#include <cstdlib>
#include <cstring>

#include "crypto/common.h"
#include "crypto/memory.h"
#include "crypto/rsa.h"
#include "verify/check_resources.h"
#include "verify/file_access.h"
#include "verify/keys.h"

namespace {

constexpr uint32_t kBinaryTrailer = kRsaOctets + 1;
constexpr uint32_t kTextTrailer = kRsaHexLength + 1;
constexpr uint32_t kSignedSizeOffset = 20;
constexpr uint32_t kContentDigestOffset = 32;

// One zero-filled area for everything of fixed size.
struct ScriptWork {
  uint8_t decoded[kRsaOctets];
  uint8_t signature[kRsaOctets];
  char text[kRsaHexLength];
  uint8_t scratch[kMd5Size];
};

// 64 groups of 8 characters, 4 octets each. A group is read as a number with its four
// character pairs in reverse order and stored least significant octet first, which gives
// the octets of a well-formed group in the order written.
void DecodeSignatureText(const char* text, uint8_t* signature) {
  for (size_t group = 0; group < kRsaHexLength / 8; ++group) {
    const char* in = text + 8 * group;
    char reversed[9];
    for (size_t pair = 0; pair < 4; ++pair) {
      reversed[2 * pair] = in[6 - 2 * pair];
      reversed[2 * pair + 1] = in[7 - 2 * pair];
    }
    reversed[8] = '\0';
    const auto value = static_cast<uint32_t>(std::strtoul(reversed, nullptr, 16));
    StoreLe32(signature + 4 * group, value);
  }
}

}  // namespace

int32_t VerifyScriptSignature(const wchar_t* path) {
  if (!FileExists(path)) {
    return kScriptNotFound;
  }
  ScopedCheckResources resources;
  resources->file = FileOpenRead(path);
  const int file = resources->file;
  if (file == kFileNotOpen) {
    return kScriptOpenFailed;
  }
  auto* work = static_cast<ScriptWork*>(MemoryAllocate(sizeof(ScriptWork)));
  resources->buffers[0] = work;
  if (work == nullptr) {
    return kScriptNoMemory;
  }
  const int64_t size = FileLength(file);
  // Sizes are 32-bit in the signature, so a file of 4 GiB or more cannot be read as signed.
  if (size < 0 || size > UINT32_MAX) {
    return kScriptShortRead;
  }

  uint8_t form = 0;
  if (!FileReadAt(file, size - 1, &form, 1)) {
    return kScriptShortRead;
  }
  if (form != 'B' && form != 'T') {
    return kScriptMismatch;
  }
  const uint32_t trailer = form == 'B' ? kBinaryTrailer : kTextTrailer;
  if (form == 'B') {
    if (!FileReadAt(file, size - kBinaryTrailer, work->signature, kRsaOctets)) {
      return kScriptShortRead;
    }
  } else {
    if (!FileReadAt(file, size - kTextTrailer, work->text, kRsaHexLength)) {
      return kScriptShortRead;
    }
    DecodeSignatureText(work->text, work->signature);
  }

  // Acceptance rests on the two fields below, not on the decoded block's own digest.
  VerifySignedDigest(work->signature, work->decoded, KeyD, 8 * kRsaOctets, work->scratch);
  uint8_t sizeBytes[4];
  std::memcpy(sizeBytes, work->decoded + kSignedSizeOffset, sizeof sizeBytes);
  uint32_t state = SizeMaskSeed;
  ApplyKeystream(sizeBytes, sizeof sizeBytes, &state);
  const uint32_t signedSize = LoadLe32(sizeBytes);

  uint8_t digest[kMd5Size];
  if (FileSeek(file, 0, FileOrigin::Start) != 0 ||
      HashSignedContent(file, trailer, digest, kMd5Size) != kHashDone) {
    return kScriptHashFailed;
  }
  const bool matches = size == signedSize &&
                       std::memcmp(digest, work->decoded + kContentDigestOffset, kMd5Size) == 0;
  return matches ? kScriptValid : kScriptMismatch;
}
