// The walk through a string-table block to one entry, over well-formed blocks and blocks cut
// short anywhere, and the bounds-checked copy of an entry's text.
#include "app/string_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/app/string_blocks.h"

namespace {

// A block and the size the resource functions report for it.
struct SizedBlock {
  Bytes bytes;
  uint32_t size;
};

SizedBlock Whole(const Bytes& bytes) {
  return {bytes, static_cast<uint32_t>(bytes.size())};
}

Bytes Appended(Bytes bytes, std::initializer_list<uint8_t> more) {
  bytes.insert(bytes.end(), more);
  return bytes;
}

std::wstring EntryText(const StringEntry& entry) {
  std::vector<wchar_t> units(entry.length + 1u);
  EXPECT_EQ(CopyStringEntry(entry, units.data(), units.size()), 0);
  return units.data();
}

struct WalkCase {
  const char* name;
  std::function<SizedBlock()> block;  // null: no block at all
  uint32_t index;
  const wchar_t* text;  // null: the entry is missing
};

void PrintTo(const WalkCase& value, std::ostream* out) {
  *out << value.name;
}

const WalkCase kWalks[] = {
    {"FirstEntry",
     [] {
       return Whole(StringBlockBytes({L"a", L"bc"}));
     },
     0, L"a"},
    {"EntryAfterOthers",
     [] {
       return Whole(StringBlockBytes({L"a", L"", L"bc", L"def"}));
     },
     3, L"def"},
    {"CaptionOfTheProgramImage", [] { return Whole(MessageTextBlock()); }, 101 % 16,
     L"Norlith Tamsweep"},
    // Read little-endian: ä is E4 00 in the block.
    {"TextWithUmlauts",
     [] {
       return Whole(StringBlockBytes({L"", L"\u00e4\u00fc"}));
     },
     1, L"\u00e4\u00fc"},
    {"SixteenthEntry",
     [] {
       std::vector<std::wstring> entries(16);
       entries[15] = L"last";
       return Whole(StringBlockBytes(entries));
     },
     15, L"last"},
    {"EmptyEntry", [] { return Whole(MessageTextBlock()); }, 100 % 16, nullptr},
    {"EntryAfterTheBlock",
     [] {
       return Whole(StringBlockBytes({L"a", L"bc"}));
     },
     2, nullptr},
    {"EmptyBlock", [] { return Whole({}); }, 0, nullptr},
    {"NoBlock", nullptr, 0, nullptr},
    {"OneByteLeftForTheLength", [] { return Whole(Appended(StringBlockBytes({L"ab"}), {0x01})); },
     1, nullptr},
    {"TextCutShort",
     [] {
       return Whole(Appended(StringBlockBytes({L"ab"}), {0x03, 0x00, 'x'}));
     },
     1, nullptr},
    {"SkippedTextCutShort",
     [] {
       return Whole(Appended({0x05, 0x00}, {'a', 0, 'b', 0, 'c', 0}));
     },
     1, nullptr},
    {"SkippedLengthFarBeyondTheBlock",
     [] {
       return Whole({0xFF, 0xFF, 'a', 0});
     },
     1, nullptr},
    // The reported size rules, not the bytes behind it.
    {"SizeEndsInsideTheText",
     [] {
       const Bytes bytes = StringBlockBytes({L"a", L"bcd"});
       return SizedBlock{bytes, static_cast<uint32_t>(bytes.size() - 1)};
     },
     1, nullptr},
    {"SizeEndsRightAfterTheText",
     [] {
       const Bytes bytes = StringBlockBytes({L"a", L"bcd", L"ef"});
       return SizedBlock{bytes, 2 + 2 + 2 + 6};
     },
     1, L"bcd"},
    {"StrayByteAfterTheText", [] { return Whole(Appended(StringBlockBytes({L"ab"}), {0x07})); }, 0,
     L"ab"},
};

class StringTableWalkTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(StringTableWalkTest, FindsTheEntryOrNothing) {
  const WalkCase& row = GetParam();
  StringBlock block;
  // The block in a heap block of exactly its size, so that a read past it is caught.
  std::vector<uint8_t> exact;
  if (row.block) {
    const SizedBlock sized = row.block();
    exact.assign(sized.bytes.begin(), sized.bytes.begin() + sized.size);
    block = {exact.empty() ? static_cast<const void*>(&exact) : exact.data(), sized.size};
  }
  StringEntry entry;
  const bool present = FindStringEntry(block, row.index, &entry);
  ASSERT_EQ(present, row.text != nullptr);
  if (present) {
    EXPECT_EQ(EntryText(entry), row.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Blocks, StringTableWalkTest, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

// The copy answers with the C library's error numbers of a bounds-checked copy.
struct CopyCase {
  const char* name;
  size_t destinationUnits;  // 0 with `nullDestination` false: a buffer without room
  const wchar_t* copied;    // what the destination holds afterwards
  int errorNumber;
  bool withUnits;
  bool nullDestination;
};

void PrintTo(const CopyCase& value, std::ostream* out) {
  *out << value.name;
}

const CopyCase kCopies[] = {
    {"Fits", 4, L"abc", 0, true, false},
    {"FitsWithRoomToSpare", 10, L"abc", 0, true, false},
    {"NoRoomForTheZero", 3, L"", 34, true, false},
    {"NoRoomAtAll", 0, L"?", 22, true, false},
    {"NullDestination", 4, nullptr, 22, true, true},
    {"EntryWithoutUnits", 4, L"", 22, false, false},
};

class CopyStringEntryTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyStringEntryTest, AnswersWithTheErrorNumber) {
  const CopyCase& row = GetParam();
  const Bytes block = StringBlockBytes({L"abc"});
  StringEntry entry;
  ASSERT_TRUE(FindStringEntry({block.data(), static_cast<uint32_t>(block.size())}, 0, &entry));
  if (!row.withUnits) {
    entry.units = nullptr;
  }
  wchar_t destination[12] = L"?";
  EXPECT_EQ(
      CopyStringEntry(entry, row.nullDestination ? nullptr : destination, row.destinationUnits),
      row.errorNumber);
  if (row.copied != nullptr) {
    EXPECT_STREQ(destination, row.copied);
  }
}

INSTANTIATE_TEST_SUITE_P(Copies, CopyStringEntryTest, ::testing::ValuesIn(kCopies),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
