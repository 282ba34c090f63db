// The byte ranges that a signature leaves out of the digests, and reading a file without
// them.
//
// In a Windows executable (a file starting with "MZ"), with e the 32-bit value at offset
// 60 and d = e + 152 when the 16-bit value at e + 24 is 0x10B (32-bit optional header),
// else e + 168:
//
//   header checksum                    e + 88 .. e + 91
//   certificate-table directory entry  d .. d + 7          (holds c and s)
//   signature block region             added by the embedded check
//   certificate table, when c != 0     c .. c + s - 1
#ifndef KT_VERIFY_EXCLUDED_RANGES_H
#define KT_VERIFY_EXCLUDED_RANGES_H

#include <cstdint>

#include "verify/check_records.h"
#include "verify/status.h"

// CollectPeExclusions results.
constexpr int kPeLayoutUnreadable = 0;
constexpr int kNoCertificateTable = 1;  // also: not an executable
constexpr int kCertificateTable = 2;

// Appends the executable-header ranges of the open file to `list`. Fails (0) on a failed
// seek or short read of the three header reads (64, 4 and 8 bytes) or a failed
// allocation; nodes already appended stay on the list.
int CollectPeExclusions(int file, ExcludedRange** list);

// A zero-filled node for [start, start + size - 1], or null when memory runs out. The end
// is computed modulo 2^32, so a range that runs past 2^32 ends below its start and is
// rejected when the list is read.
ExcludedRange* CreateExcludedRange(uint32_t start, uint32_t size);

// Links `node` in after the first node whose successor starts beyond node's end, or at
// the end of the list; never before the first node.
void InsertExcludedRange(ExcludedRange** list, ExcludedRange* node);

// Whether every range is one that CreateExcludedRange makes without wrapping (0 to
// 2^32 - 1 bytes: end >= start - 1, and not [0, 0xFFFFFFFF], the wrapped end of an empty
// range at offset 0) and starts after the previous one ends: the condition under which
// ReadFileExcluding reads a list.
bool ExcludedRangesOrdered(const ExcludedRange* list);

// Reads the first `limit` bytes of the file into `buffer` (`limit` bytes), leaving out the
// ranges; gives back the number of bytes placed. Statuses: 4 (missing pointer, file not
// open or not rewindable), 8 (a list that is not ascending and disjoint), 13 (read error).
int ReadFileExcluding(uint8_t* buffer, int file, uint32_t limit, const ExcludedRange* list,
                      uint32_t* count, VerifyStatus* status);

#endif
