// The tests' folders share one prefix: each test makes its own afresh and empties the desktop
// before it runs.
#include "tests/wine/wine_test.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include "tests/wine/wine_session.h"

namespace {

std::vector<std::string> SortedNames(const std::string& folder) {
  const std::filesystem::directory_iterator entries(folder);
  std::vector<std::string> names;
  std::transform(begin(entries), end(entries), std::back_inserter(names),
                 [](const std::filesystem::directory_entry& entry) {
                   return entry.path().filename().string();
                 });
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

void WineTest::SetUp() {
  const std::string reason = WhySkipped();
  if (!reason.empty()) {
    GTEST_SKIP() << reason;
  }
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = std::string("C:\\kt\\") + test->test_suite_name() + " " + test->name();
  std::replace(folder_.begin(), folder_.end(), '/', '.');

  const std::string folder = Prefix().UnixPath(folder_);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  for (const std::string& name : SortedNames(Prefix().DesktopFolder())) {
    std::filesystem::remove_all(Prefix().DesktopFolder() + "/" + name);
  }
  Put("kthelper.exe", Session().helper);
}

std::string WineTest::WhySkipped() const {
  return Session().skipReason;
}

const WinePrefix& WineTest::Prefix() const {
  return *Session().prefix;
}

std::string WineTest::InFolder(const std::string& name) const {
  return folder_ + "\\" + name;
}

void WineTest::Put(const std::string& name, const Bytes& bytes) const {
  WriteFileBytes(Prefix().UnixPath(InFolder(name)), bytes);
}

int WineTest::RunHelper(const std::vector<std::string>& args) const {
  std::vector<std::string> argv{InFolder("kthelper.exe")};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::optional<ProgramResult> run = Prefix().Run(argv, kProgramLimit);
  if (!run) {
    ADD_FAILURE() << "kthelper.exe did not end within " << kProgramLimit.count() << " ms";
    Prefix().KillAll();
    return -1;
  }
  return run->exitCode;
}

std::optional<uint32_t> WineTest::RunHelperForWholeExitCode(
    const std::vector<std::string>& args) const {
  std::vector<std::string> argv{std::string(kToolsFolder) + "\\kt_exit_code_reporter.exe",
                                InFolder("kthelper.exe")};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::optional<ProgramResult> run = Prefix().Run(argv, kProgramLimit);
  if (!run) {
    ADD_FAILURE() << "kthelper.exe did not end within " << kProgramLimit.count() << " ms";
    Prefix().KillAll();
    return std::nullopt;
  }
  // "0x" and eight hexadecimal digits, then a newline.
  if (run->exitCode != 0 || run->out.size() != 11 || run->out.compare(0, 2, "0x") != 0) {
    ADD_FAILURE() << "the exit-code reporter ended with " << run->exitCode << ": " << run->out
                  << run->err;
    return std::nullopt;
  }
  return static_cast<uint32_t>(std::stoul(run->out.substr(2, 8), nullptr, 16));
}

std::vector<LoaderStart> WineTest::StartsOnceSettled() const {
  if (!Prefix().WaitUntilIdle(kProgramLimit)) {
    ADD_FAILURE() << "programs still ran in the prefix after " << kProgramLimit.count() << " ms";
    Prefix().KillAll();
  }
  return ReadStarts(Prefix().UnixPath(InFolder(kStartsRecord)));
}

std::vector<std::string> WineTest::DesktopEntries() const {
  return SortedNames(Prefix().DesktopFolder());
}
