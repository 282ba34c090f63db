// The named mutexes on the real exe, held by another process of the session: the helper's
// own stops every command with 3, the product's stops /remove with 4 (and is looked at first),
// and neither starts anything. /start does not care whether the product runs. An event under
// the helper's name ends every flow with the system error, before anything is looked at.
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/held_mutex.h"
#include "tests/wine/launch_expectations.h"
#include "tests/wine/wine_session.h"
#include "tests/wine/wine_test.h"

namespace {

constexpr const char* kHelperMutex = "{F0B336D4-3E88-4364-8249-3A2EABA64365}";
constexpr const char* kProductMutex = "{856D85EB-3BEF-48fb-BE9F-039EEB944369}";

struct HeldRow {
  const char* name;
  std::vector<const char*> held;
  const char* command;
  int exitCode;
  bool started;
};

// Failure messages name the row rather than dump its bytes.
void PrintTo(const HeldRow& row, std::ostream* out) {
  *out << row.name;
}

class SingleInstanceTest : public WineTest, public ::testing::WithParamInterface<HeldRow> {};

TEST_P(SingleInstanceTest, ExitCode) {
  const HeldRow& row = GetParam();
  // A loader that would be started, so that a run that wrongly goes on shows.
  Put("ktwebloader.exe", Session().signedLoader);
  {
    std::vector<std::unique_ptr<HeldMutex>> holders;
    for (size_t i = 0; i < row.held.size(); ++i) {
      holders.push_back(std::make_unique<HeldMutex>(Prefix(), row.held[i], Folder(),
                                                    "holder" + std::to_string(i)));
    }
    EXPECT_EQ(RunHelper({row.command}), row.exitCode);
    for (const auto& holder : holders) {
      EXPECT_EQ(holder->Release(), 0) << "the holder did not hold its mutex to the end";
    }
  }
  const std::vector<LoaderStart> starts = StartsOnceSettled();
  if (row.started) {
    ExpectStartedOnceFrom(Folder(), starts);
  } else {
    EXPECT_EQ(starts.size(), 0u) << "started as " << starts.front().commandLine;
  }
  EXPECT_EQ(DesktopEntries(), std::vector<std::string>());
}

const HeldRow kRows[] = {
    {"StartWhileAHelperRuns", {kHelperMutex}, "/start", 3, false},
    {"InstallWhileAHelperRuns", {kHelperMutex}, "/install", 3, false},
    {"RemoveWhileAHelperRuns", {kHelperMutex}, "/remove", 3, false},
    {"RemoveWhileTheProductRuns", {kProductMutex}, "/remove", 4, false},
    {"RemoveWhileBothRun", {kHelperMutex, kProductMutex}, "/remove", 4, false},
    {"StartWhileTheProductRuns", {kProductMutex}, "/start", 0, true},
};

INSTANTIATE_TEST_SUITE_P(Rows, SingleInstanceTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<HeldRow>& row) {
                           return std::string(row.param.name);
                         });

// An event under the helper's mutex name: the probe cannot open it as a mutex, so the flow
// goes on, and the mutex cannot be created. The system error (ERROR_INVALID_HANDLE) ends the
// run as its HRESULT, which no caller can mistake for one of the flows' codes.
class NameTakenTest : public WineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(NameTakenTest, EndsWithTheSystemErrorAsHresult) {
  Put("ktwebloader.exe", Session().signedLoader);
  {
    HeldMutex event(Prefix(), kHelperMutex, Folder(), "event", HeldKind::Event);
    EXPECT_EQ(RunHelperForWholeExitCode({GetParam()}), std::optional<uint32_t>(0x80070006u));
    EXPECT_EQ(event.Release(), 0) << "the holder did not hold its event to the end";
  }
  const std::vector<LoaderStart> starts = StartsOnceSettled();
  EXPECT_EQ(starts.size(), 0u) << "started as " << starts.front().commandLine;
  EXPECT_EQ(DesktopEntries(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Commands, NameTakenTest, ::testing::Values("/start", "/remove"),
                         [](const ::testing::TestParamInfo<const char*>& command) {
                           return std::string(command.param + 1);
                         });

}  // namespace
