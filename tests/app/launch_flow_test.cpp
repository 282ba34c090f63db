// "/install" and "/start", call by call against the real verifier: the probe, the helper's
// mutex, the guard around the loader's check, the shortcuts, the shell record, and what
// happens on each failure.
#include "app/launch_flow.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/exit_code.h"
#include "app/raised_error.h"
#include "tests/app/flow_test.h"
#include "tests/app/string_blocks.h"
#include "tests/support/string_heap_fault.h"

namespace {

const std::wstring kProbe = std::wstring(L"probe ") + kHelperMutex;
const std::wstring kHold = std::wstring(L"hold ") + kHelperMutex;
const std::wstring kRelease = std::wstring(L"release ") + kHelperMutex;
const std::wstring kModule = L"module 259";
const std::wstring kGuard = L"guard <folder>ktwebloader.exe";
const std::wstring kUnguard = L"unguard <folder>ktwebloader.exe";
const std::wstring kShell =
    L"shell mask=0 verb=open file=\"<folder>ktwebloader.exe\" parameters=(none) "
    L"directory=<folder> show=5";
const std::wstring kProductShortcut =
    L"shortcut target=<folder>ktwebloader.exe link=C:\\Users\\Tester\\Desktop\\Norlith "
    L"Tamsweep.lnk icon=<folder>tamsweep.ico arguments=(none)";
const std::wstring kRemovalShortcut =
    L"shortcut target=<module> link=C:\\Users\\Tester\\Desktop\\Entfernen des Norlith "
    L"Tamsweeps.lnk icon=<folder>tamsweep_uninstall.ico arguments=/remove";
// Without a string table both shortcut names are ".lnk" alone.
const std::wstring kUnnamedProductShortcut =
    L"shortcut target=<folder>ktwebloader.exe link=C:\\Users\\Tester\\Desktop\\.lnk "
    L"icon=<folder>tamsweep.ico arguments=(none)";
const std::wstring kUnnamedRemovalShortcut =
    L"shortcut target=<module> link=C:\\Users\\Tester\\Desktop\\.lnk "
    L"icon=<folder>tamsweep_uninstall.ico arguments=/remove";
const std::wstring kShellInParent =
    L"shell mask=0 verb=open file=\"<parent>ktwebloader.exe\" parameters=(none) "
    L"directory=<parent> show=5";
const std::wstring kDamagedBox =
    BoxEvent(0x10, L"Norlith Tamsweep",
             L"Die Datei ktwebloader.exe wurde manipuliert oder besch\u00e4digt. Das Programm "
             L"kann nicht ausgef\u00fchrt werden.");

SetUp Loader(const Bytes& bytes) {
  return Place("ktwebloader.exe", bytes);
}

const SetUp kSignedLoader = Loader(HelperFolder::SignedLoader());

ExitCode Install(SystemServices& system) {
  return RunLaunch(system, true);
}

ExitCode Start(SystemServices& system) {
  return RunLaunch(system, false);
}

struct LaunchCase {
  const char* name;
  ExitCode (*run)(SystemServices&);  // Install or Start
  SetUp setUp;
  ExitCode code;
  std::vector<std::wstring> transcript;
};

void PrintTo(const LaunchCase& value, std::ostream* out) {
  *out << value.name;
}

const LaunchCase kLaunches[] = {
    {"StartOpensTheLoader",
     Start,
     kSignedLoader,
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, kShell, kUnguard, kRelease}},
    {"InstallWritesBothShortcutsThenOpens",
     Install,
     kSignedLoader,
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, L"desktop", kProductShortcut, L"desktop", kRemovalShortcut,
      kShell, kUnguard, kRelease}},
    {"StartWhileAnotherHelperRuns",
     Start,
     Both(kSignedLoader, [](FakeSystem* s, auto&) { s->existingMutexes.insert(kHelperMutex); }),
     ExitCode::AlreadyRunning,
     {kProbe}},
    {"InstallWhileAnotherHelperRuns",
     Install,
     Both(kSignedLoader, [](FakeSystem* s, auto&) { s->existingMutexes.insert(kHelperMutex); }),
     ExitCode::AlreadyRunning,
     {kProbe}},
    {"TheRunningProductDoesNotMatter",
     Start,
     Both(kSignedLoader, [](FakeSystem* s, auto&) { s->existingMutexes.insert(kProductMutex); }),
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, kShell, kUnguard, kRelease}},
    {"LoaderMissing",
     Install,
     [](FakeSystem*, auto&) {},
     ExitCode::SignatureInvalid,
     {kProbe, kHold, kModule, kGuard, kUnguard, kDamagedBox, kRelease}},
    {"LoaderUnsigned",
     Install,
     Loader(HelperFolder::UnsignedFile()),
     ExitCode::SignatureInvalid,
     {kProbe, kHold, kModule, kGuard, kUnguard, kDamagedBox, kRelease}},
    {"LoaderChangedAfterSigning",
     Start,
     Loader(HelperFolder::DamagedLoader()),
     ExitCode::SignatureInvalid,
     {kProbe, kHold, kModule, kGuard, kUnguard, kDamagedBox, kRelease}},
    // A signed script is accepted by its trailer, whatever its name.
    {"LoaderIsASignedScript",
     Start,
     Loader(HelperFolder::SignedScript()),
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, kShell, kUnguard, kRelease}},
    {"GuardCannotBeOpened",
     Install,
     Both(kSignedLoader, [](FakeSystem* s, auto&) { s->guardFails = true; }),
     ExitCode::SignatureInvalid,
     {kProbe, kHold, kModule, kGuard, kDamagedBox, kRelease}},
    {"ShortcutsCannotBeWritten",
     Install,
     Both(kSignedLoader,
          [](FakeSystem* s, auto&) { s->shortcutResult = static_cast<int32_t>(0x80070005); }),
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, L"desktop", kProductShortcut, L"desktop", kRemovalShortcut,
      kShell, kUnguard, kRelease}},
    {"DesktopUnknown",
     Install,
     Both(kSignedLoader, [](FakeSystem* s, auto&) { s->desktopFolder.reset(); }),
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, L"desktop", L"desktop", kShell, kUnguard, kRelease}},
    {"NoStringTable",
     Install,
     Both(kSignedLoader, [](FakeSystem* s, auto&) { s->modules.clear(); }),
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, L"desktop", kUnnamedProductShortcut, L"desktop",
      kUnnamedRemovalShortcut, kShell, kUnguard, kRelease}},
    {"NoStringTableAndLoaderUnsigned",
     Start,
     Both(Loader(HelperFolder::UnsignedFile()), [](FakeSystem* s, auto&) { s->modules.clear(); }),
     ExitCode::SignatureInvalid,
     {kProbe, kHold, kModule, kGuard, kUnguard, BoxEvent(0x10, L"", L""), kRelease}},
    // The system cuts the path at 259 characters inside the file name: the folder is whole,
    // and the removal shortcut targets the cut path.
    {"ModulePathCutInTheFileName",
     Install,
     Both(kSignedLoader,
          [](FakeSystem* s, const HelperFolder& h) {
            s->modulePath = h.Folder() + std::wstring(300, L'k') + L".exe";
          }),
     ExitCode::Done,
     {kProbe, kHold, kModule, kGuard, L"desktop", kProductShortcut, L"desktop", kRemovalShortcut,
      kShell, kUnguard, kRelease}},
    // Cut inside a folder name: the folder above it is taken, and its loader is checked.
    {"ModulePathCutInAFolderName",
     Start,
     [](FakeSystem* s, const HelperFolder& h) {
       s->modulePath = h.Parent() + std::wstring(300, L'd') + L"\\kthelper.exe";
       h.Write("ktwebloader.exe", HelperFolder::SignedLoader(), true);
     },
     ExitCode::Done,
     {kProbe, kHold, kModule, L"guard <parent>ktwebloader.exe", kShellInParent,
      L"unguard <parent>ktwebloader.exe", kRelease}},
    // Without a backslash the whole path stands for the folder; no such file exists.
    {"ModulePathWithoutABackslash",
     Start,
     [](FakeSystem* s, auto&) { s->modulePath = L"kthelper.exe"; },
     ExitCode::SignatureInvalid,
     {kProbe, kHold, kModule, L"guard kthelper.exektwebloader.exe",
      L"unguard kthelper.exektwebloader.exe", kDamagedBox, kRelease}},
};

class LaunchFlowTest : public FlowTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchFlowTest, MakesExactlyTheseCalls) {
  const LaunchCase& row = GetParam();
  row.setUp(&system_, helper_);
  EXPECT_EQ(row.run(system_), row.code);
  EXPECT_EQ(system_.events, Expand(row.transcript));
}

INSTANTIATE_TEST_SUITE_P(Runs, LaunchFlowTest, ::testing::ValuesIn(kLaunches),
                         [](const auto& info) { return std::string(info.param.name); });

using LaunchOrderTest = FlowTest;

// The loader is good only from the guard to the start: a check made before the guard, or
// after the start, would see no file or an unsigned one.
TEST_F(LaunchOrderTest, ChecksWhileTheGuardHoldsAndBeforeTheStart) {
  system_.onEvent = [this](const std::wstring& event) {
    if (event.rfind(L"guard ", 0) == 0) {
      helper_.Write("ktwebloader.exe", HelperFolder::SignedLoader());
    } else if (event.rfind(L"shell ", 0) == 0) {
      helper_.Write("ktwebloader.exe", HelperFolder::UnsignedFile());
    }
  };
  EXPECT_EQ(RunLaunch(system_, true), ExitCode::Done);
  EXPECT_TRUE(HasEvent(system_.events, L"shell "));
}

// While a flow runs, its mutex exists: a second helper started from within the shell start
// finds it and ends with 3; once the flow has returned, the name is free again.
TEST_F(LaunchOrderTest, HoldsItsMutexUntilItReturns) {
  helper_.Write("ktwebloader.exe", HelperFolder::SignedLoader());
  ExitCode second = ExitCode::Done;
  system_.onEvent = [this, &second](const std::wstring& event) {
    if (event.rfind(L"shell ", 0) == 0) {
      system_.onEvent = nullptr;
      second = RunLaunch(system_, false);
    }
  };
  EXPECT_EQ(RunLaunch(system_, false), ExitCode::Done);
  EXPECT_EQ(second, ExitCode::AlreadyRunning);
  EXPECT_EQ(system_.existingMutexes.count(kHelperMutex), 0u);
}

TEST_F(LaunchOrderTest, MutexCreationErrorPassesThroughAndNothingElseHappens) {
  helper_.Write("ktwebloader.exe", HelperFolder::SignedLoader());
  system_.mutexCreationError = 5;
  try {
    RunLaunch(system_, true);
    ADD_FAILURE() << "no SystemError";
  } catch (const SystemError& error) {
    EXPECT_EQ(error.Code(), 5u);
  }
  EXPECT_EQ(system_.events, Expand({kProbe, kHold}));
}

// Each string allocation of a whole "/install" failing in turn: out of memory passes
// through, every string is returned, the guard and the mutex are released, nothing starts.
TEST_F(LaunchOrderTest, OutOfMemoryReleasesEverythingAndStartsNothing) {
  helper_.Write("ktwebloader.exe", HelperFolder::SignedLoader());
  const size_t live = StringHeapLiveBlocks();
  const uint32_t failures = ForEachStringHeapFailure([&](uint32_t call) {
    FakeSystem system;
    system.modulePath = helper_.ModulePath();
    uint32_t code = 0;
    try {
      RunLaunch(system, true);
    } catch (const StringError& error) {
      code = error.Code();
    }
    if (!StringHeapFaultTriggered()) {
      EXPECT_EQ(code, 0u);
      return;
    }
    EXPECT_EQ(code, kStringOutOfMemory) << "allocation " << call;
    EXPECT_EQ(StringHeapLiveBlocks(), live) << "allocation " << call;
    EXPECT_FALSE(HasEvent(system.events, L"shell ")) << "allocation " << call;
    EXPECT_EQ(system.events.back(), kRelease) << "allocation " << call;
    EXPECT_EQ(HasEvent(system.events, L"guard "), HasEvent(system.events, L"unguard "))
        << "allocation " << call;
  });
  EXPECT_GT(failures, 5u);
}

}  // namespace
