// "/remove", call by call against the real verifier: both probes, the helper's mutex, the
// question, the guard around the script's check, the shortcut deletions, the script host's
// command line and folder, and what happens on each failure.
#include "app/remove_flow.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/exit_code.h"
#include "app/launch_flow.h"
#include "app/raised_error.h"
#include "tests/app/flow_test.h"
#include "tests/support/string_heap_fault.h"

namespace {

const std::wstring kProbeProduct = std::wstring(L"probe ") + kProductMutex;
const std::wstring kProbe = std::wstring(L"probe ") + kHelperMutex;
const std::wstring kHold = std::wstring(L"hold ") + kHelperMutex;
const std::wstring kRelease = std::wstring(L"release ") + kHelperMutex;
const std::wstring kCaption = L"Norlith Tamsweep";
const std::wstring kQuestion =
    BoxEvent(0x24, kCaption,
             L"Sind Sie sicher, dass Sie den Norlith Tamsweep von Ihrem System entfernen wollen?");
const std::wstring kInUse =
    BoxEvent(0x30, kCaption,
             L"Der Norlith Tamsweep kann nicht entfernt werden, da er zur Zeit benutzt wird.");
const std::wstring kDamagedBox =
    BoxEvent(0x10, kCaption,
             L"Die Datei Uninstall.vbs wurde manipuliert oder besch\u00e4digt. Das Programm kann "
             L"nicht ausgef\u00fchrt werden.");
const std::wstring kModule = L"module 259";
const std::wstring kGuard = L"guard <folder>Uninstall.vbs";
const std::wstring kUnguard = L"unguard <folder>Uninstall.vbs";
const std::wstring kDeleteRemoval =
    L"delete C:\\Users\\Tester\\Desktop\\Entfernen des Norlith Tamsweeps.lnk";
const std::wstring kDeleteProduct = L"delete C:\\Users\\Tester\\Desktop\\Norlith Tamsweep.lnk";
const std::wstring kSystemDirectory = L"system directory 259";
const std::wstring kProcess =
    L"process \"C:\\Windows\\system32\\wscript.exe\" \"<folder>Uninstall.vbs\" /uninstall in "
    L"C:\\Windows\\system32";
const std::wstring kProcessInParent =
    L"process \"C:\\Windows\\system32\\wscript.exe\" \"<parent>Uninstall.vbs\" /uninstall in "
    L"C:\\Windows\\system32";

SetUp Script(const Bytes& bytes) {
  return Place("Uninstall.vbs", bytes);
}

const SetUp kSignedScript = Script(HelperFolder::SignedScript());

SetUp SystemFolder(const std::wstring& folder) {
  return Both(kSignedScript, [folder](FakeSystem* s, auto&) { s->systemFolder = folder; });
}

SetUp Holding(const std::vector<const wchar_t*>& names) {
  return Both(kSignedScript, [names](FakeSystem* s, auto&) {
    for (const wchar_t* name : names) {
      s->existingMutexes.insert(name);
    }
  });
}

SetUp Answer(int32_t answer) {
  return Both(kSignedScript, [answer](FakeSystem* s, auto&) { s->boxAnswer = answer; });
}

struct RemoveCase {
  const char* name;
  SetUp setUp;
  ExitCode code;
  std::vector<std::wstring> transcript;
};

void PrintTo(const RemoveCase& value, std::ostream* out) {
  *out << value.name;
}

// A folder of `length` characters: "C:\" and then d's.
std::wstring FolderOf(size_t length) {
  return L"C:\\" + std::wstring(length - 3, L'd');
}

const RemoveCase kRemovals[] = {
    {"DeletesTheShortcutsAndStartsTheScriptHost",
     kSignedScript,
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, L"desktop", L"desktop",
      kDeleteRemoval, kDeleteProduct, kSystemDirectory, kProcess, kUnguard, kRelease}},
    {"ProductRunning", Holding({kProductMutex}), ExitCode::ProductInUse, {kProbeProduct, kInUse}},
    {"ProductAndAnotherHelperRunning",
     Holding({kProductMutex, kHelperMutex}),
     ExitCode::ProductInUse,
     {kProbeProduct, kInUse}},
    {"AnotherHelperRunning",
     Holding({kHelperMutex}),
     ExitCode::AlreadyRunning,
     {kProbeProduct, kProbe}},
    {"AnswerNo",
     Answer(7),
     ExitCode::RemovalDeclined,
     {kProbeProduct, kProbe, kHold, kQuestion, kRelease}},
    {"BoxCannotBeShown",
     Answer(0),
     ExitCode::RemovalDeclined,
     {kProbeProduct, kProbe, kHold, kQuestion, kRelease}},
    {"ScriptMissing",
     [](FakeSystem*, auto&) {},
     ExitCode::SignatureInvalid,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, kUnguard, kDamagedBox, kRelease}},
    {"ScriptUnsigned",
     Script(HelperFolder::UnsignedFile()),
     ExitCode::SignatureInvalid,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, kUnguard, kDamagedBox, kRelease}},
    {"ScriptChangedAfterSigning",
     Script(HelperFolder::DamagedScript()),
     ExitCode::SignatureInvalid,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, kUnguard, kDamagedBox, kRelease}},
    {"GuardCannotBeOpened",
     Both(kSignedScript, [](FakeSystem* s, auto&) { s->guardFails = true; }),
     ExitCode::SignatureInvalid,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, kDamagedBox, kRelease}},
    {"DesktopUnknown",
     Both(kSignedScript, [](FakeSystem* s, auto&) { s->desktopFolder.reset(); }),
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, L"desktop", L"desktop",
      kSystemDirectory, kProcess, kUnguard, kRelease}},
    // A command line with a bare wscript.exe would let the process start search for it.
    {"SystemDirectoryUnknown",
     Both(kSignedScript, [](FakeSystem* s, auto&) { s->systemFolder.reset(); }),
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, L"desktop", L"desktop",
      kDeleteRemoval, kDeleteProduct, kSystemDirectory, kUnguard, kRelease}},
    {"SystemDirectoryEmpty",
     SystemFolder(L""),
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, L"desktop", L"desktop",
      kDeleteRemoval, kDeleteProduct, kSystemDirectory, kUnguard, kRelease}},
    {"SystemDirectoryAtADriveRoot",
     SystemFolder(L"C:\\"),
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, L"desktop", L"desktop",
      kDeleteRemoval, kDeleteProduct, kSystemDirectory,
      L"process \"C:\\wscript.exe\" \"<folder>Uninstall.vbs\" /uninstall in C:\\", kUnguard,
      kRelease}},
    // The script host's path is cut at 259 characters; the folder itself is not.
    {"SystemDirectoryOf255Characters",
     SystemFolder(FolderOf(255)),
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, kGuard, L"desktop", L"desktop",
      kDeleteRemoval, kDeleteProduct, kSystemDirectory,
      L"process \"" + FolderOf(255) + L"\\wsc\" \"<folder>Uninstall.vbs\" /uninstall in " +
          FolderOf(255),
      kUnguard, kRelease}},
    {"NoStringTableWhileTheProductRuns",
     Both(Holding({kProductMutex}), [](FakeSystem* s, auto&) { s->modules.clear(); }),
     ExitCode::ProductInUse,
     {kProbeProduct, BoxEvent(0x30, L"", L"")}},
    {"NoStringTable",
     Both(kSignedScript, [](FakeSystem* s, auto&) { s->modules.clear(); }),
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, BoxEvent(0x24, L"", L""), kModule, kGuard, L"desktop",
      L"desktop", L"delete C:\\Users\\Tester\\Desktop\\.lnk",
      L"delete C:\\Users\\Tester\\Desktop\\.lnk", kSystemDirectory, kProcess, kUnguard, kRelease}},
    {"ModulePathCutInAFolderName",
     [](FakeSystem* s, const HelperFolder& h) {
       s->modulePath = h.Parent() + std::wstring(300, L'd') + L"\\kthelper.exe";
       h.Write("Uninstall.vbs", HelperFolder::SignedScript(), true);
     },
     ExitCode::Done,
     {kProbeProduct, kProbe, kHold, kQuestion, kModule, L"guard <parent>Uninstall.vbs", L"desktop",
      L"desktop", kDeleteRemoval, kDeleteProduct, kSystemDirectory, kProcessInParent,
      L"unguard <parent>Uninstall.vbs", kRelease}},
};

class RemoveFlowTest : public FlowTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(RemoveFlowTest, MakesExactlyTheseCalls) {
  const RemoveCase& row = GetParam();
  row.setUp(&system_, helper_);
  EXPECT_EQ(RunRemove(system_), row.code);
  EXPECT_EQ(system_.events, Expand(row.transcript));
}

INSTANTIATE_TEST_SUITE_P(Runs, RemoveFlowTest, ::testing::ValuesIn(kRemovals),
                         [](const auto& info) { return std::string(info.param.name); });

using RemoveOrderTest = FlowTest;

// The script appears only once the question is shown, and turns bad at the start: a check
// made before the question, before the guard or after the start would refuse it.
TEST_F(RemoveOrderTest, AsksThenChecksWhileTheGuardHoldsAndBeforeTheStart) {
  system_.onEvent = [this](const std::wstring& event) {
    if (event.rfind(L"guard ", 0) == 0) {
      helper_.Write("Uninstall.vbs", HelperFolder::SignedScript());
    } else if (event.rfind(L"box 0x24 ", 0) == 0 || event.rfind(L"process ", 0) == 0) {
      helper_.Write("Uninstall.vbs", HelperFolder::UnsignedFile());
    }
  };
  EXPECT_EQ(RunRemove(system_), ExitCode::Done);
  EXPECT_TRUE(HasEvent(system_.events, L"process "));
}

// The question is asked while the helper's mutex is held: a second helper started
// meanwhile, with any command, ends with 3.
TEST_F(RemoveOrderTest, HoldsItsMutexWhileAsking) {
  helper_.Write("Uninstall.vbs", HelperFolder::SignedScript());
  helper_.Write("ktwebloader.exe", HelperFolder::SignedLoader());
  std::vector<ExitCode> others;
  system_.onEvent = [this, &others](const std::wstring& event) {
    if (event.rfind(L"box 0x24 ", 0) == 0) {
      system_.onEvent = nullptr;
      others = {RunRemove(system_), RunLaunch(system_, false), RunLaunch(system_, true)};
    }
  };
  EXPECT_EQ(RunRemove(system_), ExitCode::Done);
  EXPECT_EQ(others, (std::vector<ExitCode>{ExitCode::AlreadyRunning, ExitCode::AlreadyRunning,
                                           ExitCode::AlreadyRunning}));
}

TEST_F(RemoveOrderTest, MutexCreationErrorPassesThroughAndNothingElseHappens) {
  helper_.Write("Uninstall.vbs", HelperFolder::SignedScript());
  system_.mutexCreationError = 6;
  try {
    RunRemove(system_);
    ADD_FAILURE() << "no SystemError";
  } catch (const SystemError& error) {
    EXPECT_EQ(error.Code(), 6u);
  }
  EXPECT_EQ(system_.events, Expand({kProbeProduct, kProbe, kHold}));
}

// Each string allocation of a whole removal failing in turn: out of memory passes through,
// every string is returned, the guard and the mutex are released, nothing starts.
TEST_F(RemoveOrderTest, OutOfMemoryReleasesEverythingAndStartsNothing) {
  helper_.Write("Uninstall.vbs", HelperFolder::SignedScript());
  const size_t live = StringHeapLiveBlocks();
  const uint32_t failures = ForEachStringHeapFailure([&](uint32_t call) {
    FakeSystem system;
    system.modulePath = helper_.ModulePath();
    uint32_t code = 0;
    try {
      RunRemove(system);
    } catch (const StringError& error) {
      code = error.Code();
    }
    if (!StringHeapFaultTriggered()) {
      EXPECT_EQ(code, 0u);
      return;
    }
    EXPECT_EQ(code, kStringOutOfMemory) << "allocation " << call;
    EXPECT_EQ(StringHeapLiveBlocks(), live) << "allocation " << call;
    EXPECT_FALSE(HasEvent(system.events, L"process ")) << "allocation " << call;
    EXPECT_EQ(system.events.back(), kRelease) << "allocation " << call;
    EXPECT_EQ(HasEvent(system.events, L"guard "), HasEvent(system.events, L"unguard "))
        << "allocation " << call;
  });
  EXPECT_GT(failures, 5u);
}

// While the product runs, the warning's two texts are all that is allocated.
TEST_F(RemoveOrderTest, OutOfMemoryWhileWarningLeaksNothing) {
  system_.existingMutexes.insert(kProductMutex);
  const size_t live = StringHeapLiveBlocks();
  const uint32_t failures = ForEachStringHeapFailure([&](uint32_t call) {
    system_.events.clear();
    uint32_t code = 0;
    try {
      RunRemove(system_);
    } catch (const StringError& error) {
      code = error.Code();
    }
    EXPECT_EQ(code, StringHeapFaultTriggered() ? kStringOutOfMemory : 0u) << "allocation " << call;
    EXPECT_EQ(StringHeapLiveBlocks(), live) << "allocation " << call;
    if (StringHeapFaultTriggered()) {
      EXPECT_EQ(system_.events, std::vector<std::wstring>{kProbeProduct}) << "allocation " << call;
    }
  });
  EXPECT_EQ(failures, 2u);
}

}  // namespace
