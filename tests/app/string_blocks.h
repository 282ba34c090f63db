// String-table blocks for the tests, laid out at test time as the resource compiler lays
// them out: sixteen entries, each a 16-bit little-endian length and that many UTF-16 units.
#ifndef KT_TESTS_APP_STRING_BLOCKS_H
#define KT_TESTS_APP_STRING_BLOCKS_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

// The block holding `entries` in order (fewer than sixteen make a shorter block).
Bytes StringBlockBytes(const std::vector<std::wstring>& entries);

// The helper's texts by id, from res/message_texts.def.
const std::map<uint16_t, std::wstring>& MessageTexts();

// Text `id` of res/message_texts.def; throws for an id it does not define.
const std::wstring& MessageText(uint16_t id);

// The program image's block 7 (ids 96 to 111): the texts at their ids, every other entry
// empty.
Bytes MessageTextBlock();

#endif
