// The base of every test under Wine: a folder of the test's own under drive C, holding a copy
// of kthelper.exe, an empty desktop, and the means to run the helper and see what it started.
#ifndef KT_TESTS_WINE_WINE_TEST_H
#define KT_TESTS_WINE_WINE_TEST_H

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/wine/starts_record.h"
#include "tests/wine/wine_prefix.h"

// How long a Windows program may take, from the start of its Wine loader to its end, before
// a test counts it as hanging; a run takes a second or two.
constexpr std::chrono::milliseconds kProgramLimit(60000);

class WineTest : public ::testing::Test {
 protected:
  // Skips the test, with the reason, when this machine cannot run what it needs.
  void SetUp() override;
  // Why this machine cannot run the test; empty when it can. By default: why it cannot run
  // the build.
  virtual std::string WhySkipped() const;

  const WinePrefix& Prefix() const;
  // C:\kt\<suite> <test>: the test's folder, made afresh; its name has blanks, so every path
  // that the helper hands on has to be quoted where Windows needs it.
  const std::string& Folder() const { return folder_; }
  // Folder() + "\" + name.
  std::string InFolder(const std::string& name) const;
  void Put(const std::string& name, const Bytes& bytes) const;

  // Runs Folder()\kthelper.exe with `args`; its exit code, or -1 (and a failure) when it did
  // not end in time.
  int RunHelper(const std::vector<std::string>& args) const;
  // The same, through the exit-code reporter: the whole 32-bit exit code, which RunHelper
  // sees only modulo 256; nullopt (and a failure) when it could not be read.
  std::optional<uint32_t> RunHelperForWholeExitCode(const std::vector<std::string>& args) const;
  // Waits until every program of the prefix has ended, so that whatever the helper started
  // has written its record, then reads the loader stand-in's record in Folder().
  std::vector<LoaderStart> StartsOnceSettled() const;
  // The names in the desktop folder, sorted.
  std::vector<std::string> DesktopEntries() const;

 private:
  std::string folder_;
};

#endif
