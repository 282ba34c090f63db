// The header of a Windows executable, as far as the excluded ranges need it (e is the 32-bit
// value at offset 60, all values little-endian):
//
//   offset          size  field
//   0               2     "MZ"
//   60              4     e, the offset of the executable header
//   e + 24          2     optional-header magic; 0x10B puts the directory entry at e + 152,
//                         any other value at e + 168 (d below)
//   e + 88          4     header checksum                                  -> excluded
//   d               8     certificate-table entry: offset c (4), size s (4)  -> excluded
//   c               s     certificate table, when c is not 0                -> excluded
#include "tools/signing/excluded_ranges.h"

#include <string>

#include "tools/signing/little_endian.h"
#include "tools/signing/signing_error.h"

namespace signing {
namespace {

constexpr uint64_t kDosHeaderSize = 64;
constexpr uint64_t kHeaderOffsetField = 60;
constexpr uint64_t kMagicOffset = 24;
constexpr uint64_t kMagicReadSize = 4;  // the verifier reads 4 bytes and looks at the low 16 bits
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint64_t kPe32Directory = 152;
constexpr uint64_t kPe32PlusDirectory = 168;
constexpr uint64_t kDirectorySize = 8;
constexpr uint64_t kChecksumOffset = 88;
constexpr uint64_t kChecksumSize = 4;

void RequireInside(const Bytes& file, uint64_t offset, uint64_t size, const char* field) {
  if (offset + size > file.size()) {
    throw SigningError("executable header cannot be read: the " + std::string(field) +
                       " at offset " + std::to_string(offset) + " lies outside the " +
                       std::to_string(file.size()) + "-byte file");
  }
}

}  // namespace

ExcludedRanges ExecutableHeaderRanges(const Bytes& file) {
  if (file.size() < 2 || file[0] != 'M' || file[1] != 'Z') {
    return {};
  }
  RequireInside(file, 0, kDosHeaderSize, "DOS header");
  const uint64_t e = LoadU32Le(&file[kHeaderOffsetField]);
  RequireInside(file, e + kMagicOffset, kMagicReadSize, "optional-header magic");
  const uint16_t magic = LoadU16Le(&file[e + kMagicOffset]);
  const uint64_t d = e + (magic == kPe32Magic ? kPe32Directory : kPe32PlusDirectory);
  RequireInside(file, d, kDirectorySize, "certificate-table entry");

  ExcludedRanges ranges{{e + kChecksumOffset, kChecksumSize}, {d, kDirectorySize}};
  const uint32_t tableOffset = LoadU32Le(&file[d]);
  if (tableOffset != 0) {
    ranges.push_back({tableOffset, LoadU32Le(&file[d + 4])});
  }
  return ranges;
}

void CheckExcludedRanges(const ExcludedRanges& ranges, uint64_t fileLength) {
  uint64_t next = 0;  // first offset the next range may start at
  for (const ExcludedRange& range : ranges) {
    if (range.start < next) {
      throw SigningError("excluded ranges overlap or are out of order at offset " +
                         std::to_string(range.start) +
                         " (does the certificate table overlap the header fields?)");
    }
    next = range.start + range.length;
    if (next > fileLength) {
      throw SigningError("excluded range at offset " + std::to_string(range.start) + " of " +
                         std::to_string(range.length) + " bytes reaches past the end of the file");
    }
  }
}

}  // namespace signing
