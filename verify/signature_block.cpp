// Locating and parsing the signature block: the last tail magic in the searched end of the
// file, the trailer fields before it, then the header and entries at the block's start.
#include "verify/signature_block.h"

#include <cstring>

#include "crypto/common.h"
#include "crypto/memory.h"
#include "verify/check_resources.h"
#include "verify/file_access.h"
#include "verify/hex.h"

const char SignatureHeadMagic[kMagicLength] = {'K', 'T', 'C', 'S', '4', 'F', '3', 'A',
                                               '4', '2', '0', '0', 'C', '3', '7', 'O'};
const char SignatureTailMagic[kMagicLength] = {'6', '2', 'F', '3', 'A', 'B', '0', '1',
                                               '3', '2', 'F', 'K', 'T', 'C', 'S', 'E'};

namespace {

// Room needed before the tail magic for the trailer fields of either form.
constexpr uint32_t kMinimumTailPosition = 21;
constexpr uint32_t kMaximumPad = 32;

constexpr uint32_t kBinaryHeaderLength = 39;
constexpr uint32_t kBinaryEntryLength = 20;
constexpr uint32_t kTextHeaderLength = 62;
constexpr uint32_t kTextEntryLength = 39;

// Position of the last tail magic in buffer[0..n), or -1.
int64_t FindLastTailMagic(const uint8_t* buffer, uint32_t n) {
  if (n < kMagicLength) {
    return -1;
  }
  for (int64_t position = n - kMagicLength; position >= 0; --position) {
    if (std::memcmp(buffer + position, SignatureTailMagic, kMagicLength) == 0) {
      return position;
    }
  }
  return -1;
}

// Reads the block from `blockDistance` bytes before the end of the file into the buffer
// (zeroed first); a short read is normal, the block runs to the end of the file. Gives back
// the number of bytes read, or -1.
int64_t ReadBlockStart(int file, uint32_t fileLength, uint64_t blockDistance, uint8_t* buffer,
                       uint32_t n) {
  if (blockDistance > fileLength ||
      FileSeek(file, -static_cast<int64_t>(blockDistance), FileOrigin::End) < 0) {
    return -1;
  }
  std::memset(buffer, 0, n);
  return FileRead(file, buffer, n);
}

void AppendEntry(SignatureBlockInfo* info, SignatureEntry** tail, SignatureEntry* entry) {
  if (*tail == nullptr) {
    info->entries = entry;
  } else {
    (*tail)->next = entry;
  }
  *tail = entry;
}

// Binary form: the trailer fields end at the tail magic; the header and the entries start
// at H, read into the buffer (`got` bytes of it valid).
int ParseBinaryBlock(SignatureBlockInfo* info, int file, uint32_t fileLength, uint8_t* buffer,
                     uint32_t n, uint32_t position, uint32_t tailDistance, uint32_t* blockDistance,
                     VerifyStatus* status) {
  const uint8_t* kindAt = buffer + position - 1;
  info->kindTag = kindAt[-1];
  info->padAfter = LoadLe32(kindAt - 5);
  info->padAfterTag = kindAt[-6];
  info->blockOffset = LoadLe32(kindAt - 10);

  const uint64_t distance = static_cast<uint64_t>(tailDistance) + info->blockOffset;
  const int64_t got = ReadBlockStart(file, fileLength, distance, buffer, n);
  if (got < 0) {
    return ReportStatus(status, StatusReadError);
  }
  *blockDistance = static_cast<uint32_t>(distance);
  if (std::memcmp(buffer, SignatureHeadMagic, kMagicLength) != 0) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  std::memcpy(info->headMagic, buffer, kMagicLength);
  info->padBeforeTag = buffer[16];
  info->padBefore = LoadLe32(buffer + 17);
  info->excludedLengthTag = buffer[21];
  info->excludedLength = LoadLe32(buffer + 22);
  info->entryCount = buffer[26];

  // Every entry must lie in the bytes actually read from the block.
  if (kBinaryHeaderLength + kBinaryEntryLength * info->entryCount > static_cast<uint64_t>(got)) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  SignatureEntry* tail = nullptr;
  for (size_t k = 0; k < info->entryCount; ++k) {
    auto* entry = static_cast<SignatureEntry*>(MemoryAllocate(sizeof(SignatureEntry)));
    if (entry == nullptr) {
      return ReportStatus(status, StatusNoMemory);
    }
    const uint8_t* raw = buffer + kBinaryHeaderLength + kBinaryEntryLength * k;
    entry->entryType = raw[0];
    entry->dataOffsetTag = raw[1];
    entry->dataOffset = LoadLe32(raw + 2);
    entry->dataLengthTag = raw[6];
    entry->dataLength = LoadLe32(raw + 7);
    entry->keyKind = static_cast<char>(raw[11]);
    AppendEntry(info, &tail, entry);
  }
  return 1;
}

// Text form: the raw characters are collected first and converted in one step.
int ParseTextBlock(SignatureBlockInfo* info, int file, uint32_t fileLength, uint8_t* buffer,
                   uint32_t n, uint32_t position, uint32_t tailDistance, uint32_t* blockDistance,
                   CheckResources* resources, VerifyStatus* status) {
  auto* text = static_cast<TextBlockCharacters*>(MemoryAllocate(sizeof(TextBlockCharacters)));
  if (text == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  resources->textBlock = text;
  std::memcpy(text->trailer, buffer + position - sizeof text->trailer, sizeof text->trailer);
  std::memcpy(text->tailMagic, buffer + position, kMagicLength);

  const uint64_t distance = static_cast<uint64_t>(tailDistance) + HexToU32(text->trailer);
  const int64_t got = ReadBlockStart(file, fileLength, distance, buffer, n);
  if (got < 0) {
    return ReportStatus(status, StatusReadError);
  }
  *blockDistance = static_cast<uint32_t>(distance);
  if (std::memcmp(buffer, SignatureHeadMagic, kMagicLength) != 0) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  std::memcpy(text->headMagic, buffer, kMagicLength);
  std::memcpy(text->header, buffer + kMagicLength, sizeof text->header);

  const uint32_t entryCount = HexPairToByte(text->header + 20);
  if (kTextHeaderLength + kTextEntryLength * entryCount > static_cast<uint64_t>(got)) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  TextEntryCharacters** link = &text->entries;
  for (size_t k = 0; k < entryCount; ++k) {
    auto* raw = static_cast<TextEntryCharacters*>(MemoryAllocate(sizeof(TextEntryCharacters)));
    if (raw == nullptr) {
      return ReportStatus(status, StatusNoMemory);
    }
    std::memcpy(raw->text, buffer + kTextHeaderLength + kTextEntryLength * k, kTextEntryReadLength);
    *link = raw;
    link = &raw->next;
  }
  return ConvertTextBlock(info, text, status);
}

}  // namespace

int ParseSignatureBlock(SignatureBlockInfo* info, int file, uint32_t fileLength,
                        uint32_t fileLengthHigh, uint32_t* blockDistance, uint32_t* tailDistance,
                        VerifyStatus* status) {
  static_cast<void>(fileLengthHigh);  // lengths are 32-bit; the high half is always 0
  if (info == nullptr || blockDistance == nullptr || tailDistance == nullptr || file < 0) {
    return ReportStatus(status, StatusBadArgument);
  }
  ScopedCheckResources resources;
  const uint32_t n = fileLength < TailSearchLimit ? fileLength : TailSearchLimit;
  auto* buffer = static_cast<uint8_t*>(MemoryAllocate(n));
  if (buffer == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  resources->buffers[0] = buffer;
  if (FileSeek(file, -static_cast<int64_t>(n), FileOrigin::End) < 0 ||
      FileRead(file, buffer, n) != n) {
    return ReportStatus(status, StatusReadError);
  }

  const int64_t found = FindLastTailMagic(buffer, n);
  if (found < 0) {
    return ReportStatus(status, StatusNoSignatureBlock);
  }
  const auto position = static_cast<uint32_t>(found);
  std::memcpy(info->tailMagic, buffer + position, kMagicLength);
  if (position < kMinimumTailPosition) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  *tailDistance = n - position;
  info->kind = static_cast<char>(buffer[position - 1]);

  int parsed = 0;
  if (info->kind == 'B') {
    parsed = ParseBinaryBlock(info, file, fileLength, buffer, n, position, *tailDistance,
                              blockDistance, status);
  } else if (info->kind == 'T') {
    parsed = ParseTextBlock(info, file, fileLength, buffer, n, position, *tailDistance,
                            blockDistance, resources.get(), status);
  } else {
    return ReportStatus(status, StatusMalformedBlock);
  }
  if (parsed == 0) {
    return 0;
  }
  if (info->padAfter > kMaximumPad || info->padBefore > kMaximumPad) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  return 1;
}

int FindSignatureEntry(SignatureEntry* entries, SignatureEntry** found, VerifyStatus* status) {
  if (entries == nullptr || found == nullptr) {
    return ReportStatus(status, StatusBadArgument);
  }
  for (SignatureEntry* entry = entries; entry != nullptr; entry = entry->next) {
    if (entry->entryType == kSignatureEntryType) {
      *found = entry;
      return 1;
    }
  }
  return ReportStatus(status, StatusNoSignatureEntry);
}
