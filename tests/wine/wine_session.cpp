// The session is opened once, in main, before any test runs: booting a prefix takes seconds,
// and the tests of one prefix run one after another anyway, since its named mutexes are shared.
#include "tests/wine/wine_session.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/pe_layout.h"
#include "tests/support/temp_directory.h"

namespace {

// Debian's Wine loaders; only the 32-bit one runs PE32 programs.
constexpr const char* kLoader64 = "/usr/lib/wine/wine64";
constexpr const char* kLoader32 = "/usr/lib/wine/wine";
constexpr std::chrono::milliseconds kToolLimit(60000);

const char* const kTestPrograms[] = {"kt_loader_stub.exe", "kt_mutex_holder.exe",
                                     "kt_resource_reader.exe", "kt_exit_code_reporter.exe",
                                     "kt_implementation_check.exe"};

WineSession& TheSession() {
  static WineSession session;
  return session;
}

std::string Describe(const std::optional<ProgramResult>& run) {
  if (!run) {
    return "it did not end within " + std::to_string(kToolLimit.count()) + " ms";
  }
  return "exit code " + std::to_string(run->exitCode) + ": " + run->out + run->err;
}

// Empty when the 32-bit loader starts here; else why not. Some kernels refuse every i386 ELF
// program, so wine32's loader cannot start however it is installed.
std::string Why32BitWineCannotRun() {
  try {
    const std::optional<ProgramResult> run = RunWithin({kLoader32, "--version"}, kToolLimit);
    if (run && run->exitCode == 0) {
      return std::string();
    }
    return std::string("the 32-bit Wine loader ") + kLoader32 + " does not run: " + Describe(run);
  } catch (const std::runtime_error& error) {
    return std::string(
               "this machine cannot run the 32-bit Wine loader, so no x86 program "
               "runs under Wine here (") +
           error.what() + ")";
  }
}

Bytes SignedCopy(const std::string& program) {
  const TempDirectory scratch;
  const std::string out = scratch.File("signed.exe");
  const std::optional<ProgramResult> run =
      RunWithin({KT_KTSIGN_PATH, "exe", "--key", KT_KEY_P_FILE, program, out}, kToolLimit);
  if (!run || run->exitCode != 0) {
    throw std::runtime_error("ktsign could not sign " + program + ": " + Describe(run));
  }
  return ReadFileBytes(out);
}

void OpenPrefix(WineSession& session, const char* loader) {
  session.prefix =
      std::make_unique<WinePrefix>(std::string(KT_WINE_DIR) + "/" + session.arch, loader);
  std::filesystem::create_directories(session.prefix->UnixPath(kToolsFolder));
}

void CopyTool(const WineSession& session, const std::string& bin, const char* program) {
  std::filesystem::copy_file(bin + "/" + program,
                             session.prefix->UnixPath(kToolsFolder) + "/" + program);
}

}  // namespace

void OpenWineSession(const std::string& windowsBin, const std::string& readerBin) {
  WineSession& session = TheSession();
  session.windowsBin = windowsBin;
  session.helper = ReadFileBytes(windowsBin + "/kthelper.exe");
  session.arch = ReadPeLayout(session.helper).magic == kPe32Magic ? "x86" : "x86_64";
  if (session.arch == "x86") {
    session.skipReason = Why32BitWineCannotRun();
  }
  if (!session.skipReason.empty()) {
    if (readerBin.empty()) {
      session.readerSkipReason =
          session.skipReason + "; no x86-64 build was given to read its resources";
      return;
    }
    // A 64-bit program may load a 32-bit one as a data file, and its resources with it.
    session.readerNote = "the x86-64 resource reader of " + readerBin +
                         ", loading the x86 exe as a data file (" + session.skipReason + ")";
    OpenPrefix(session, kLoader64);
    CopyTool(session, readerBin, "kt_resource_reader.exe");
    return;
  }
  session.readerNote = "the " + session.arch + " resource reader of " + windowsBin;
  session.unsignedLoader = ReadFileBytes(windowsBin + "/kt_loader_stub.exe");
  session.signedLoader = SignedCopy(windowsBin + "/kt_loader_stub.exe");
  OpenPrefix(session, session.arch == "x86" ? kLoader32 : kLoader64);
  for (const char* program : kTestPrograms) {
    CopyTool(session, windowsBin, program);
  }
}

WineSession& Session() {
  return TheSession();
}

void CloseWineSession() {
  TheSession().prefix.reset();
}
