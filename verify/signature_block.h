// The signature block of a signed binary file: where it lies, how its two encodings read,
// and the records a parse fills.
//
// Binary form ('B'), offsets from the first byte of the head magic (H), little-endian:
//
//   0        16   head magic "KTCS4F3A4200C37O"
//   16       1    tag (3)                     T-23   12   reserved
//   17       4    padBefore (<= 32)           T-11   4    blockOffset = T
//   21       1    tag (3)                     T-7    1    tag (3)
//   22       4    excludedLength              T-6    4    padAfter (<= 32)
//   26       1    entryCount                  T-2    1    tag (3)
//   27       12   reserved                    T-1    1    kind 'B'
//   39       20k  entries                     T      16   tail magic "62F3AB0132FKTCSE"
//   39+20k   ...  entry data (the signature)
//
//   entry:   0 entryType (3 = signature)  1 tag  2 dataOffset (4)  6 tag  7 dataLength (4)
//            11 keyKind ('P' or 'D')  12 reserved (8)
//
// Text form ('T'): the same fields, every 1-byte number as 2 hexadecimal digits and every
// 32-bit number as 8, most significant first; magics, keyKind and kind stay characters:
//
//   0 head magic  16 tag  18 padBefore  26 tag  28 excludedLength  36 entryCount
//   38 reserved (24)  62 entries (39 characters each)
//   T-45 reserved (24)  T-21 blockOffset  T-13 tag  T-11 padAfter  T-3 tag  T-1 kind 'T'
//
//   entry:   0 entryType  2 tag  4 dataOffset  12 tag  14 dataLength (characters)
//            22 keyKind  23 reserved (16)
#ifndef KT_VERIFY_SIGNATURE_BLOCK_H
#define KT_VERIFY_SIGNATURE_BLOCK_H

#include <cstdint>

#include "verify/check_records.h"
#include "verify/status.h"

// How far back from the end of a file the tail magic is searched.
constexpr uint32_t TailSearchLimit = 656536;

extern const char SignatureHeadMagic[kMagicLength];  // "KTCS4F3A4200C37O", no terminator
extern const char SignatureTailMagic[kMagicLength];  // "62F3AB0132FKTCSE", no terminator

constexpr uint8_t kSignatureEntryType = 3;

// Finds the last tail magic within the file's last TailSearchLimit bytes and parses the
// block it closes into `info` (allocated and zeroed by the caller). Gives back the block
// distance (bytes from H to the end of the file) and the tail distance (bytes from the tail
// magic to the end). On failure the record may be partly filled; entries already built stay
// on its list for the caller's release. Statuses: 4, 3, 13, 7, 8.
int ParseSignatureBlock(SignatureBlockInfo* info, int file, uint32_t fileLength,
                        uint32_t fileLengthHigh, uint32_t* blockDistance, uint32_t* tailDistance,
                        VerifyStatus* status);

// Fills `info` from the characters of a text-form block, one SignatureEntry per raw entry
// in the same order, dataLength halved to count bytes. Status 3 when an entry cannot be
// allocated (the entries built so far stay on the list).
int ConvertTextBlock(SignatureBlockInfo* info, const TextBlockCharacters* text,
                     VerifyStatus* status);

// The first entry of type 3, in file order. Status 10 when the list holds none, 4 when the
// list is empty or `found` is null.
int FindSignatureEntry(SignatureEntry* entries, SignatureEntry** found, VerifyStatus* status);

#endif
