// Internal to verify/: the records that a check allocates on the heap (range list, block
// record, text-form holding records, byte-buffer holders) and the routine that frees each
// kind. A leaf: the parsers fill these records, and the check's resources release them.
#ifndef KT_VERIFY_CHECK_RECORDS_H
#define KT_VERIFY_CHECK_RECORDS_H

#include <cstdint>

constexpr uint32_t kMagicLength = 16;

// One range, both ends inclusive; end = start - 1 is an empty range. The list is kept in
// ascending order of start.
struct ExcludedRange {
  uint32_t start;
  uint32_t startHigh;  // always 0
  uint32_t end;
  uint32_t endHigh;  // always 0
  ExcludedRange* next;
};

// One entry of a block, whichever the form; dataLength counts bytes in both.
struct SignatureEntry {
  uint8_t entryType;
  uint8_t dataOffsetTag;
  uint32_t dataOffset;  // from H
  uint8_t dataLengthTag;
  uint32_t dataLength;
  char keyKind;
  uint32_t reserved[2];
  SignatureEntry* next;  // file order
};

// The parse of one block.
struct SignatureBlockInfo {
  char headMagic[kMagicLength];
  uint8_t padBeforeTag;
  uint32_t padBefore;
  uint8_t excludedLengthTag;
  uint32_t excludedLength;
  uint8_t entryCount;
  uint32_t headerReserved[3];
  SignatureEntry* entries;  // null when the block has none
  uint32_t trailerReserved[3];
  uint32_t blockOffset;
  uint8_t padAfterTag;
  uint32_t padAfter;
  uint8_t kindTag;
  char kind;  // 'B' or 'T'
  char tailMagic[kMagicLength];
};

// The raw characters of a text-form entry that are read: up to keyKind.
constexpr uint32_t kTextEntryReadLength = 23;

struct TextEntryCharacters {
  char text[kTextEntryReadLength];
  TextEntryCharacters* next;
};

// The raw characters of a text-form block, held until ConvertTextBlock turns them into a
// SignatureBlockInfo. The reserved characters are not kept, so they convert as zero.
struct TextBlockCharacters {
  char headMagic[kMagicLength];
  char header[22];  // characters 16 to 37: tag, padBefore, tag, excludedLength, entryCount
  TextEntryCharacters* entries;
  char trailer[21];  // T-21 to T-1: blockOffset, tag, padAfter, tag, kind
  char tailMagic[kMagicLength];
};

// A heap buffer with its length, in a chain of such holders.
struct ByteBufferHolder {
  uint8_t* buffer;
  uint32_t length;
  ByteBufferHolder* next;
};

// Frees every node of the list and empties it.
void ReleaseExcludedRanges(ExcludedRange** list);

// Frees a block record and its entries; null is ignored.
void ReleaseSignatureBlock(SignatureBlockInfo* info);

// Frees a text-form holding record and its raw entries; null is ignored.
void ReleaseTextBlockCharacters(TextBlockCharacters* text);

// Frees every holder of the chain and its buffer; null is an empty chain.
void ReleaseByteBufferHolders(ByteBufferHolder* holders);

#endif
