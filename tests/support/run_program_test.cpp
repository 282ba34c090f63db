// RunProgram: each stream in its own text, the exit status or the signal, no stall when the
// child fills one pipe while the other is quiet, and RunProgramOrThrow quoting both streams.
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

// More than a pipe holds (64 KiB on Linux), so that a reader that drains one stream to its
// end before it looks at the other would wait forever.
constexpr size_t kFlood = 300000;

// A shell command that writes kFlood copies of `letter`.
std::string Flood(char letter) {
  return "head -c " + std::to_string(kFlood) + " /dev/zero | tr '\\0' " + letter;
}

struct ShellCase {
  const char* name;
  std::string script;  // run by sh -c
  int exitCode;
  std::string out;
  std::string err;
};
void PrintTo(const ShellCase& row, std::ostream* out) {
  *out << row.name;
}

class RunProgramTest : public ::testing::TestWithParam<ShellCase> {};

TEST_P(RunProgramTest, KeepsTheStreamsApart) {
  const ShellCase& c = GetParam();
  const ProgramResult run = RunProgram({"sh", "-c", c.script});
  EXPECT_EQ(run.exitCode, c.exitCode);
  // Sizes first, so that a flood that went wrong does not print 300 kB.
  ASSERT_EQ(run.out.size(), c.out.size());
  ASSERT_EQ(run.err.size(), c.err.size());
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, c.err);
}

const ShellCase kShellCases[] = {
    {"Silent", "exit 0", 0, "", ""},
    {"BothStreams", "printf 'one\\n'; printf 'two\\n' >&2; printf 'three\\n'; exit 3", 3,
     "one\nthree\n", "two\n"},
    {"StderrFloodFirst", Flood('e') + " >&2; " + Flood('o'), 0, std::string(kFlood, 'o'),
     std::string(kFlood, 'e')},
    {"StdoutFloodFirst", Flood('o') + "; " + Flood('e') + " >&2", 0, std::string(kFlood, 'o'),
     std::string(kFlood, 'e')},
    {"EndedBySignal", "printf 'before\\n'; kill -TERM $$", 128 + 15, "before\n", ""},
};

INSTANTIATE_TEST_SUITE_P(Shell, RunProgramTest, ::testing::ValuesIn(kShellCases),
                         ::testing::PrintToStringParamName());

TEST(RunProgram, ThrowsWhenTheProgramCannotStart) {
  EXPECT_THROW(RunProgram({"kt-no-such-program"}), std::runtime_error);
  EXPECT_THROW(RunProgram({}), std::runtime_error);
}

TEST(RunProgramOrThrow, QuotesBothStreamsOfAFailure) {
  EXPECT_NO_THROW(RunProgramOrThrow({"sh", "-c", "printf 'fine\\n'"}));
  try {
    RunProgramOrThrow(
        {"sh", "-c", "printf 'said on stdout\\n'; printf 'said on stderr\\n' >&2; exit 4"});
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("exited with 4"), std::string::npos) << message;
    EXPECT_NE(message.find("said on stdout"), std::string::npos) << message;
    EXPECT_NE(message.find("said on stderr"), std::string::npos) << message;
  }
}

}  // namespace
