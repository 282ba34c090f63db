// The length and digests that an executable's signature covers: taken over the file with its
// excluded ranges left out.
#ifndef KT_TOOLS_SIGNING_FILE_DIGESTS_H
#define KT_TOOLS_SIGNING_FILE_DIGESTS_H

#include <cstdint>

#include "tools/signing/bytes.h"
#include "tools/signing/evp_digest.h"
#include "tools/signing/excluded_ranges.h"

namespace signing {

// Only the first 4096 bytes of the file count towards the head digest.
constexpr uint64_t kHeadLength = 4096;

struct FileDigests {
  uint32_t signedLength;  // file length minus the excluded bytes
  Md5Digest headMd5;      // MD5 of the bytes below offset min(file length, 4096), ranges left out
  Md5Digest md5;          // MD5 of the whole file, ranges left out
  Sha256Digest sha256;    // SHA-256 of the whole file, ranges left out
};

// `ranges` must have passed CheckExcludedRanges for this file.
FileDigests DigestFileExcluding(const Bytes& file, const ExcludedRanges& ranges);

}  // namespace signing

#endif
