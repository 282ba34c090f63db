// Whole-file reads and the atomic write: a write either replaces the target completely or
// leaves the folder as it was, without a temporary file.
#include "tools/signing/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_directory.h"
#include "tests/tools/expect_refusal.h"
#include "tests/tools/fixtures.h"
#include "tools/signing/signing_error.h"

namespace {

using signing::ReadInputFile;
using signing::SigningError;
using signing::WriteFileAtomically;

TEST(FileIo, WritesAndReadsBackWholeFiles) {
  const TempDirectory dir;
  const std::string path = dir.File("out.bin");
  for (const Octets& bytes : {Filler(70001), Octets(), Filler(3)}) {
    WriteFileAtomically(path, bytes);
    EXPECT_EQ(ReadInputFile(path), bytes);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.bin"});
  }
}

TEST(FileIo, FailedWriteLeavesNothingBehind) {
  const TempDirectory dir;
  std::filesystem::create_directory(dir.File("taken"));
  EXPECT_THROW(WriteFileAtomically(dir.File("taken"), Filler(10)), SigningError);
  EXPECT_THROW(WriteFileAtomically(dir.File("no-such-folder/out.bin"), Filler(10)), SigningError);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"taken"});
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("taken")));
}

// A write that fails halfway (here: past the file-size limit of the process) removes its
// temporary file and leaves the old target untouched.
TEST(FileIo, WriteFailingHalfwayKeepsTheOldTarget) {
  const TempDirectory dir;
  const std::string path = dir.Write("out.bin", Filler(20));
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 16;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(WriteFileAtomically(path, Filler(30, 2)), SigningError);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.bin"});
  ASSERT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(ReadFileBytes(path), Filler(20));
}

struct ReadRefusal {
  const char* name;
  std::function<std::string(const TempDirectory&)> make;
  const char* reason;
};
void PrintTo(const ReadRefusal& row, std::ostream* out) {
  *out << row.name;
}

class FileIoRefusal : public ::testing::TestWithParam<ReadRefusal> {};

TEST_P(FileIoRefusal, ReadThrowsWithTheReason) {
  const ReadRefusal& c = GetParam();
  const TempDirectory dir;
  const std::string path = c.make(dir);
  ExpectRefusal([&] { ReadInputFile(path); }, {path, c.reason});
}

// A sparse file of exactly 4 GiB costs no disk and is refused before it is read.
std::string SparseFile(const TempDirectory& dir, uintmax_t size) {
  std::string path = dir.Write("big.bin", {});
  std::filesystem::resize_file(path, size);
  return path;
}

const ReadRefusal kReadRefusals[] = {
    {"Missing", [](const TempDirectory& dir) { return dir.File("missing"); }, "cannot open"},
    {"Folder",
     [](const TempDirectory& dir) {
       std::filesystem::create_directory(dir.File("folder"));
       return dir.File("folder");
     },
     "not a regular file"},
    {"FourGiB", [](const TempDirectory& dir) { return SparseFile(dir, uintmax_t{1} << 32); },
     "4 GiB"},
    {"FiveGiB", [](const TempDirectory& dir) { return SparseFile(dir, uintmax_t{5} << 30); },
     "4 GiB"},
};

INSTANTIATE_TEST_SUITE_P(Files, FileIoRefusal, ::testing::ValuesIn(kReadRefusals),
                         ::testing::PrintToStringParamName());

}  // namespace
