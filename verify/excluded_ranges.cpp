// Building the list of excluded ranges: the executable-header fields that change when a
// certificate table is added, and the ordering rules every list must meet to be read.
#include "verify/excluded_ranges.h"

#include <cstring>

#include "crypto/common.h"
#include "crypto/memory.h"
#include "verify/check_resources.h"
#include "verify/file_access.h"
#include "verify/pe_header.h"

namespace {

// Appends a new range at the end of the list; false when memory runs out.
bool AppendNew(ExcludedRange** list, uint32_t start, uint32_t size) {
  ExcludedRange** link = list;
  while (*link != nullptr) {
    link = &(*link)->next;
  }
  *link = CreateExcludedRange(start, size);
  return *link != nullptr;
}

}  // namespace

int CollectPeExclusions(int file, ExcludedRange** list) {
  uint64_t headerOffset = 0;
  uint64_t directory = 0;
  {
    // The 64-byte header buffer lives only for the header reads.
    ScopedCheckResources resources;
    auto* bytes = static_cast<uint8_t*>(MemoryAllocate(kDosHeaderLength));
    resources->buffers[0] = bytes;
    if (bytes == nullptr || !FileReadAt(file, 0, bytes, kDosHeaderLength)) {
      return kPeLayoutUnreadable;
    }
    if (bytes[0] != 'M' || bytes[1] != 'Z') {
      return kNoCertificateTable;
    }
    headerOffset = LoadLe32(bytes + kPeHeaderOffsetField);
    if (!FileReadAt(file, static_cast<int64_t>(headerOffset + kOptionalHeaderOffset), bytes, 4)) {
      return kPeLayoutUnreadable;
    }
    directory = headerOffset + CertificateEntryOffset(LoadLe16(bytes));
  }
  uint8_t entry[kDirectoryEntryLength];
  if (!FileReadAt(file, static_cast<int64_t>(directory), entry, kDirectoryEntryLength)) {
    return kPeLayoutUnreadable;
  }
  // Both fields lie before the directory entry just read, so inside a file below 4 GiB.
  const uint64_t checksum = headerOffset + kOptionalHeaderOffset + kChecksumOffset;
  if (!AppendNew(list, static_cast<uint32_t>(checksum), kChecksumLength) ||
      !AppendNew(list, static_cast<uint32_t>(directory), kDirectoryEntryLength)) {
    return kPeLayoutUnreadable;
  }
  const uint32_t tableOffset = LoadLe32(entry);
  const uint32_t tableSize = LoadLe32(entry + 4);
  if (tableOffset == 0) {
    return kNoCertificateTable;
  }
  return AppendNew(list, tableOffset, tableSize) ? kCertificateTable : kPeLayoutUnreadable;
}

ExcludedRange* CreateExcludedRange(uint32_t start, uint32_t size) {
  auto* node = static_cast<ExcludedRange*>(MemoryAllocate(sizeof(ExcludedRange)));
  if (node != nullptr) {
    node->start = start;
    node->end = start + size - 1;
  }
  return node;
}

void InsertExcludedRange(ExcludedRange** list, ExcludedRange* node) {
  if (*list == nullptr) {
    *list = node;
    return;
  }
  for (ExcludedRange* current = *list;; current = current->next) {
    if (current->next != nullptr && current->next->start > node->end) {
      node->next = current->next;
      current->next = node;
      return;
    }
    if (current->next == nullptr) {
      current->next = node;
      return;
    }
  }
}

bool ExcludedRangesOrdered(const ExcludedRange* list) {
  uint64_t firstFree = 0;  // the first offset after the previous range
  for (const ExcludedRange* range = list; range != nullptr; range = range->next) {
    // A node holds start and start + size - 1 modulo 2^32 for a size below 2^32, so only
    // 0 <= end + 1 - start < 2^32 is a range it can stand for. The end falls below start - 1
    // when start + size ran past 2^32. [0, 0xFFFFFFFF] is an empty range at offset 0 whose
    // end wrapped: read as it stands it would leave every byte out of the digests, while
    // the signed length, summed modulo 2^32, counts it as no bytes at all.
    const uint64_t afterEnd = static_cast<uint64_t>(range->end) + 1;
    if (afterEnd < range->start || afterEnd - range->start > UINT32_MAX ||
        range->start < firstFree) {
      return false;
    }
    firstFree = afterEnd;
  }
  return true;
}
