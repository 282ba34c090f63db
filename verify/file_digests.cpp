// The computed side of the comparison: signed length and digests of the file less its
// excluded ranges, both digests of the whole file over one buffer in one pass.
#include "verify/file_digests.h"

#include "crypto/common.h"
#include "crypto/md5.h"
#include "crypto/md5_sha256.h"
#include "crypto/memory.h"
#include "verify/check_resources.h"
#include "verify/file_access.h"

namespace {

constexpr uint32_t kHeadLength = 4096;

// Reads the first `limit` bytes less the ranges into a fresh buffer, owned by `resources`;
// null on failure, with the status written.
uint8_t* GatherBytes(CheckResources* resources, int file, uint32_t limit, const ExcludedRange* list,
                     uint32_t* gathered, VerifyStatus* status) {
  auto* buffer = static_cast<uint8_t*>(MemoryAllocate(limit));
  if (buffer == nullptr) {
    ReportStatus(status, StatusNoMemory);
    return nullptr;
  }
  resources->buffers[0] = buffer;
  if (ReadFileExcluding(buffer, file, limit, list, gathered, status) == 0) {
    return nullptr;
  }
  return buffer;
}

void Md5Of(const uint8_t* bytes, uint32_t length, uint8_t digest[kMd5Size]) {
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, bytes, length);
  Md5Final(digest, &context);  // also wipes the context
}

}  // namespace

int ComputeFileDigests(SignedDigests* computed, int file, const ExcludedRange* list,
                       uint32_t selection, VerifyStatus* status) {
  const int64_t length = FileLength(file);
  if (computed == nullptr || file < 0 || length < 0) {
    return ReportStatus(status, StatusBadArgument);
  }
  if (length > UINT32_MAX) {
    return ReportStatus(status, StatusReadError);
  }
  const auto fileLength = static_cast<uint32_t>(length);

  if ((selection & kDigestWholeFile) != 0) {
    ScopedCheckResources resources;
    uint32_t gathered = 0;
    const uint8_t* bytes = GatherBytes(resources.get(), file, fileLength, list, &gathered, status);
    if (bytes == nullptr) {
      return 0;
    }
    Md5Sha256Digest(bytes, gathered, computed->md5, computed->sha256);
  }
  if ((selection & kDigestHead) != 0) {
    ScopedCheckResources resources;
    const uint32_t limit = fileLength > kHeadLength ? kHeadLength : fileLength;
    uint32_t gathered = 0;
    const uint8_t* bytes = GatherBytes(resources.get(), file, limit, list, &gathered, status);
    if (bytes == nullptr) {
      return 0;
    }
    Md5Of(bytes, gathered, computed->headMd5);
  }

  uint32_t signedLength = fileLength;
  for (const ExcludedRange* range = list; range != nullptr; range = range->next) {
    signedLength -= range->end - range->start + 1;
  }
  computed->signedLengthLow = signedLength;
  computed->signedLengthHigh = 0;
  return 1;
}
