// The embedded-signature check from opening the file to comparing what the signature
// carries with what the file holds.
#include "verify/embedded_signature.h"

#include <cstring>

#include "crypto/memory.h"
#include "verify/check_resources.h"
#include "verify/excluded_ranges.h"
#include "verify/file_access.h"
#include "verify/file_digests.h"
#include "verify/keys.h"
#include "verify/signed_layout.h"

namespace {

constexpr uint64_t kFourGiB = uint64_t{1} << 32;

// The file offset where the block's excluded region starts, padBefore bytes before H; false
// when that lies before the start of the file.
bool BlockRegionStart(uint32_t fileLength, uint32_t blockDistance, const SignatureBlockInfo* block,
                      uint32_t* start) {
  const int64_t first = static_cast<int64_t>(fileLength) - block->padBefore - blockDistance;
  if (first < 0) {
    return false;
  }
  *start = static_cast<uint32_t>(first);
  return true;
}

}  // namespace

int OpenSignedFile(const wchar_t* path, VerifyStatus* status, uint32_t* lengthLow,
                   uint32_t* lengthHigh) {
  if (path == nullptr || lengthLow == nullptr || lengthHigh == nullptr) {
    ReportStatus(status, StatusBadArgument);
    return kFileNotOpen;
  }
  if (!FileExists(path)) {
    ReportStatus(status, StatusFileNotFound);
    return kFileNotOpen;
  }
  const int file = FileOpenRead(path);
  if (file == kFileNotOpen) {
    ReportStatus(status, StatusOpenFailed);
    return kFileNotOpen;
  }
  const int64_t length = FileLength(file);
  if (length < 0 || static_cast<uint64_t>(length) >= kFourGiB) {
    FileClose(file);
    ReportStatus(status, StatusReadError);
    return kFileNotOpen;
  }
  *lengthLow = static_cast<uint32_t>(length);
  *lengthHigh = 0;
  return file;
}

int CompareDigests(const SignedDigests* computed, const SignedDigests* expected, uint32_t selection,
                   VerifyStatus* status) {
  if (computed == nullptr || expected == nullptr ||
      (selection & (kDigestWholeFile | kDigestHead)) == 0) {
    return ReportStatus(status, StatusBadArgument);
  }
  if (computed->signedLengthLow != expected->signedLengthLow ||
      computed->signedLengthHigh != expected->signedLengthHigh) {
    return ReportStatus(status, StatusDigestMismatch);
  }
  if ((selection & kDigestWholeFile) != 0 &&
      (std::memcmp(computed->md5, expected->md5, sizeof computed->md5) != 0 ||
       std::memcmp(computed->sha256, expected->sha256, sizeof computed->sha256) != 0)) {
    return ReportStatus(status, StatusDigestMismatch);
  }
  if ((selection & kDigestHead) != 0 &&
      std::memcmp(computed->headMd5, expected->headMd5, sizeof computed->headMd5) != 0) {
    return ReportStatus(status, StatusDigestMismatch);
  }
  return 1;
}

int VerifyEmbeddedSignature(const wchar_t* path, VerifyStatus* status, const uint8_t* key,
                            uint32_t keyLength, bool headOnly) {
  if (path == nullptr || key == nullptr || keyLength != kRsaOctets) {
    return ReportStatus(status, StatusBadArgument);
  }
  ScopedCheckResources resources;
  uint32_t fileLength = 0;
  uint32_t fileLengthHigh = 0;
  resources->file = OpenSignedFile(path, status, &fileLength, &fileLengthHigh);
  if (resources->file == kFileNotOpen) {
    return 0;
  }
  const int file = resources->file;
  if (CollectPeExclusions(file, &resources->ranges) == kPeLayoutUnreadable) {
    return ReportStatus(status, StatusPeLayoutUnreadable);
  }

  resources->block = static_cast<SignatureBlockInfo*>(MemoryAllocate(sizeof(SignatureBlockInfo)));
  if (resources->block == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  const SignatureBlockInfo* block = resources->block;
  uint32_t blockDistance = 0;
  uint32_t tailDistance = 0;
  SignatureEntry* entry = nullptr;
  if (ParseSignatureBlock(resources->block, file, fileLength, fileLengthHigh, &blockDistance,
                          &tailDistance, status) == 0 ||
      FindSignatureEntry(block->entries, &entry, status) == 0) {
    return 0;
  }

  auto* expected = static_cast<SignedDigests*>(MemoryAllocate(sizeof(SignedDigests)));
  resources->buffers[0] = expected;
  auto* computed = static_cast<SignedDigests*>(MemoryAllocate(sizeof(SignedDigests)));
  resources->buffers[1] = computed;
  if (expected == nullptr || computed == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }

  const bool keyD = entry->keyKind == 'D';
  if (!keyD && entry->keyKind != 'P') {
    return ReportStatus(status, StatusMalformedBlock);
  }
  if (ReadBlockSignature(expected, file, blockDistance, block->kind, entry, keyD ? KeyD : key,
                         keyD ? kRsaOctets : keyLength, status) == 0) {
    return 0;
  }

  // The layout decides before any byte is hashed whether the digests can prove anything.
  uint32_t regionStart = 0;
  if (!BlockRegionStart(fileLength, blockDistance, block, &regionStart)) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  if (CheckSignedLayout(file, fileLength, regionStart, block->excludedLength, nullptr, status) ==
      0) {
    return 0;
  }
  ExcludedRange* region = CreateExcludedRange(regionStart, block->excludedLength);
  if (region == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  InsertExcludedRange(&resources->ranges, region);

  const uint32_t selection = headOnly ? kDigestHead : kDigestWholeFile;
  if (ComputeFileDigests(computed, file, resources->ranges, selection, status) == 0 ||
      CompareDigests(computed, expected, selection, status) == 0) {
    return 0;
  }
  ReleaseCheckResources(resources.get());
  if (keyD) {
    return ReportStatus(status, StatusVerifiedWithKeyD);
  }
  ReportStatus(status, StatusVerifiedWithKeyP);
  return 1;
}
