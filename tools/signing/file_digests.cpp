// Feeds the runs of kept bytes between the excluded ranges to the three digests.
#include "tools/signing/file_digests.h"

#include <algorithm>

namespace signing {

FileDigests DigestFileExcluding(const Bytes& file, const ExcludedRanges& ranges) {
  Md5 head;
  Md5 md5;
  Sha256 sha256;
  uint64_t excluded = 0;
  uint64_t kept = 0;  // start of the current run of kept bytes
  const auto keep = [&](uint64_t end) {
    const uint8_t* run = file.data() + kept;
    md5.Update(run, end - kept);
    sha256.Update(run, end - kept);
    const uint64_t headEnd = std::min(end, kHeadLength);
    if (kept < headEnd) {
      head.Update(run, headEnd - kept);
    }
  };
  for (const ExcludedRange& range : ranges) {
    keep(range.start);
    excluded += range.length;
    kept = range.start + range.length;
  }
  keep(file.size());
  return FileDigests{static_cast<uint32_t>(file.size() - excluded), head.Final(), md5.Final(),
                     sha256.Final()};
}

}  // namespace signing
