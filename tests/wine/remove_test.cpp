// /remove on the real exe with its boxes answered on an X display of the tests' own: only
// Yes and a script signed with the uninstall key delete both shortcuts and start the script
// host, once, on the quoted script with /uninstall, in the system folder. Any other script
// ends with 5 after its error box; No ends with 2. Either way nothing is started and the
// desktop stays as it was.
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/temp_directory.h"
#include "tests/wine/helper_texts.h"
#include "tests/wine/message_boxes.h"
#include "tests/wine/wine_session.h"
#include "tests/wine/wine_test.h"
#include "tests/wine/xvfb_display.h"
#include "tools/signing/script_signer.h"
#include "tools/signing/signing_key.h"

namespace {

constexpr std::chrono::milliseconds kSignLimit(60000);

// Wine's system folder, as GetSystemDirectoryW reports it; a 32-bit helper names it too, and
// the system redirects the start to syswow64.
constexpr const char* kSystemFolder = "C:\\windows\\system32";
const char* const kScriptHostFolders[] = {"C:\\windows\\system32", "C:\\windows\\syswow64"};

// A file of the user's own on the desktop, which the removal must leave alone.
constexpr const char* kOtherDesktopFile = "Notizen.lnk";

const char kScriptText[] = "WScript.Echo \"Norlith Tamsweep wird entfernt\"\r\n";

enum class Script { Signed, SignedWithLoaderKey, Unsigned, Altered, Missing };

Bytes ScriptText() {
  return Bytes(kScriptText, kScriptText + sizeof kScriptText - 1);
}

// Signed as the product's builds sign it, with ktsign and the uninstall key.
Bytes SignedScript() {
  const TempDirectory scratch;
  const std::string in = scratch.Write("in.vbs", ScriptText());
  const std::string out = scratch.File("out.vbs");
  const std::optional<ProgramResult> run =
      RunWithin({KT_KTSIGN_PATH, "script", "--key", KT_KEY_D_FILE, in, out}, kSignLimit);
  if (!run || run->exitCode != 0) {
    throw std::runtime_error("ktsign could not sign the script" +
                             (run ? ": " + run->out + run->err : std::string()));
  }
  return ReadFileBytes(out);
}

Bytes ScriptBytes(Script script) {
  switch (script) {
    case Script::Signed:
      return SignedScript();
    case Script::SignedWithLoaderKey:
      // A well-formed trailer whose signature only the loader key opens; ktsign refuses to
      // make it, so the signing library does.
      return signing::SignScript(ScriptText(), signing::SigningKey(KT_KEY_P_FILE),
                                 signing::Form::Binary);
    case Script::Unsigned:
      return ScriptText();
    case Script::Altered: {
      // One letter of the signed text changed; the trailer is as signed.
      Bytes bytes = SignedScript();
      bytes[0] = static_cast<uint8_t>('w');
      return bytes;
    }
    case Script::Missing:
      break;
  }
  return Bytes();
}

class RemoveTest : public WineTest {
 protected:
  static void TearDownTestSuite() { display_.reset(); }

  void SetUp() override {
    WineTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    // Xvfb missing or broken fails every test here: the boxes are what these tests are about.
    if (display_ == nullptr) {
      display_ = std::make_unique<XvfbDisplay>();
      LeaveWindowsUnmanaged();
    }
    // Nothing of an earlier test runs on in the prefix without the display.
    ASSERT_TRUE(Prefix().WaitUntilIdle(kProgramLimit));
    for (const char* folder : kScriptHostFolders) {
      const std::string unixFolder = Prefix().UnixPath(folder);
      std::filesystem::create_directories(unixFolder);
      WriteFileBytes(unixFolder + "/wscript.exe", Session().unsignedLoader);
      std::filesystem::remove(unixFolder + "/" + kStartsRecord);
    }
  }

  // Wine waits for a window manager to withdraw a closed box, two seconds in vain on a display
  // without one; windows that Wine manages itself close at once.
  void LeaveWindowsUnmanaged() const {
    const std::optional<ProgramResult> run = Prefix().Run(
        {"reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"},
        kProgramLimit);
    if (!run || run->exitCode != 0) {
      throw std::runtime_error("reg add could not set the X11 driver's Managed value" +
                               (run ? ": " + run->out + run->err : std::string()));
    }
  }

  void TearDown() override {
    // A box left unanswered would keep the helper, and the next test, waiting.
    if (HasFailure() && Session().prefix != nullptr) {
      Prefix().KillAll();
    }
  }

  // The two shortcuts as /install names them (the flow deletes them by name alone) and a
  // file of the user's; the desktop as it is then.
  std::vector<std::string> PutDesktop() const {
    const Bytes placeholder{'l', 'n', 'k'};
    for (const std::string& name :
         {Utf8(HelperTexts().at(103)) + ".lnk", Utf8(HelperTexts().at(104)) + ".lnk",
          std::string(kOtherDesktopFile)}) {
      WriteFileBytes(Prefix().DesktopFolder() + "/" + name, placeholder);
    }
    return DesktopEntries();
  }

  // Runs /remove and answers its boxes with `keys`, in turn; the exit code, or -1 (and a
  // failure) when it did not end once they were answered.
  int RunRemove(const std::vector<const char*>& keys) const {
    const std::unique_ptr<ChildProcess> helper =
        Prefix().StartOnDisplay({InFolder("kthelper.exe"), "/remove"}, display_->Name());
    MessageBoxes boxes(display_->Name());
    for (const char* key : keys) {
      boxes.Answer(key, *helper);
    }
    const std::optional<ProgramResult> end = helper->WaitForEnd(kProgramLimit);
    if (!end) {
      ADD_FAILURE() << "kthelper.exe did not end once its boxes were answered";
      return -1;
    }
    return end->exitCode;
  }

  // Every start of the stand-in script host, once nothing runs in the prefix any more.
  std::vector<LoaderStart> ScriptHostStartsOnceSettled() const {
    EXPECT_TRUE(Prefix().WaitUntilIdle(kProgramLimit)) << "programs still ran in the prefix";
    std::vector<LoaderStart> starts;
    for (const char* folder : kScriptHostFolders) {
      const std::vector<LoaderStart> here =
          ReadStarts(Prefix().UnixPath(folder) + "/" + kStartsRecord);
      starts.insert(starts.end(), here.begin(), here.end());
    }
    return starts;
  }

 private:
  static std::unique_ptr<XvfbDisplay> display_;
};

std::unique_ptr<XvfbDisplay> RemoveTest::display_;

struct RemoveRow {
  const char* name;
  Script script;
  std::vector<const char*> keys;  // the answers, box by box: the question, then any error box
  int exitCode;
  bool removed;  // shortcuts deleted and the script host started
};

// Failure messages name the row rather than dump its bytes.
void PrintTo(const RemoveRow& row, std::ostream* out) {
  *out << row.name;
}

class RemoveRowTest : public RemoveTest, public ::testing::WithParamInterface<RemoveRow> {};

TEST_P(RemoveRowTest, StartsTheScriptHostOnlyForYesAndASignedScript) {
  const RemoveRow& row = GetParam();
  if (row.script != Script::Missing) {
    Put("Uninstall.vbs", ScriptBytes(row.script));
  }
  const std::vector<std::string> desktop = PutDesktop();

  EXPECT_EQ(RunRemove(row.keys), row.exitCode);
  const std::vector<LoaderStart> starts = ScriptHostStartsOnceSettled();
  if (!row.removed) {
    EXPECT_EQ(DesktopEntries(), desktop);
    EXPECT_EQ(starts.size(), 0u) << "started as " << starts.front().commandLine;
    return;
  }
  EXPECT_EQ(DesktopEntries(), std::vector<std::string>{kOtherDesktopFile});
  ASSERT_EQ(starts.size(), 1u) << "the script host should have been started once";
  // The folder has a blank in its name: only the quotes keep /uninstall the one argument.
  EXPECT_EQ(starts[0].commandLine, std::string("\"") + kSystemFolder + "\\wscript.exe\" \"" +
                                       InFolder("Uninstall.vbs") + "\" /uninstall");
  EXPECT_EQ(starts[0].folder, kSystemFolder);
}

const RemoveRow kRows[] = {
    {"YesSigned", Script::Signed, {"Return"}, 0, true},
    {"No", Script::Signed, {"n"}, 2, false},
    {"YesUnsigned", Script::Unsigned, {"Return", "Return"}, 5, false},
    {"YesAltered", Script::Altered, {"Return", "Return"}, 5, false},
    {"YesSignedWithTheLoaderKey", Script::SignedWithLoaderKey, {"Return", "Return"}, 5, false},
    {"YesMissing", Script::Missing, {"Return", "Return"}, 5, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, RemoveRowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<RemoveRow>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
