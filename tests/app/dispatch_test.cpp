// The command line: exactly one argument, one of the three commands in any ASCII letter
// case, runs its flow; anything else ends with 1 and touches nothing.
#include "app/dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "tests/app/flow_test.h"

namespace {

enum class Flow { None, Install, Start, Remove };

void PrintTo(Flow flow, std::ostream* out) {
  static const char* const kNames[] = {"no flow", "install", "start", "remove"};
  *out << kNames[static_cast<int>(flow)];
}

// Which flow the calls show: "/install" alone writes shortcuts, "/start" opens without, and
// "/remove" alone starts a process.
Flow FlowOf(const std::vector<std::wstring>& events) {
  if (events.empty()) {
    return Flow::None;
  }
  if (HasEvent(events, L"process ")) {
    return Flow::Remove;
  }
  if (HasEvent(events, L"shell ")) {
    return HasEvent(events, L"shortcut ") ? Flow::Install : Flow::Start;
  }
  ADD_FAILURE() << "a flow that neither opened nor started anything";
  return Flow::None;
}

struct CommandCase {
  const char* name;
  std::vector<std::wstring> arguments;  // after the program's own path
  ExitCode code;
  Flow flow;
};

void PrintTo(const CommandCase& value, std::ostream* out) {
  *out << value.name;
}

const CommandCase kCommands[] = {
    {"Install", {L"/install"}, ExitCode::Done, Flow::Install},
    {"Start", {L"/start"}, ExitCode::Done, Flow::Start},
    {"Remove", {L"/remove"}, ExitCode::Done, Flow::Remove},
    {"InstallUpperCase", {L"/INSTALL"}, ExitCode::Done, Flow::Install},
    {"InstallCapitalised", {L"/Install"}, ExitCode::Done, Flow::Install},
    {"StartMixedCase", {L"/sTaRt"}, ExitCode::Done, Flow::Start},
    {"RemoveUpperCase", {L"/REMOVE"}, ExitCode::Done, Flow::Remove},
    {"NoArgument", {}, ExitCode::BadCommandLine, Flow::None},
    {"TwoCommands", {L"/install", L"/start"}, ExitCode::BadCommandLine, Flow::None},
    {"CommandTwice", {L"/start", L"/start"}, ExitCode::BadCommandLine, Flow::None},
    {"EmptyArgument", {L""}, ExitCode::BadCommandLine, Flow::None},
    {"WithoutTheSlash", {L"install"}, ExitCode::BadCommandLine, Flow::None},
    {"DashInsteadOfSlash", {L"-install"}, ExitCode::BadCommandLine, Flow::None},
    {"TrailingLetter", {L"/installx"}, ExitCode::BadCommandLine, Flow::None},
    {"TrailingColon", {L"/install:"}, ExitCode::BadCommandLine, Flow::None},
    {"TrailingBlank", {L"/start "}, ExitCode::BadCommandLine, Flow::None},
    {"LeadingBlank", {L" /start"}, ExitCode::BadCommandLine, Flow::None},
    {"Abbreviated", {L"/inst"}, ExitCode::BadCommandLine, Flow::None},
    {"SlashAlone", {L"/"}, ExitCode::BadCommandLine, Flow::None},
    // Letters that some locales fold onto s and i are not A to Z.
    {"LongS", {L"/\u017ftart"}, ExitCode::BadCommandLine, Flow::None},
    {"DotlessI", {L"/\u0131nstall"}, ExitCode::BadCommandLine, Flow::None},
    {"DottedCapitalI", {L"/\u0130NSTALL"}, ExitCode::BadCommandLine, Flow::None},
};

class DispatchTest : public FlowTest, public ::testing::WithParamInterface<CommandCase> {
 protected:
  void SetUp() override {
    helper_.Write("ktwebloader.exe", HelperFolder::SignedLoader());
    helper_.Write("Uninstall.vbs", HelperFolder::SignedScript());
  }
};

TEST_P(DispatchTest, RunsTheNamedFlowOrNone) {
  std::vector<std::wstring> words = {L"C:\\Program Files\\Norlith\\kthelper.exe"};
  words.insert(words.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  std::vector<wchar_t*> argv(words.size() + 1, nullptr);
  std::transform(words.begin(), words.end(), argv.begin(),
                 [](std::wstring& word) { return word.data(); });
  EXPECT_EQ(DispatchCommand(static_cast<int32_t>(words.size()), argv.data(), system_),
            GetParam().code);
  EXPECT_EQ(FlowOf(system_.events), GetParam().flow);
}

INSTANTIATE_TEST_SUITE_P(Commands, DispatchTest, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

using DispatchWithoutArgumentsTest = FlowTest;

// A failed split gives no array and a count of 0.
TEST_F(DispatchWithoutArgumentsTest, NoArrayAtAll) {
  EXPECT_EQ(DispatchCommand(0, nullptr, system_), ExitCode::BadCommandLine);
  EXPECT_TRUE(system_.events.empty());
}

}  // namespace
