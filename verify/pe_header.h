// Internal to verify/: where a Windows executable keeps the header fields that the
// verifier reads, as offsets from the start of the file (0, 60), from the "PE\0\0" header
// (e) or from the optional header that follows it (e + 24).
//
//   0        2   "MZ"
//   60       4   e, the file offset of the "PE\0\0" header
//   e        4   "PE\0\0"
//   e+6      2   number of sections
//   e+20     2   size of the optional header
//   e+24         optional header:
//     0      2     magic: 0x10B (PE32) or 0x20B (PE32+)
//     32     4     section alignment
//     36     4     file alignment
//     60     4     size of headers
//     64     4     header checksum
//     92/108 4     number of data directories (PE32 / PE32+)
//     96/112       data directories, 8 bytes each; the fifth (128/144) is the certificate
//                  table: its file offset c and size s
//   e+24+size    section table, 40 bytes a section: 16 raw size, 20 raw data offset
#ifndef KT_VERIFY_PE_HEADER_H
#define KT_VERIFY_PE_HEADER_H

#include <cstdint>

constexpr uint32_t kDosHeaderLength = 64;
constexpr uint32_t kPeHeaderOffsetField = 60;

constexpr uint32_t kPeSignatureLength = 4;
constexpr uint32_t kSectionCountOffset = 6;
constexpr uint32_t kOptionalHeaderSizeOffset = 20;
constexpr uint32_t kOptionalHeaderOffset = 24;

// Offsets inside the optional header.
constexpr uint32_t kOptionalMagicOffset = 0;
constexpr uint32_t kSectionAlignmentOffset = 32;
constexpr uint32_t kFileAlignmentOffset = 36;
constexpr uint32_t kHeadersSizeOffset = 60;
constexpr uint32_t kChecksumOffset = 64;
constexpr uint32_t kChecksumLength = 4;

constexpr uint16_t kOptionalHeader32 = 0x10B;
constexpr uint16_t kOptionalHeader64 = 0x20B;

constexpr uint32_t kDirectoryEntryLength = 8;
// The certificate table is the fifth data directory.
constexpr uint32_t kCertificateDirectory = 4;

constexpr uint32_t kSectionHeaderLength = 40;
constexpr uint32_t kSectionRawSizeOffset = 16;
constexpr uint32_t kSectionRawOffsetOffset = 20;

// Where the data directories start inside the optional header, and where their count is.
inline uint32_t DirectoriesOffset(uint16_t magic) {
  return magic == kOptionalHeader32 ? 96 : 112;
}
inline uint32_t DirectoryCountOffset(uint16_t magic) {
  return DirectoriesOffset(magic) - 4;
}

// The certificate-table entry, from e: e + 152 for a PE32 magic, e + 168 for any other.
inline uint32_t CertificateEntryOffset(uint16_t magic) {
  return kOptionalHeaderOffset + DirectoriesOffset(magic) +
         kCertificateDirectory * kDirectoryEntryLength;
}

#endif
