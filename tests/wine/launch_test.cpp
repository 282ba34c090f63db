// /start and /install on the real exe: the loader beside the helper is opened once, without
// arguments and in the helper's folder, when its signature holds; otherwise the run ends
// with 5, nothing is started and no shortcut is written.
#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/wine/helper_texts.h"
#include "tests/wine/launch_expectations.h"
#include "tests/wine/shortcut_info.h"
#include "tests/wine/wine_session.h"
#include "tests/wine/wine_test.h"

namespace {

enum class Loader { Signed, Unsigned, Altered, Missing };

// The signed loader with one letter of its DOS stub changed: still a program that starts,
// so only the signature check can keep it from running.
Bytes AlteredLoader() {
  Bytes bytes = Session().signedLoader;
  const std::string mark = "DOS mode";
  const auto at = std::search(bytes.begin(), bytes.end(), mark.begin(), mark.end());
  if (at == bytes.end()) {
    throw std::runtime_error("the loader stand-in has no DOS stub text to change");
  }
  *at = 'd';
  return bytes;
}

class LaunchTest : public WineTest {
 protected:
  void PutLoader(Loader loader) const {
    switch (loader) {
      case Loader::Signed:
        Put("ktwebloader.exe", Session().signedLoader);
        break;
      case Loader::Unsigned:
        Put("ktwebloader.exe", Session().unsignedLoader);
        break;
      case Loader::Altered:
        Put("ktwebloader.exe", AlteredLoader());
        break;
      case Loader::Missing:
        break;
    }
  }
};

struct LaunchRow {
  const char* name;
  const char* command;
  Loader loader;
  int exitCode;
  bool started;
};

// Failure messages name the row rather than dump its bytes.
void PrintTo(const LaunchRow& row, std::ostream* out) {
  *out << row.name;
}

class LaunchRowTest : public LaunchTest, public ::testing::WithParamInterface<LaunchRow> {};

TEST_P(LaunchRowTest, StartsOnlyASignedLoader) {
  const LaunchRow& row = GetParam();
  PutLoader(row.loader);
  EXPECT_EQ(RunHelper({row.command}), row.exitCode);
  const std::vector<LoaderStart> starts = StartsOnceSettled();
  if (row.started) {
    ExpectStartedOnceFrom(Folder(), starts);
  } else {
    EXPECT_EQ(starts.size(), 0u) << "started as " << starts.front().commandLine;
  }
  EXPECT_EQ(DesktopEntries(), std::vector<std::string>());
}

const LaunchRow kRows[] = {
    {"StartSigned", "/start", Loader::Signed, 0, true},
    {"StartUnsigned", "/start", Loader::Unsigned, 5, false},
    {"StartAltered", "/start", Loader::Altered, 5, false},
    {"StartMissing", "/start", Loader::Missing, 5, false},
    {"InstallUnsigned", "/install", Loader::Unsigned, 5, false},
    {"InstallAltered", "/install", Loader::Altered, 5, false},
    {"InstallMissing", "/install", Loader::Missing, 5, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, LaunchRowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<LaunchRow>& row) {
                           return std::string(row.param.name);
                         });

// /install with a signed loader: the loader opened as by /start, and the two shortcuts on the
// desktop, read back by a reader of the format that shares nothing with Wine.
TEST_F(LaunchTest, InstallWritesBothShortcutsAndStartsTheLoader) {
  PutLoader(Loader::Signed);
  EXPECT_EQ(RunHelper({"/install"}), 0);
  ExpectStartedOnceFrom(Folder(), StartsOnceSettled());

  const std::string product = Utf8(HelperTexts().at(103)) + ".lnk";
  const std::string removal = Utf8(HelperTexts().at(104)) + ".lnk";
  ASSERT_EQ(DesktopEntries(), (std::vector<std::string>{removal, product}));

  const struct {
    std::string file;
    std::string target;
    const char* arguments;  // null: the shortcut holds no argument string at all
    std::string icon;
  } shortcuts[] = {
      {product, InFolder("ktwebloader.exe"), nullptr, InFolder("tamsweep.ico")},
      {removal, InFolder("kthelper.exe"), "/remove", InFolder("tamsweep_uninstall.ico")},
  };
  for (const auto& expected : shortcuts) {
    SCOPED_TRACE(expected.file);
    ShortcutInfo info = ReadShortcut(Prefix().DesktopFolder() + "/" + expected.file);
    EXPECT_EQ(info.fields["Local path"], expected.target) << info.text;
    EXPECT_EQ(info.fields["Icon location"], expected.icon) << info.text;
    EXPECT_EQ(info.fields["Icon index"], "0") << info.text;
    if (expected.arguments == nullptr) {
      EXPECT_EQ(info.parts.count("Contains a command line arguments string"), 0u) << info.text;
    } else {
      EXPECT_EQ(info.fields["Command line arguments"], expected.arguments) << info.text;
    }
  }
}

}  // namespace
