// Entries of a string-table block, read from the block's bytes as the resource functions
// give them. A block holds sixteen entries in order; each is a 16-bit length n followed by
// n UTF-16 units, without a terminating zero; an empty entry is its length alone:
//
//   n0 (2 bytes, little-endian) | n0 units (2 n0 bytes) | n1 | n1 units | ... | n15 | n15 units
#ifndef KT_APP_STRING_TABLE_H
#define KT_APP_STRING_TABLE_H

#include <cstddef>
#include <cstdint>

#include "app/system_services.h"

// An entry's text inside its block: `length` units at `units`, little-endian.
struct StringEntry {
  const uint8_t* units = nullptr;
  uint16_t length = 0;
};

// Walks `block` to entry `index`. True when that entry is present: it lies wholly inside the
// block and its length is not 0. A block cut short anywhere before the end of the entry,
// or no block at all, leaves it missing; nothing past the block's size is read.
bool FindStringEntry(const StringBlock& block, uint32_t index, StringEntry* entry);

// Copies the entry's text into `destination`, room for `destinationUnits` units, and ends it
// with a zero. Answers as the C library's bounds-checked copy does: 0, or 22 (invalid
// argument) for a null destination, no room at all or an entry without units, or 34 (range)
// when the text and its zero do not fit; on 22 with room and on 34 the destination is left
// empty.
int CopyStringEntry(const StringEntry& entry, wchar_t* destination, size_t destinationUnits);

#endif
