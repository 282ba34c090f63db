// The byte ranges that a signature leaves out of the file it covers: in a Windows executable
// the header fields that an Authenticode signature changes and its certificate table, and in
// every signed file the region of the signature block itself.
#ifndef KT_TOOLS_SIGNING_EXCLUDED_RANGES_H
#define KT_TOOLS_SIGNING_EXCLUDED_RANGES_H

#include <cstdint>
#include <vector>

#include "tools/signing/bytes.h"

namespace signing {

// `length` bytes from file offset `start`; a length of 0 leaves nothing out.
struct ExcludedRange {
  uint64_t start;
  uint64_t length;
};
using ExcludedRanges = std::vector<ExcludedRange>;

// For a file starting with "MZ", in this order: the header checksum, the certificate-table
// directory entry, and the certificate table when its offset is not 0. None for any other
// file. Throws SigningError when a header field that the verifier reads lies outside `file`.
ExcludedRanges ExecutableHeaderRanges(const Bytes& file);

// Throws SigningError unless the ranges ascend, do not overlap and end within the file, which
// is how the verifier reads them.
void CheckExcludedRanges(const ExcludedRanges& ranges, uint64_t fileLength);

}  // namespace signing

#endif
