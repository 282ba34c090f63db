// The real exe's resources as Windows reads them, through the resource reader
// (programs/resource_reader.cpp): the German string table, the version block and the
// manifest, both as embedded and as the activation context that the system makes of it. The
// run's output says which reader read them.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "tests/wine/helper_texts.h"
#include "tests/wine/wine_session.h"
#include "tests/wine/wine_test.h"

namespace {

class ResourcesTest : public WineTest {
 protected:
  // The resources are read even where the build itself cannot run.
  std::string WhySkipped() const override { return Session().readerSkipReason; }

  // The reader's key=value lines.
  std::map<std::string, std::string> ReadResources() const {
    const std::optional<ProgramResult> run = Prefix().Run(
        {std::string(kToolsFolder) + "\\kt_resource_reader.exe", InFolder("kthelper.exe")},
        kProgramLimit);
    std::map<std::string, std::string> values;
    if (!run) {
      ADD_FAILURE() << "the resource reader did not end in time";
      return values;
    }
    EXPECT_EQ(run->exitCode, 0) << run->out << run->err;
    std::istringstream lines(run->out);
    for (std::string line; std::getline(lines, line);) {
      const size_t equals = line.find('=');
      if (equals != std::string::npos) {
        values[line.substr(0, equals)] = line.substr(equals + 1);
      }
    }
    return values;
  }
};

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// One block, 7, in German (Germany), holding ids 96 to 111: the six texts unit for unit
// (umlauts included), every other id empty.
TEST_F(ResourcesTest, StringTable) {
  std::map<std::string, std::string> values = ReadResources();
  EXPECT_EQ(values["string-blocks"], "7");
  EXPECT_EQ(values["string-block-7-languages"], "1031");
  for (int id = 96; id <= 111; ++id) {
    const auto text = HelperTexts().find(id);
    const std::string expected = text == HelperTexts().end() ? "" : Utf16Hex(text->second);
    EXPECT_EQ(values["string " + std::to_string(id)], expected) << "string " << id;
  }
}

TEST_F(ResourcesTest, VersionBlock) {
  std::map<std::string, std::string> values = ReadResources();
  const struct {
    const char* key;
    const char* value;
  } rows[] = {
      {"file-version", "1.0.0.4"},
      {"product-version", "1.0.0.4"},
      {"FileDescription", "Tamsweep install helper tool"},
      {"CompanyName", "Norlith"},
      {"ProductName", "Tamsweep"},
      {"OriginalFilename", "kthelper.exe"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(values[row.key], row.value) << row.key;
  }
}

// Embedded byte for byte as written, and read by the system as meant: the invoker's rights,
// the common controls 6 (an identity the system cannot bind makes no context at all), the
// supported systems from Vista to Windows 10 and 11, and DPI awareness in the name spaces that
// Windows reads it from.
TEST_F(ResourcesTest, Manifest) {
  std::map<std::string, std::string> values = ReadResources();
  std::ifstream source(KT_MANIFEST_FILE, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(source)),
                            std::istreambuf_iterator<char>());
  ASSERT_FALSE(written.empty()) << KT_MANIFEST_FILE;
  EXPECT_EQ(FromHex(values["manifest"]), written);

  ASSERT_EQ(values["activation-context"], "made");
  EXPECT_EQ(values["run-level"], "1") << "asInvoker";
  EXPECT_EQ(values["ui-access"], "0");

  const std::set<std::string> systems = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  std::istringstream ids(values["supported-os"]);
  EXPECT_EQ(std::set<std::string>(std::istream_iterator<std::string>(ids),
                                  std::istream_iterator<std::string>()),
            systems);

  // Index 1 is the helper's own manifest; its dependencies follow.
  bool commonControls = false;
  for (int index = 2; values.count("assembly " + std::to_string(index)) != 0; ++index) {
    const std::string identity = values["assembly " + std::to_string(index)];
    commonControls = commonControls ||
                     (identity.rfind("Microsoft.Windows.Common-Controls,", 0) == 0 &&
                      identity.find("publicKeyToken=\"6595b64144ccf1df\"") != std::string::npos &&
                      identity.find("version=\"6.") != std::string::npos);
  }
  EXPECT_TRUE(commonControls) << "no common controls 6 among the assemblies";

  const std::string aware = Lower(values["dpi-aware"]);
  EXPECT_TRUE(aware == "true" || aware == "true/pm") << values["dpi-aware"];
  // The newer setting, where given, takes precedence on Windows 10 and later.
  if (values.count("dpi-awareness") != 0) {
    const std::string awareness = values["dpi-awareness"];
    const std::string first = awareness.substr(0, awareness.find(','));
    EXPECT_TRUE(first == "PerMonitorV2" || first == "PerMonitor") << awareness;
  }
}

}  // namespace
