// The helper's texts: found in the first resource module that holds them at the neutral
// language, read from the block of the default language choice, copied whole; the copy's
// error numbers as string errors; and formatting with wide values inserted unchanged.
#include "app/message_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/format_text.h"
#include "app/raised_error.h"
#include "tests/app/fake_system.h"
#include "tests/app/string_blocks.h"
#include "tests/support/string_heap_fault.h"

namespace {

uint32_t RaisedCode(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const StringError& error) {
    return error.Code();
  }
  return 0;
}

// Block 7 with `text` at id 101 and nothing else.
Bytes CaptionBlock(const std::wstring& text) {
  std::vector<std::wstring> entries(16);
  entries[101 % 16] = text;
  return StringBlockBytes(entries);
}

TEST(LoadTextTest, LoadsEachTextOfTheProgramImageWhole) {
  FakeSystem system;
  for (const auto& [id, text] : MessageTexts()) {
    const WideString loaded = LoadText(system, id);
    EXPECT_EQ(std::wstring(loaded.CStr()), text) << "text " << id;
    EXPECT_EQ(loaded.Length(), text.size()) << "text " << id;
  }
  const WideString caption = LoadText(system, kTextCaption);
  EXPECT_STREQ(caption.CStr(), L"Norlith Tamsweep");
  EXPECT_EQ(caption.Length(), 16u);
}

TEST(LoadTextTest, IdsWithoutATextAreEmpty) {
  FakeSystem system;
  // 100 and 111: empty entries of block 7; 96: its first entry; 50: a block that is missing.
  for (const uint16_t id : {100, 111, 96, 50}) {
    const WideString loaded = LoadText(system, id);
    EXPECT_TRUE(loaded.IsEmpty()) << "text " << id;
    EXPECT_STREQ(loaded.CStr(), L"") << "text " << id;
  }
}

TEST(LoadTextTest, WithoutAStringTableEveryTextIsEmpty) {
  FakeSystem system;
  system.modules.clear();
  EXPECT_TRUE(LoadText(system, kTextCaption).IsEmpty());
  EXPECT_EQ(FindTextModule(system, kTextCaption), nullptr);
}

TEST(LoadTextTest, LooksUpTheBlockAtTheNeutralLanguageThenByTheDefaultChoice) {
  FakeSystem system;
  LoadText(system, kTextFileDamaged);
  EXPECT_EQ(system.resourceCalls,
            (std::vector<std::wstring>{L"module at 0", L"block 7 neutral", L"block 7 default"}));
}

// Which module and which block a text comes from, when the modules and the two language
// lookups disagree.
struct ModuleCase {
  const char* name;
  std::function<std::vector<FakeModule>()> modules;
  int foundModule;  // index of the module FindTextModule names; -1 for none
  const wchar_t* loaded;
};

void PrintTo(const ModuleCase& value, std::ostream* out) {
  *out << value.name;
}

FakeModule WithBlocks(const Bytes* neutral, const Bytes* byDefault) {
  FakeModule module;
  if (neutral != nullptr) {
    module.blocks[{7, true}] = *neutral;
  }
  if (byDefault != nullptr) {
    module.blocks[{7, false}] = *byDefault;
  }
  return module;
}

const Bytes kNeutral = CaptionBlock(L"neutral");
const Bytes kDefault = CaptionBlock(L"default");
const Bytes kEmpty = CaptionBlock(L"");

const ModuleCase kModules[] = {
    {"TheDefaultChoiceIsRead", [] { return std::vector{WithBlocks(&kNeutral, &kDefault)}; }, 0,
     L"default"},
    {"AModuleWithoutTheNeutralTextIsPassedOver",
     [] {
       return std::vector{WithBlocks(&kEmpty, &kDefault), WithBlocks(&kNeutral, &kNeutral)};
     },
     1, L"neutral"},
    {"AModuleWithoutTheNeutralBlockIsPassedOver",
     [] {
       return std::vector{WithBlocks(nullptr, &kDefault), WithBlocks(&kNeutral, &kDefault)};
     },
     1, L"default"},
    {"TheFirstModuleHoldingTheTextWins",
     [] {
       return std::vector{WithBlocks(&kNeutral, &kNeutral), WithBlocks(&kDefault, &kDefault)};
     },
     0, L"neutral"},
    // The module found is the one read; no other module and no other language stands in.
    {"NoDefaultBlockInTheModuleFound",
     [] {
       return std::vector{WithBlocks(&kNeutral, nullptr), WithBlocks(&kDefault, &kDefault)};
     },
     0, L""},
    {"EmptyDefaultEntryInTheModuleFound",
     [] { return std::vector{WithBlocks(&kNeutral, &kEmpty)}; }, 0, L""},
    {"NoModuleHoldsTheText", [] { return std::vector{WithBlocks(&kEmpty, &kDefault)}; }, -1, L""},
};

class TextModuleTest : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(TextModuleTest, FindsTheModuleAndLoadsItsText) {
  FakeSystem system;
  system.modules = GetParam().modules();
  const ResourceModule expected =
      GetParam().foundModule < 0 ? nullptr : &system.modules[GetParam().foundModule];
  EXPECT_EQ(FindTextModule(system, kTextCaption), expected);
  EXPECT_STREQ(LoadText(system, kTextCaption).CStr(), GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(Modules, TextModuleTest, ::testing::ValuesIn(kModules),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadTextTest, RaisesOutOfMemoryAndLeaksNothing) {
  FakeSystem system;
  const size_t live = StringHeapLiveBlocks();
  const uint32_t failures = ForEachStringHeapFailure([&](uint32_t call) {
    const uint32_t code = RaisedCode([&] { LoadText(system, kTextRemovalQuestion); });
    EXPECT_EQ(code, StringHeapFaultTriggered() ? kStringOutOfMemory : 0u) << "allocation " << call;
    EXPECT_EQ(StringHeapLiveBlocks(), live) << "allocation " << call;
  });
  EXPECT_EQ(failures, 1u);
}

struct CopyErrorCase {
  const char* name;
  int errorNumber;
  uint32_t code;
};

void PrintTo(const CopyErrorCase& value, std::ostream* out) {
  *out << value.name;
}

const CopyErrorCase kCopyErrors[] = {
    {"Success", 0, 0},
    {"Truncated", 80, 0},
    {"OutOfMemory", 12, kStringOutOfMemory},
    {"InvalidArgument", 22, kStringInvalidArgument},
    {"Range", 34, kStringInvalidArgument},
    {"PermissionDenied", 1, kStringFailure},
    {"IllegalSequence", 42, kStringFailure},
    {"Negative", -1, kStringFailure},
};

class CopyErrorTest : public ::testing::TestWithParam<CopyErrorCase> {};

TEST_P(CopyErrorTest, MapsToTheStringError) {
  EXPECT_EQ(StringErrorForCopy(GetParam().errorNumber), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(ErrorNumbers, CopyErrorTest, ::testing::ValuesIn(kCopyErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatTextTest, PutsTheScriptNameIntoTheDamagedFileText) {
  const WideString text = FormatText(MessageText(kTextFileDamaged).c_str(), L"Uninstall.vbs");
  EXPECT_EQ(std::wstring(text.CStr()),
            L"Die Datei Uninstall.vbs wurde manipuliert oder besch\u00e4digt. Das Programm kann "
            L"nicht ausgef\u00fchrt werden.");
  EXPECT_EQ(text.Length(), 101u);
}

// One wide value in several conversions: inserted unchanged, as the Windows run-time does.
struct FormatCase {
  const char* name;
  const wchar_t* format;
  const wchar_t* value;
  const wchar_t* formatted;
};

void PrintTo(const FormatCase& value, std::ostream* out) {
  *out << value.name;
}

const FormatCase kFormats[] = {
    {"Plain", L"[%s]", L"Uninstall.vbs", L"[Uninstall.vbs]"},
    {"BeyondAscii", L"%s", L"\u00e4\u00f6\u00fc\u00df\u20ac", L"\u00e4\u00f6\u00fc\u00df\u20ac"},
    {"Width", L"[%6s]", L"abc", L"[   abc]"},
    {"LeftAligned", L"[%-6s]", L"abc", L"[abc   ]"},
    {"Precision", L"[%.2s]", L"abc", L"[ab]"},
    {"ExplicitlyWide", L"[%ls]", L"abc", L"[abc]"},
    {"PercentSignsStay", L"%%s %s %%", L"abc", L"%s abc %"},
    {"NoPlaceholder", L"Norlith", L"abc", L"Norlith"},
    {"EmptyFormat", L"", L"abc", L""},
};

class FormatTextTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTextTest, InsertsTheWideValueUnchanged) {
  const WideString text = FormatText(GetParam().format, GetParam().value);
  EXPECT_EQ(std::wstring(text.CStr()), GetParam().formatted);
  EXPECT_EQ(text.Length(), std::wcslen(GetParam().formatted));
}

INSTANTIATE_TEST_SUITE_P(Conversions, FormatTextTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatTextTest, TakesCharactersAndNumbersAlongside) {
  EXPECT_STREQ(FormatText(L"%c|%d|%s|%c", L'\u00e4', 42, L"x", L'y').CStr(), L"\u00e4|42|x|y");
}

TEST(FormatTextTest, NullFormatRaisesInvalidArgument) {
  EXPECT_EQ(RaisedCode([] { FormatText(nullptr, L"x"); }), kStringInvalidArgument);
}

TEST(FormatTextTest, RaisesOutOfMemoryAndLeaksNothing) {
  const size_t live = StringHeapLiveBlocks();
  const uint32_t failures = ForEachStringHeapFailure([&](uint32_t call) {
    const uint32_t code = RaisedCode([] { FormatText(L"Die Datei %s", L"Uninstall.vbs"); });
    EXPECT_EQ(code, StringHeapFaultTriggered() ? kStringOutOfMemory : 0u) << "allocation " << call;
    EXPECT_EQ(StringHeapLiveBlocks(), live) << "allocation " << call;
  });
  EXPECT_EQ(failures, 1u);
}

}  // namespace
