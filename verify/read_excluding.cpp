// Reading the leading bytes of a file with the excluded ranges left out, one read per gap.
#include <cstdint>

#include "verify/excluded_ranges.h"
#include "verify/file_access.h"

namespace {

bool ReadExactly(int file, uint8_t* out, uint32_t count) {
  return FileRead(file, out, count) == count;
}

}  // namespace

int ReadFileExcluding(uint8_t* buffer, int file, uint32_t limit, const ExcludedRange* list,
                      uint32_t* count, VerifyStatus* status) {
  if (buffer == nullptr || count == nullptr || file < 0 ||
      FileSeek(file, 0, FileOrigin::Start) != 0) {
    return ReportStatus(status, StatusBadArgument);
  }
  // A range that starts before the previous one ends would ask for a negative read.
  if (!ExcludedRangesOrdered(list)) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  if (list == nullptr) {
    if (!ReadExactly(file, buffer, limit)) {
      return ReportStatus(status, StatusReadError);
    }
    *count = limit;
    return 1;
  }

  uint32_t position = 0;  // file offset of the next byte to read
  uint32_t filled = 0;
  for (const ExcludedRange* range = list; range != nullptr; range = range->next) {
    if (range->start < limit) {
      const uint32_t gap = range->start - position;
      if (!ReadExactly(file, buffer + filled, gap)) {
        return ReportStatus(status, StatusReadError);
      }
      filled += gap;
      if (range->end >= limit - 1) {
        break;
      }
      position = range->end + 1;
      if (FileSeek(file, position, FileOrigin::Start) < 0) {
        return ReportStatus(status, StatusReadError);
      }
    }
    if (range->next == nullptr || range->start >= limit) {
      const uint32_t rest = limit - position;
      if (!ReadExactly(file, buffer + filled, rest)) {
        return ReportStatus(status, StatusReadError);
      }
      filled += rest;
      break;
    }
  }
  *count = filled;
  return 1;
}
