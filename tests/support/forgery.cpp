// The two forgeries that move covered bytes behind excluded ones.
#include "tests/support/forgery.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

#include "tests/support/pe_layout.h"

namespace {

// Binary-form block fields, from H and from the tail magic T.
constexpr size_t kPadBeforeField = 17;
constexpr size_t kExcludedLengthField = 22;
constexpr size_t kDataOffsetField = 39 + 2;
constexpr size_t kEntriesEnd = 39 + 20;
constexpr size_t kTrailerLength = 23;  // reserved, blockOffset, tag, padAfter, tag, kind
constexpr size_t kBlockOffsetFromT = 11;
constexpr size_t kPadAfterFromT = 6;
constexpr size_t kMagicLength = 16;
constexpr size_t kSignatureLength = 256;

// The iterator at `offset`, for the signer's size_t offsets.
Bytes::const_iterator At(const Bytes& bytes, size_t offset) {
  return bytes.begin() + static_cast<std::ptrdiff_t>(offset);
}

struct RawData {
  uint32_t start;
  uint32_t end;
};

// The span of the sections' raw data, from the first section's to the last one's end.
RawData SectionsRawData(const Bytes& file) {
  RawData raw{UINT32_MAX, 0};
  for (const PeSection& section : ReadPeSections(file)) {
    if (section.rawSize != 0) {
      raw.start = std::min(raw.start, section.rawOffset);
      raw.end = std::max(raw.end, section.rawOffset + section.rawSize);
    }
  }
  if (raw.start >= raw.end) {
    throw std::runtime_error("no section with raw data");
  }
  return raw;
}

// The attacker's program: the sections with one code byte changed.
Bytes ChangedSections(const Bytes& file, RawData raw) {
  Bytes copy(file.begin() + raw.start, file.begin() + raw.end);
  copy.at(0x10) ^= 0xFF;
  return copy;
}

signing::ExcludedRanges HeaderRanges(const PeLayout& pe) {
  return {{pe.checksumOffset, kChecksumLength}, {pe.d, kDirectoryEntryLength}};
}

}  // namespace

signing::ExcludedRanges SignedRanges(const signing::SignedExecutable& file) {
  const PeLayout pe = ReadPeLayout(file.bytes);
  signing::ExcludedRanges ranges = HeaderRanges(pe);
  ranges.push_back({file.layout.blockStart - file.layout.padBefore, file.layout.excludedLength});
  if (pe.c != 0) {
    ranges.push_back({pe.c, pe.s});
  }
  return ranges;
}

Forgery ForgeThroughCertificateEntry(const signing::SignedExecutable& file) {
  const PeLayout pe = ReadPeLayout(file.bytes);
  if (pe.c != 0) {
    throw std::runtime_error("the file already names a certificate table");
  }
  const RawData raw = SectionsRawData(file.bytes);
  const Bytes copy = ChangedSections(file.bytes, raw);

  Forgery forgery{file.bytes, HeaderRanges(pe), copy};
  forgery.bytes.insert(forgery.bytes.begin() + raw.start, copy.begin(), copy.end());
  const auto inserted = static_cast<uint32_t>(copy.size());
  PutU32Le(&forgery.bytes, pe.d, raw.start);
  PutU32Le(&forgery.bytes, pe.d + 4, inserted);
  forgery.ranges.push_back({raw.start, inserted});
  forgery.ranges.push_back(
      {file.layout.blockStart - file.layout.padBefore + inserted, file.layout.excludedLength});
  return forgery;
}

Forgery ForgeThroughMovedBlock(const signing::SignedExecutable& file) {
  const PeLayout pe = ReadPeLayout(file.bytes);
  const Bytes input(file.bytes.begin(),
                    At(file.bytes, file.layout.blockStart - file.layout.padBefore));
  const RawData raw = SectionsRawData(input);
  const Bytes copy = ChangedSections(input, raw);
  const std::vector<PeSection> sections = ReadPeSections(input);
  // Right after the section table, where the header padding starts.
  const uint32_t at = (sections.back().header + 40 + 7) / 8 * 8;
  if (at + kEntriesEnd > raw.start) {
    throw std::runtime_error("no room for the block's head in the header padding");
  }

  // H, header and entry as signed; the copy where the loader will look; the signature; the
  // trailer, with the region ending at the tail magic's last byte.
  const auto block = At(file.bytes, file.layout.blockStart);
  Bytes moved(block, At(file.bytes, file.layout.blockStart + kEntriesEnd));
  moved.resize(raw.start - at, 0);
  moved.insert(moved.end(), copy.begin(), copy.end());
  const auto dataOffset = static_cast<uint32_t>(moved.size());
  moved.insert(moved.end(), At(file.bytes, file.layout.signatureData),
               At(file.bytes, file.layout.signatureData + kSignatureLength));
  const size_t tail = file.layout.blockStart + file.layout.tailMagicOffset;
  moved.insert(moved.end(), At(file.bytes, tail - kTrailerLength),
               At(file.bytes, tail + kMagicLength));
  const size_t t = moved.size() - kMagicLength;
  PutU32Le(&moved, kPadBeforeField, 0);
  PutU32Le(&moved, kExcludedLengthField, static_cast<uint32_t>(moved.size()));
  PutU32Le(&moved, kDataOffsetField, dataOffset);
  PutU32Le(&moved, t - kBlockOffsetFromT, static_cast<uint32_t>(t));
  PutU32Le(&moved, t - kPadAfterFromT, 0);

  Forgery forgery{input, HeaderRanges(pe), copy};
  forgery.bytes.insert(forgery.bytes.begin() + at, moved.begin(), moved.end());
  forgery.ranges.push_back({at, moved.size()});
  return forgery;
}
