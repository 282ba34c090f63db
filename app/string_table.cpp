// The walk through a string-table block and the copy of an entry's text. The block is read
// unit by unit from its bytes, so neither its alignment nor the host's byte order matter.
#include "app/string_table.h"

#include "crypto/common.h"

namespace {

constexpr size_t kUnitBytes = 2;

// The C library's error numbers of a bounds-checked copy.
constexpr int kCopyInvalidArgument = 22;
constexpr int kCopyRange = 34;

}  // namespace

bool FindStringEntry(const StringBlock& block, uint32_t index, StringEntry* entry) {
  if (block.data == nullptr) {
    return false;
  }
  const auto* bytes = static_cast<const uint8_t*>(block.data);
  const size_t size = block.size;
  size_t position = 0;
  for (uint32_t skipped = 0;; ++skipped) {
    if (size - position < kUnitBytes) {
      return false;
    }
    const uint16_t length = LoadLe16(bytes + position);
    position += kUnitBytes;
    // Each entry's text must lie inside the block, also one that is only skipped: the
    // entries after it would start past the end.
    if (length > (size - position) / kUnitBytes) {
      return false;
    }
    if (skipped == index) {
      entry->units = bytes + position;
      entry->length = length;
      return length != 0;
    }
    position += length * kUnitBytes;
  }
}

int CopyStringEntry(const StringEntry& entry, wchar_t* destination, size_t destinationUnits) {
  if (destination == nullptr || destinationUnits == 0) {
    return kCopyInvalidArgument;
  }
  destination[0] = L'\0';
  if (entry.units == nullptr) {
    return kCopyInvalidArgument;
  }
  if (entry.length >= destinationUnits) {
    return kCopyRange;
  }
  for (size_t i = 0; i < entry.length; ++i) {
    destination[i] = static_cast<wchar_t>(LoadLe16(entry.units + i * kUnitBytes));
  }
  destination[entry.length] = L'\0';
  return 0;
}
