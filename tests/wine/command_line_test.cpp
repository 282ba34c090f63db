// The command line that the real exe accepts: exactly one of the three commands, in any
// ASCII case. No loader lies beside the helper, so an accepted /start or /install ends with 5
// and an accepted /remove, whose question no display can show, with 2; a refused command
// line ends with 1 before any flow runs.
#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/wine_test.h"

namespace {

struct CommandLineRow {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
};

// Failure messages name the row rather than dump its bytes.
void PrintTo(const CommandLineRow& row, std::ostream* out) {
  *out << row.name;
}

class CommandLineTest : public WineTest, public ::testing::WithParamInterface<CommandLineRow> {};

TEST_P(CommandLineTest, ExitCode) {
  EXPECT_EQ(RunHelper(GetParam().args), GetParam().exitCode);
}

const CommandLineRow kRows[] = {
    {"NoArgument", {}, 1},
    {"TwoCommands", {"/install", "/start"}, 1},
    {"WithoutSlash", {"install"}, 1},
    {"DashInsteadOfSlash", {"-install"}, 1},
    {"TrailingLetter", {"/installx"}, 1},
    {"TrailingColon", {"/install:"}, 1},
    {"EmptyArgument", {""}, 1},
    {"StartInCapitals", {"/START"}, 5},
    {"StartCapitalised", {"/Start"}, 5},
    {"RemoveInCapitals", {"/REMOVE"}, 2},
    {"InstallInMixedCase", {"/InStAlL"}, 5},
};

INSTANTIATE_TEST_SUITE_P(Rows, CommandLineTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CommandLineRow>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
