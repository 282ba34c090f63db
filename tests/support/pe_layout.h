// Where a PE file keeps the fields that an Authenticode signer rewrites, read independently
// of the verifier so that tests can check both the signer and the verifier against it.
//
//   0      2   "MZ"
//   60     4   e: offset of the "PE\0\0" header
//   e+24   2   optional-header magic: 0x10B (PE32) or 0x20B (PE32+)
//   e+88   4   header checksum
//   d      8   certificate-table directory entry: c (file offset), s (size);
//              d = e + 152 for 0x10B, e + 168 otherwise
//   e+6    2   number of sections         e+20   2   size of the optional header
//   e+56   4   section alignment          e+60   4   file alignment
//   e+84   4   size of headers            e+116/e+132  4   number of data directories
//   e+24+size  section table, 40 bytes a section: 16 raw size, 20 raw data offset
#ifndef KT_TESTS_PE_LAYOUT_H
#define KT_TESTS_PE_LAYOUT_H

#include <cstdint>
#include <vector>

#include "tests/support/file_bytes.h"

struct PeLayout {
  uint32_t e;
  uint16_t magic;
  uint32_t checksumOffset;  // e + 88
  uint32_t d;
  uint32_t c;  // certificate table offset, 0 when there is none
  uint32_t s;  // certificate table size
};

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kChecksumLength = 4;
constexpr uint32_t kDirectoryEntryLength = 8;

// Throws std::runtime_error when the bytes are no PE file or too short for a field.
PeLayout ReadPeLayout(const Bytes& file);

constexpr uint32_t kSectionAlignmentField = 56;  // from e
constexpr uint32_t kFileAlignmentField = 60;
constexpr uint32_t kHeadersSizeField = 84;
constexpr uint32_t kOptionalHeaderSizeField = 20;
constexpr uint32_t kSectionCountField = 6;

// Where the number of data directories lies, from e.
inline uint32_t DirectoryCountField(uint16_t magic) {
  return magic == kPe32Magic ? 116 : 132;
}

// One entry of the section table: where its header lies and the raw data it names.
struct PeSection {
  uint32_t header;  // file offset of the 40-byte section header
  uint32_t rawOffset;
  uint32_t rawSize;
};

// Every section, in table order. Throws like ReadPeLayout.
std::vector<PeSection> ReadPeSections(const Bytes& file);

// The header checksum of the whole file: 16-bit little-endian words (an odd last byte as a
// word of its own) added with end-around carry, the checksum field left out, plus the file
// length.
uint32_t PeChecksum(const Bytes& file, uint32_t checksumOffset);

uint16_t ReadLe16(const Bytes& bytes, uint32_t offset);
uint32_t ReadLe32(const Bytes& bytes, uint32_t offset);

#endif
