// Where the unsigned bytes of a block-signed file may lie. The digests only prove that the
// covered bytes come in the signed order; these rules make them keep the offsets they were
// signed at, and keep everything a program loader maps away from the unsigned bytes.
//
//   0                                                                       file length
//   | headers | raw data of the sections | covered overlay | block region | table |
//                                                          \____ unsigned tail ____/
//
// The header checksum and the certificate-table entry are excluded too, but in place: they
// never move a covered byte. Everything else that is excluded, the block region and the
// certificate table that the entry names, forms the end of the file (in either order).
// Whatever lies in the tail can be chosen by anyone; a signed program must not trust what
// it reads from there.
#ifndef KT_VERIFY_SIGNED_LAYOUT_H
#define KT_VERIFY_SIGNED_LAYOUT_H

#include <cstdint>

#include "verify/status.h"

// Why a layout is refused, for tools that explain it; the verifier itself reports 8.
enum class LayoutFault {
  None,
  NotAnExecutable,         // no "MZ": only scripts carry signatures, as trailers
  HeaderOutsideFile,       // a header field lies beyond the end of the file
  NotPortableExecutable,   // no "PE\0\0" header
  OptionalHeaderMagic,     // neither 0x10B nor 0x20B
  OptionalHeaderTooShort,  // it ends before the certificate-table entry
  TooFewDirectories,       // fewer than 5, so the certificate-table entry is no entry
  FileAlignment,           // not a power of two from 512 to 65,536
  SectionAlignment,        // below 4,096 or below the file alignment
  TailNotAtEnd,            // the block region and the table are not adjacent up to the end
  HeadersInTail,           // the headers or the section table reach into the tail
  SectionInTail,           // a section's raw data, rounded up, reaches into the tail
};

// Checks the layout of an open block-signed file of `fileLength` bytes whose block region
// covers [regionStart, regionStart + regionLength). Returns 1 when every rule holds. Fails
// with status 8 (and the reason in `fault`, when given) for a layout that breaks a rule,
// 13 for a failed read of bytes inside the file, 3 when memory runs out.
int CheckSignedLayout(int file, uint32_t fileLength, uint64_t regionStart, uint64_t regionLength,
                      LayoutFault* fault, VerifyStatus* status);

#endif
