// Fuzzes the signature-block parser and the entry search on the whole input as the file, the
// way the embedded check calls them: a zeroed record from the verifier's allocator, an open
// descriptor, and the release of both afterwards, so that LeakSanitizer sees every path.
#include <cstddef>
#include <cstdint>

#include "crypto/memory.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_input_file.h"
#include "verify/file_access.h"
#include "verify/signature_block.h"
#include "verify/status.h"

namespace {

uint32_t CountEntries(const SignatureEntry* entry) {
  uint32_t count = 0;
  for (; entry != nullptr; entry = entry->next) {
    ++count;
  }
  return count;
}

// What a successful parse promises about the record and the two distances.
void CheckParsedBlock(const SignatureBlockInfo& info, uint32_t fileLength, uint32_t blockDistance,
                      uint32_t tailDistance) {
  FuzzCheck(info.kind == 'B' || info.kind == 'T', "a parsed block is of kind 'B' or 'T'");
  FuzzCheck(info.padBefore <= 32 && info.padAfter <= 32, "a parsed block pads by 32 at most");
  FuzzCheck(tailDistance >= kMagicLength && tailDistance <= fileLength,
            "the tail magic lies inside the file");
  FuzzCheck(blockDistance <= fileLength, "the head magic lies inside the file");
  FuzzCheck(CountEntries(info.entries) == info.entryCount, "one record per entry of the block");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int file = FileOpenRead(WriteFuzzInput(data, size));
  FuzzCheck(file != kFileNotOpen, "FileOpenRead opens the fuzz input file");
  FuzzCheck(FileLength(file) == static_cast<int64_t>(size), "FileLength is the input's size");
  const uint32_t fileLength = static_cast<uint32_t>(size);

  auto* info = static_cast<SignatureBlockInfo*>(MemoryAllocate(sizeof(SignatureBlockInfo)));
  FuzzCheck(info != nullptr, "MemoryAllocate of the block record");
  uint32_t blockDistance = 0;
  uint32_t tailDistance = 0;
  VerifyStatus status = 0;
  if (ParseSignatureBlock(info, file, fileLength, 0, &blockDistance, &tailDistance, &status) == 1) {
    CheckParsedBlock(*info, fileLength, blockDistance, tailDistance);
  } else {
    FuzzCheck(status == StatusNoMemory || status == StatusBadArgument ||
                  status == StatusNoSignatureBlock || status == StatusMalformedBlock ||
                  status == StatusReadError,
              "a failed parse reports 3, 4, 7, 8 or 13");
  }

  // Also after a failed parse: the entries built so far are a list like any other.
  SignatureEntry* found = nullptr;
  VerifyStatus findStatus = 0;
  if (FindSignatureEntry(info->entries, &found, &findStatus) == 1) {
    FuzzCheck(found != nullptr && found->entryType == kSignatureEntryType,
              "the entry found is a signature entry");
  } else {
    FuzzCheck(findStatus == (info->entries == nullptr ? StatusBadArgument : StatusNoSignatureEntry),
              "no signature entry: 4 for an empty list, 10 otherwise");
  }

  ReleaseSignatureBlock(info);
  FileClose(file);
  return 0;
}
