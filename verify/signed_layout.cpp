// The layout rules of a block-signed file: an executable whose unsigned bytes form the end
// of the file and stay out of everything the program loader maps.
#include "verify/signed_layout.h"

#include <cstring>
#include <utility>

#include "crypto/common.h"
#include "crypto/memory.h"
#include "verify/check_resources.h"
#include "verify/file_access.h"
#include "verify/pe_header.h"

namespace {

constexpr uint32_t kMinimumFileAlignment = 512;
constexpr uint32_t kMaximumFileAlignment = 65536;
// Below a page, the loader maps the file flat, bytes past the raw data included.
constexpr uint32_t kMinimumSectionAlignment = 4096;
constexpr uint32_t kMinimumDirectories = kCertificateDirectory + 1;
constexpr char kPeSignature[kPeSignatureLength] = {'P', 'E', '\0', '\0'};

// The bytes [start, end) of the file.
struct Span {
  uint64_t start;
  uint64_t end;
};

int Refuse(LayoutFault reason, LayoutFault* fault, VerifyStatus* status) {
  if (fault != nullptr) {
    *fault = reason;
  }
  return ReportStatus(status, StatusMalformedBlock);
}

// A header field beyond the end of the file breaks the layout; a failed read of bytes that
// exist is a read error.
int ReadHeader(int file, uint32_t fileLength, uint64_t offset, void* out, uint32_t count,
               LayoutFault* fault, VerifyStatus* status) {
  if (offset + count > fileLength) {
    return Refuse(LayoutFault::HeaderOutsideFile, fault, status);
  }
  if (!FileReadAt(file, static_cast<int64_t>(offset), out, count)) {
    return ReportStatus(status, StatusReadError);
  }
  return 1;
}

uint64_t RoundUp(uint64_t value, uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool IsPowerOfTwo(uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

// The first byte of the unsigned tail, when the spans, in order of their starts, each begin
// where the one before ends and the last ends the file. An empty span sorts before a
// non-empty one with the same start, so it can stand anywhere without moving a byte.
bool FindTailStart(Span* spans, size_t count, uint32_t fileLength, uint64_t* tailStart) {
  if (count == 2 && (spans[1].start < spans[0].start ||
                     (spans[1].start == spans[0].start && spans[1].end < spans[0].end))) {
    std::swap(spans[0], spans[1]);
  }
  for (size_t i = 0; i + 1 < count; ++i) {
    if (spans[i].end != spans[i + 1].start) {
      return false;
    }
  }
  *tailStart = spans[0].start;
  return spans[count - 1].end == fileLength;
}

// The optional header's alignments, size of headers and section table, read in one piece
// (`header`, `optionalSize` bytes and then the section table), against the tail.
int CheckMappedParts(const uint8_t* header, uint16_t magic, uint16_t optionalSize,
                     uint16_t sections, uint64_t tailStart, LayoutFault* fault,
                     VerifyStatus* status) {
  if (LoadLe32(header + DirectoryCountOffset(magic)) < kMinimumDirectories) {
    return Refuse(LayoutFault::TooFewDirectories, fault, status);
  }
  const uint32_t fileAlignment = LoadLe32(header + kFileAlignmentOffset);
  if (!IsPowerOfTwo(fileAlignment) || fileAlignment < kMinimumFileAlignment ||
      fileAlignment > kMaximumFileAlignment) {
    return Refuse(LayoutFault::FileAlignment, fault, status);
  }
  const uint32_t sectionAlignment = LoadLe32(header + kSectionAlignmentOffset);
  if (sectionAlignment < kMinimumSectionAlignment || sectionAlignment < fileAlignment) {
    return Refuse(LayoutFault::SectionAlignment, fault, status);
  }
  // The loader reads whole units of the file alignment.
  if (RoundUp(LoadLe32(header + kHeadersSizeOffset), fileAlignment) > tailStart) {
    return Refuse(LayoutFault::HeadersInTail, fault, status);
  }
  for (uint32_t k = 0; k < sections; ++k) {
    const uint8_t* section = header + optionalSize + static_cast<size_t>(kSectionHeaderLength) * k;
    const uint64_t end = LoadLe32(section + kSectionRawOffsetOffset) +
                         RoundUp(LoadLe32(section + kSectionRawSizeOffset), fileAlignment);
    if (end > tailStart) {
      return Refuse(LayoutFault::SectionInTail, fault, status);
    }
  }
  return 1;
}

}  // namespace

int CheckSignedLayout(int file, uint32_t fileLength, uint64_t regionStart, uint64_t regionLength,
                      LayoutFault* fault, VerifyStatus* status) {
  if (fault != nullptr) {
    *fault = LayoutFault::None;
  }
  if (file < 0) {
    return ReportStatus(status, StatusBadArgument);
  }
  uint8_t dos[kDosHeaderLength] = {};
  const uint32_t dosRead = fileLength < kDosHeaderLength ? fileLength : kDosHeaderLength;
  if (!FileReadAt(file, 0, dos, dosRead)) {
    return ReportStatus(status, StatusReadError);
  }
  if (dos[0] != 'M' || dos[1] != 'Z') {
    return Refuse(LayoutFault::NotAnExecutable, fault, status);
  }
  if (dosRead < kDosHeaderLength) {
    return Refuse(LayoutFault::HeaderOutsideFile, fault, status);
  }

  const uint64_t e = LoadLe32(dos + kPeHeaderOffsetField);
  uint8_t pe[kOptionalHeaderOffset + 2];
  if (ReadHeader(file, fileLength, e, pe, sizeof pe, fault, status) == 0) {
    return 0;
  }
  if (std::memcmp(pe, kPeSignature, kPeSignatureLength) != 0) {
    return Refuse(LayoutFault::NotPortableExecutable, fault, status);
  }
  const uint16_t magic = LoadLe16(pe + kOptionalHeaderOffset + kOptionalMagicOffset);
  if (magic != kOptionalHeader32 && magic != kOptionalHeader64) {
    return Refuse(LayoutFault::OptionalHeaderMagic, fault, status);
  }
  const uint16_t sections = LoadLe16(pe + kSectionCountOffset);
  const uint16_t optionalSize = LoadLe16(pe + kOptionalHeaderSizeOffset);
  const uint32_t entry = CertificateEntryOffset(magic);
  if (kOptionalHeaderOffset + optionalSize < entry + kDirectoryEntryLength) {
    return Refuse(LayoutFault::OptionalHeaderTooShort, fault, status);
  }

  uint8_t directory[kDirectoryEntryLength];
  if (ReadHeader(file, fileLength, e + entry, directory, sizeof directory, fault, status) == 0) {
    return 0;
  }
  const uint32_t tableOffset = LoadLe32(directory);
  Span tail[2] = {{regionStart, regionStart + regionLength},
                  {tableOffset, uint64_t{tableOffset} + LoadLe32(directory + 4)}};
  uint64_t tailStart = 0;
  if (!FindTailStart(tail, tableOffset != 0 ? 2 : 1, fileLength, &tailStart)) {
    return Refuse(LayoutFault::TailNotAtEnd, fault, status);
  }

  const uint32_t headerLength = optionalSize + kSectionHeaderLength * uint32_t{sections};
  if (e + kOptionalHeaderOffset + headerLength > tailStart) {
    return Refuse(LayoutFault::HeadersInTail, fault, status);
  }
  ScopedCheckResources resources;
  auto* header = static_cast<uint8_t*>(MemoryAllocate(headerLength));
  resources->buffers[0] = header;
  if (header == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  if (ReadHeader(file, fileLength, e + kOptionalHeaderOffset, header, headerLength, fault,
                 status) == 0) {
    return 0;
  }
  return CheckMappedParts(header, magic, optionalSize, sections, tailStart, fault, status);
}
