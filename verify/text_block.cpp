// Turning the raw characters of a text-form block into the same record the binary form
// fills: tags as two digits, 32-bit fields as eight, magics and kinds as characters.
#include <cstring>

#include "crypto/memory.h"
#include "verify/hex.h"
#include "verify/signature_block.h"

namespace {

// Characters of the raw header (from offset 16) and trailer (from T - 21).
constexpr uint32_t kPadBeforeTag = 0;
constexpr uint32_t kPadBefore = 2;
constexpr uint32_t kExcludedLengthTag = 10;
constexpr uint32_t kExcludedLength = 12;
constexpr uint32_t kEntryCount = 20;

constexpr uint32_t kBlockOffset = 0;
constexpr uint32_t kPadAfterTag = 8;
constexpr uint32_t kPadAfter = 10;
constexpr uint32_t kKindTag = 18;
constexpr uint32_t kKind = 20;

// Characters of a raw entry.
constexpr uint32_t kEntryType = 0;
constexpr uint32_t kDataOffsetTag = 2;
constexpr uint32_t kDataOffset = 4;
constexpr uint32_t kDataLengthTag = 12;
constexpr uint32_t kDataLength = 14;
constexpr uint32_t kKeyKind = 22;

}  // namespace

int ConvertTextBlock(SignatureBlockInfo* info, const TextBlockCharacters* text,
                     VerifyStatus* status) {
  if (info == nullptr || text == nullptr) {
    return ReportStatus(status, StatusBadArgument);
  }
  std::memcpy(info->headMagic, text->headMagic, kMagicLength);
  std::memcpy(info->tailMagic, text->tailMagic, kMagicLength);
  info->padBeforeTag = HexPairToByte(text->header + kPadBeforeTag);
  info->padBefore = HexToU32(text->header + kPadBefore);
  info->excludedLengthTag = HexPairToByte(text->header + kExcludedLengthTag);
  info->excludedLength = HexToU32(text->header + kExcludedLength);
  info->entryCount = HexPairToByte(text->header + kEntryCount);
  info->blockOffset = HexToU32(text->trailer + kBlockOffset);
  info->padAfterTag = HexPairToByte(text->trailer + kPadAfterTag);
  info->padAfter = HexToU32(text->trailer + kPadAfter);
  info->kindTag = HexPairToByte(text->trailer + kKindTag);
  info->kind = text->trailer[kKind];

  SignatureEntry** link = &info->entries;
  for (const TextEntryCharacters* raw = text->entries; raw != nullptr; raw = raw->next) {
    auto* entry = static_cast<SignatureEntry*>(MemoryAllocate(sizeof(SignatureEntry)));
    if (entry == nullptr) {
      return ReportStatus(status, StatusNoMemory);
    }
    entry->entryType = HexPairToByte(raw->text + kEntryType);
    entry->dataOffsetTag = HexPairToByte(raw->text + kDataOffsetTag);
    entry->dataOffset = HexToU32(raw->text + kDataOffset);
    entry->dataLengthTag = HexPairToByte(raw->text + kDataLengthTag);
    entry->dataLength = HexToU32(raw->text + kDataLength) >> 1;  // characters to bytes
    entry->keyKind = raw->text[kKeyKind];
    *link = entry;
    link = &entry->next;
  }
  return 1;
}
