// WideString: copies share one buffer, a write to a shared buffer copies it first, bad
// arguments and lengths raise invalid argument, and every allocation that fails raises out
// of memory with the string unchanged and nothing leaked.
#include "app/wide_string.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "app/raised_error.h"
#include "tests/support/string_heap_fault.h"

namespace {

// The code of the StringError that `operation` raises; 0 when it raises none.
uint32_t RaisedCode(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const StringError& error) {
    return error.Code();
  }
  return 0;
}

class WideStringTest : public ::testing::Test {
 protected:
  void SetUp() override { liveBefore_ = StringHeapLiveBlocks(); }
  void TearDown() override { EXPECT_EQ(StringHeapLiveBlocks(), liveBefore_) << "blocks leaked"; }
  size_t Live() const { return StringHeapLiveBlocks() - liveBefore_; }

 private:
  size_t liveBefore_ = 0;
};

TEST_F(WideStringTest, EmptyStringsHoldNoBufferAndReadAsEmptyText) {
  const WideString none;
  const WideString empty(L"");
  EXPECT_EQ(Live(), 0u);
  for (const WideString* string : {&none, &empty}) {
    ASSERT_NE(string->CStr(), nullptr);
    EXPECT_STREQ(string->CStr(), L"");
    EXPECT_TRUE(string->IsEmpty());
    EXPECT_FALSE(string->SharesBufferWith(*string));
  }
}

TEST_F(WideStringTest, KeepsUnitsBeyondAsciiAndCountsWithoutTheZero) {
  const WideString text(L"besch\u00e4digt");
  EXPECT_EQ(text.Length(), 10u);
  EXPECT_EQ(std::wstring(text.CStr()), L"besch\u00e4digt");
}

TEST_F(WideStringTest, CopiesShareOneBuffer) {
  const WideString original(L"Norlith");
  WideString assigned;
  assigned = original;
  const WideString copied(original);  // NOLINT(performance-unnecessary-copy-initialization)
  EXPECT_TRUE(copied.SharesBufferWith(original));
  EXPECT_TRUE(assigned.SharesBufferWith(original));
  EXPECT_EQ(copied.CStr(), original.CStr());
  EXPECT_EQ(Live(), 1u);
}

TEST_F(WideStringTest, TheLastCopyReturnsTheBuffer) {
  std::optional<WideString> first(std::in_place, L"Norlith");
  {
    const WideString second(*first);
    first.reset();
    EXPECT_EQ(Live(), 1u);
    EXPECT_STREQ(second.CStr(), L"Norlith");
  }
  EXPECT_EQ(Live(), 0u);
}

TEST_F(WideStringTest, AssignmentToItselfKeepsTheText) {
  WideString text(L"Norlith");
  WideString& alias = text;
  text = alias;
  EXPECT_STREQ(text.CStr(), L"Norlith");
  text = std::move(alias);
  EXPECT_STREQ(text.CStr(), L"Norlith");
  EXPECT_EQ(Live(), 1u);
}

TEST_F(WideStringTest, MovingTakesTheBufferAndLeavesTheSourceEmpty) {
  WideString source(L"Norlith");
  const wchar_t* units = source.CStr();
  WideString moved(std::move(source));
  EXPECT_EQ(moved.CStr(), units);
  EXPECT_TRUE(source.IsEmpty());  // NOLINT(bugprone-use-after-move): the moved-from state
  WideString target(L"old");
  target = std::move(moved);
  EXPECT_EQ(target.CStr(), units);
  EXPECT_EQ(Live(), 1u);
}

// Each way of writing to a string, applied to a copy: the copy gets its own buffer and the
// original keeps its text.
struct WriteCase {
  const char* name;
  std::function<void(WideString*)> write;
  const wchar_t* written;
};

void PrintTo(const WriteCase& value, std::ostream* out) {
  *out << value.name;
}

const WriteCase kWrites[] = {
    {"GetBufferAndRelease",
     [](WideString* text) {
       wchar_t* units = text->GetBuffer(3);
       units[0] = L'X';
       text->ReleaseBuffer(3);
     },
     L"Xor"},
    {"GetBufferOfTheSameCapacity", [](WideString* text) { text->GetBuffer(7)[0] = L'X'; },
     L"Xorlith"},
    {"AppendText", [](WideString* text) { *text += L" Tamsweep"; }, L"Norlith Tamsweep"},
    {"AppendString", [](WideString* text) { *text += WideString(L"!"); }, L"Norlith!"},
    {"AppendItself", [](WideString* text) { *text += *text; }, L"NorlithNorlith"},
};

class WideStringWriteTest : public WideStringTest,
                            public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WideStringWriteTest, CopiesASharedBufferFirst) {
  const WideString original(L"Norlith");
  WideString copy(original);
  GetParam().write(&copy);
  EXPECT_STREQ(original.CStr(), L"Norlith");
  EXPECT_STREQ(copy.CStr(), GetParam().written);
  EXPECT_EQ(copy.Length(), std::wcslen(GetParam().written));
  EXPECT_FALSE(copy.SharesBufferWith(original));
  EXPECT_EQ(Live(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Writes, WideStringWriteTest, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WideStringTest, WritesToAnUnsharedBufferWithRoomInPlace) {
  WideString text(L"Norlith");
  text.GetBuffer(40);
  text.ReleaseBuffer(7);
  const wchar_t* units = text.CStr();
  text += L" Tamsweep";
  text += text;
  EXPECT_EQ(text.CStr(), units);
  EXPECT_STREQ(text.CStr(), L"Norlith TamsweepNorlith Tamsweep");
  EXPECT_EQ(text.GetBuffer(32), units);
  EXPECT_EQ(Live(), 1u);
}

TEST_F(WideStringTest, GetBufferKeepsTheTextCutToTheCapacity) {
  WideString text(L"Norlith");
  text.GetBuffer(3);
  EXPECT_STREQ(text.CStr(), L"Nor");
  EXPECT_EQ(text.Length(), 3u);
  text.GetBuffer(10);
  EXPECT_STREQ(text.CStr(), L"Nor");
  WideString empty;
  wchar_t* units = empty.GetBuffer(0);
  EXPECT_EQ(units[0], L'\0');
  empty.ReleaseBuffer(0);
  EXPECT_TRUE(empty.IsEmpty());
}

TEST_F(WideStringTest, ConcatenationLeavesItsOperandsAlone) {
  const WideString left(L"Norlith");
  const WideString right(L" Tamsweep");
  EXPECT_STREQ((left + right).CStr(), L"Norlith Tamsweep");
  EXPECT_STREQ((left + L"!").CStr(), L"Norlith!");
  EXPECT_STREQ((WideString() + L"").CStr(), L"");
  EXPECT_STREQ(left.CStr(), L"Norlith");
  EXPECT_STREQ(right.CStr(), L" Tamsweep");
}

// Bad arguments and lengths: each raises invalid argument and leaves the string as it was.
struct BadArgumentCase {
  const char* name;
  std::function<void(WideString*)> operation;
};

void PrintTo(const BadArgumentCase& value, std::ostream* out) {
  *out << value.name;
}

const BadArgumentCase kBadArguments[] = {
    {"ConstructFromNull", [](WideString*) { const WideString fromNull(nullptr); }},
    {"AppendNull", [](WideString* text) { *text += static_cast<const wchar_t*>(nullptr); }},
    {"ConcatenateNull", [](WideString* text) { (void)(*text + nullptr); }},
    {"GetBufferOfSizeMax", [](WideString* text) { text->GetBuffer(SIZE_MAX); }},
    // Fits as units alone, but not with the buffer's header.
    {"GetBufferBeyondTheHeap",
     [](WideString* text) { text->GetBuffer(SIZE_MAX / sizeof(wchar_t)); }},
    {"ReleaseBeyondTheCapacity",
     [](WideString* text) {
       text->GetBuffer(7);
       text->ReleaseBuffer(8);
     }},
    {"ReleaseASharedBuffer",
     [](WideString* text) {
       const WideString sharing(*text);
       text->ReleaseBuffer(3);
     }},
};

class WideStringBadArgumentTest : public WideStringTest,
                                  public ::testing::WithParamInterface<BadArgumentCase> {};

TEST_P(WideStringBadArgumentTest, RaisesInvalidArgument) {
  WideString text(L"Norlith");
  EXPECT_EQ(RaisedCode([&] { GetParam().operation(&text); }), kStringInvalidArgument);
  EXPECT_STREQ(text.CStr(), L"Norlith");
  EXPECT_EQ(Live(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BadArguments, WideStringBadArgumentTest,
                         ::testing::ValuesIn(kBadArguments),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WideStringTest, ReleaseWithoutABufferTakesOnlyZero) {
  WideString empty;
  empty.ReleaseBuffer(0);
  EXPECT_EQ(RaisedCode([&] { empty.ReleaseBuffer(1); }), kStringInvalidArgument);
  EXPECT_TRUE(empty.IsEmpty());
}

// Every operation that allocates, with each of its allocations failing in turn: out of
// memory is raised, the strings keep their text, and nothing stays allocated.
struct AllocationCase {
  const char* name;
  std::function<void(WideString*, WideString*)> operation;  // on a string and a copy of it
};

void PrintTo(const AllocationCase& value, std::ostream* out) {
  *out << value.name;
}

const AllocationCase kAllocations[] = {
    {"Construct", [](WideString*, WideString*) { const WideString made(L"Tamsweep"); }},
    {"GetBufferOfASharedBuffer", [](WideString*, WideString* copy) { copy->GetBuffer(3); }},
    {"GetBufferBeyondTheCapacity", [](WideString* text, WideString*) { text->GetBuffer(40); }},
    {"AppendToASharedBuffer", [](WideString*, WideString* copy) { *copy += L"!"; }},
    {"AppendItself", [](WideString* text, WideString*) { *text += *text; }},
    {"Concatenate",
     [](WideString* text, WideString*) { const WideString joined = *text + L"!" + *text; }},
};

class WideStringAllocationTest : public WideStringTest,
                                 public ::testing::WithParamInterface<AllocationCase> {};

TEST_P(WideStringAllocationTest, RaisesOutOfMemoryAndLeaksNothing) {
  const uint32_t failures = ForEachStringHeapFailure([&](uint32_t call) {
    StringHeapFaultArm(0);
    WideString text(L"Norlith");
    WideString copy(text);
    StringHeapFaultArm(call);
    const uint32_t code = RaisedCode([&] { GetParam().operation(&text, &copy); });
    if (StringHeapFaultTriggered()) {
      EXPECT_EQ(code, kStringOutOfMemory) << "allocation " << call;
      EXPECT_STREQ(text.CStr(), L"Norlith") << "allocation " << call;
      EXPECT_STREQ(copy.CStr(), L"Norlith") << "allocation " << call;
      EXPECT_TRUE(copy.SharesBufferWith(text)) << "allocation " << call;
    } else {
      EXPECT_EQ(code, 0u);
    }
  });
  EXPECT_GE(failures, 1u);
}

INSTANTIATE_TEST_SUITE_P(Allocations, WideStringAllocationTest, ::testing::ValuesIn(kAllocations),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
