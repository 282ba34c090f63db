// The host file layer: a Windows-style path names a host file, and what is not a regular file
// is refused at once, through the layer, the verifier entry and the script check alike.
#include "verify/file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "tests/support/signed_files.h"
#include "verify/script_signature.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

// Far longer than any answer takes; only a check that waits reaches it.
constexpr unsigned kBoundSeconds = 10;

TEST(FileAccess, BackslashesNameHostFolders) {
  TempDirectory dir;
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0700), 0);
  WriteFileBytes(dir.File("sub/f"), Bytes{'a', 'b', 'c'});
  std::string windowsStyle = dir.File("sub/f");
  std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');

  const int file = FileOpenRead(WidePath(windowsStyle).c_str());
  ASSERT_NE(file, kFileNotOpen) << windowsStyle;
  uint8_t bytes[3] = {};
  EXPECT_TRUE(FileReadAt(file, 0, bytes, sizeof bytes));
  EXPECT_EQ(std::string(bytes, bytes + sizeof bytes), "abc");
  FileClose(file);
}

// What the layer, the verifier entry and the script check make of `path`, as one line on
// stderr from a child process that SIGALRM ends: an open that waits fails the test instead of
// stalling it.
[[noreturn]] void ReportFromBoundedChild(const std::wstring& path) {
  alarm(kBoundSeconds);
  const bool exists = FileExists(path.c_str());
  const int file = FileOpenRead(path.c_str());
  const bool opened = file != kFileNotOpen;
  FileClose(file);
  int32_t status = 0;
  const int verified = VerifyFileSignature(path.c_str(), &status, 2);
  int32_t detail = 0;
  const int32_t result = CheckFileSignature(path.c_str(), &detail);
  std::fprintf(stderr,
               "exists %s, opened %s, verified %d, status %d, result %d, detail %d, script %d\n",
               exists ? "yes" : "no", opened ? "yes" : "no", verified, status, result, detail,
               VerifyScriptSignature(path.c_str()));
  std::exit(0);
}

TEST(FileAccessDeathTest, WhatIsNoRegularFileCannotBeOpened) {
  TempDirectory dir;
  const struct {
    const char* name;
    std::function<std::string()> make;
  } cases[] = {
      {"FIFO without a writer",
       [&] {
         EXPECT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
         return dir.File("fifo");
       }},
      {"directory",
       [&] {
         EXPECT_EQ(mkdir(dir.File("folder").c_str(), 0700), 0);
         return dir.File("folder");
       }},
      {"link to a FIFO",
       [&] {
         EXPECT_EQ(mkfifo(dir.File("target").c_str(), 0600), 0);
         EXPECT_EQ(symlink("target", dir.File("link").c_str()), 0);
         return dir.File("link");
       }},
      {"character device", [] { return std::string("/dev/null"); }},
  };
  // It exists, so the reason is "cannot be opened" (status 2), which the entry answers with
  // result 4 and detail 3; the script check says the same in its own terms.
  const std::string expected = "exists yes, opened no, verified 0, status " +
                               std::to_string(StatusOpenFailed) + ", result 4, detail 3, script " +
                               std::to_string(kScriptOpenFailed);
  for (const auto& c : cases) {
    const std::wstring path = WidePath(c.make());
    EXPECT_EXIT(ReportFromBoundedChild(path), ::testing::ExitedWithCode(0), expected) << c.name;
  }
}

}  // namespace
