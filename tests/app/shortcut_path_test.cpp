// Joining a name to a folder in a fixed buffer, and the desktop shortcut paths built with it:
// one backslash between, none removed, cut at the buffer's size, nothing at an unknown
// desktop.
#include "app/shortcut_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <ostream>
#include <string>

#include "tests/app/fake_system.h"

namespace {

struct AppendCase {
  const char* name;
  const wchar_t* dst;
  uint32_t capacity;
  const wchar_t* src;
  const wchar_t* joined;
};

void PrintTo(const AppendCase& value, std::ostream* out) {
  *out << value.name;
}

const AppendCase kAppends[] = {
    {"OneBackslashBetween", L"C:\\Users\\Desktop", 260, L"Norlith Tamsweep.lnk",
     L"C:\\Users\\Desktop\\Norlith Tamsweep.lnk"},
    {"FolderEndsWithABackslash", L"C:\\", 260, L"a.lnk", L"C:\\a.lnk"},
    {"NameBeginsWithABackslash", L"C:\\d", 260, L"\\a.lnk", L"C:\\d\\a.lnk"},
    {"BothBackslashesStay", L"C:\\d\\", 260, L"\\a.lnk", L"C:\\d\\\\a.lnk"},
    {"EmptyFolderTakesTheNameAlone", L"", 260, L"a.lnk", L"a.lnk"},
    {"EmptyNameGetsTheBackslash", L"C:\\d", 260, L"", L"C:\\d\\"},
    {"NameCutAtTheCapacity", L"C:\\d", 8, L"abcdef", L"C:\\d\\ab"},
    {"RoomForTheBackslashOnly", L"abc", 5, L"xyz", L"abc\\"},
    {"FullBufferTakesNothing", L"abcd", 5, L"x", L"abcd"},
    {"CapacityZero", L"abc", 0, L"x", L"abc"},
    {"NullName", L"abc", 260, nullptr, L"abc"},
};

class AppendPathTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendPathTest, JoinsWithinTheCapacity) {
  const AppendCase& row = GetParam();
  // Marks after the start value show any write past the capacity.
  wchar_t buffer[300];
  std::wmemset(buffer, L'#', 300);
  std::wcscpy(buffer, row.dst);
  AppendPath(buffer, row.capacity, row.src);
  EXPECT_STREQ(buffer, row.joined);
  const size_t untouched = std::max<size_t>(row.capacity, std::wcslen(row.dst) + 1);
  for (size_t i = untouched; i < 300; ++i) {
    ASSERT_EQ(buffer[i], L'#') << "unit " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Joins, AppendPathTest, ::testing::ValuesIn(kAppends),
                         [](const auto& info) { return std::string(info.param.name); });

// A folder of `length` characters: "C:\" and then d's.
std::wstring FolderOf(size_t length) {
  return L"C:\\" + std::wstring(length - 3, L'd');
}

struct ShortcutCase {
  const char* name;
  std::optional<std::wstring> desktop;
  bool withTexts;
  uint16_t textId;
  std::wstring path;
};

void PrintTo(const ShortcutCase& value, std::ostream* out) {
  *out << value.name;
}

const ShortcutCase kShortcuts[] = {
    {"ProductShortcut", L"C:\\Users\\Tester\\Desktop", true, 103,
     L"C:\\Users\\Tester\\Desktop\\Norlith Tamsweep.lnk"},
    {"RemovalShortcut", L"C:\\Users\\Tester\\Desktop", true, 104,
     L"C:\\Users\\Tester\\Desktop\\Entfernen des Norlith Tamsweeps.lnk"},
    {"DesktopAtADriveRoot", L"D:\\", true, 103, L"D:\\Norlith Tamsweep.lnk"},
    {"TextMissing", L"C:\\Desktop", false, 103, L"C:\\Desktop\\.lnk"},
    {"DesktopUnknown", std::nullopt, true, 103, L""},
    // An empty folder would leave a name relative to the current folder.
    {"DesktopEmpty", L"", true, 103, L""},
    {"JustFits", FolderOf(238), true, 103, FolderOf(238) + L"\\Norlith Tamsweep.lnk"},
    {"LnkPartlyCut", FolderOf(240), true, 103, FolderOf(240) + L"\\Norlith Tamsweep.l"},
    {"LnkWhollyCut", FolderOf(255), true, 103, FolderOf(255) + L"\\Nor"},
    {"NameWhollyCut", FolderOf(259), true, 103, FolderOf(259)},
};

class DesktopShortcutPathTest : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(DesktopShortcutPathTest, BuildsThePath) {
  const ShortcutCase& row = GetParam();
  FakeSystem system;
  system.desktopFolder = row.desktop;
  if (!row.withTexts) {
    system.modules.clear();
  }
  const WideString path = MakeDesktopShortcutPath(system, row.textId);
  EXPECT_EQ(std::wstring(path.CStr()), row.path);
  EXPECT_LE(path.Length(), 259u);
}

INSTANTIATE_TEST_SUITE_P(Paths, DesktopShortcutPathTest, ::testing::ValuesIn(kShortcuts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
