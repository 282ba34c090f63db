// ktverify as a program: one line per file with what the helper would answer, the exit code
// that sums them up, and usage errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/signed_files.h"
#include "tools/ktverify/wide_path.h"

namespace {

using signing::Form;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

ProgramResult Ktverify(std::vector<std::string> args) {
  args.insert(args.begin(), KT_KTVERIFY_PATH);
  return RunProgram(args);
}

class KtverifyTest : public ::testing::Test {
 protected:
  std::string SignedExe(const std::string& name, Form form, char key) {
    return dir_.Write(
        name,
        signing::SignExecutable(SampleExecutable(2000), DevKey(key), {form, key, 0, {}}).bytes);
  }
  std::string SignedScript(const std::string& name) {
    return dir_.Write(name, signing::SignScript(SampleContent(300), DevKey('D'), Form::Text));
  }

  TempDirectory dir_;
};

TEST_F(KtverifyTest, OneTsvLinePerFileInOrder) {
  Bytes changed = signing::SignExecutable(SampleExecutable(2000), DevKey('P'), {}).bytes;
  changed[7] ^= 1;
  const struct {
    std::string path;
    std::string fields;  // RESULT, DETAIL, STATUS
  } files[] = {
      {SignedExe("p.exe", Form::Binary, 'P'), "0\t3\t3"},
      {SignedExe("d.exe", Form::Text, 'D'), "0\t3\t11"},
      {SignedScript("Uninstall.vbs"), "0\t2\t2"},
      {dir_.Write("changed.exe", changed), "5\t5\t9"},
      {dir_.File("missing.exe"), "2\t2\t1"},
      {dir_.Write("plain.txt", SampleContent(100)), "6\t6\t7"},
      {dir_.Write("short.exe", MinimalExecutable(0x10B, 0, 64)), "10\t10\t5"},
  };
  std::vector<std::string> args{"--format", "tsv"};
  std::transform(std::begin(files), std::end(files), std::back_inserter(args),
                 [](const auto& file) { return file.path; });
  const ProgramResult run = Ktverify(args);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), std::size(files)) << run.out;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], files[i].fields + "\t" + files[i].path);
  }
}

TEST_F(KtverifyTest, ExitsWithZeroWhenEveryFileIsAccepted) {
  const ProgramResult run =
      Ktverify({SignedExe("a.exe", Form::Binary, 'P'), SignedExe("b.exe", Form::Binary, 'D'),
                SignedScript("c.vbs")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_NE(lines[0].find("accepted through its signature block with key P"), std::string::npos);
  EXPECT_NE(lines[1].find("accepted through its signature block with key D"), std::string::npos);
  EXPECT_NE(lines[2].find("accepted through its script signature"), std::string::npos);
}

TEST_F(KtverifyTest, TextSaysWhyAFileIsRejected) {
  Bytes changed = signing::SignExecutable(SampleExecutable(2000), DevKey('P'), {}).bytes;
  changed[3] ^= 1;
  const ProgramResult run = Ktverify({dir_.Write("changed.exe", changed)});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("changed.exe: rejected, its content changed after signing"),
            std::string::npos)
      << run.out;
}

TEST_F(KtverifyTest, ModeDecidesWhetherScriptsCount) {
  const std::string script = SignedScript("Uninstall.vbs");
  const struct {
    const char* mode;
    const char* fields;
    int exitCode;
  } cases[] = {{"0", "6\t6\t7", 1}, {"1", "0\t2\t2", 0}, {"2", "0\t2\t2", 0}, {"3", "6\t6\t7", 1}};
  for (const auto& c : cases) {
    const ProgramResult run = Ktverify({"--mode", c.mode, "--format", "tsv", script});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.mode;
    EXPECT_EQ(run.out, std::string(c.fields) + "\t" + script + "\n") << c.mode;
    EXPECT_EQ(run.err, "") << c.mode;
  }
}

TEST_F(KtverifyTest, NonAsciiFileNames) {
  const std::string path = SignedExe(
      "pr\xC3\xBC"
      "fung.exe",
      Form::Text, 'P');
  const ProgramResult run = Ktverify({"--format", "tsv", path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "0\t3\t3\t" + path + "\n");
  EXPECT_EQ(run.err, "");
}

TEST(Ktverify, UsageErrors) {
  const std::vector<std::string> cases[] = {
      {},
      {"--mode"},
      {"--mode", "x", "a.exe"},
      {"--mode", "-1", "a.exe"},
      {"--mode", "4294967296", "a.exe"},
      {"--format", "xml", "a.exe"},
      {"--verbose", "a.exe"},
  };
  for (const auto& args : cases) {
    const ProgramResult run = Ktverify(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    // One line on stderr, nothing on stdout.
    EXPECT_EQ(run.err.rfind("ktverify: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

TEST(Ktverify, Help) {
  const ProgramResult run = Ktverify({"--help"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.rfind("usage: ktverify", 0), 0u) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(WidePath, DecodesUtf8AndReplacesWhatIsNot) {
  const struct {
    const char* utf8;
    std::wstring wide;
  } cases[] = {
      {"plain", L"plain"},
      {"\xC3\xBC", std::wstring(1, wchar_t{0xFC})},
      {"\xE2\x82\xAC", std::wstring(1, wchar_t{0x20AC})},
      {"\xF0\x9F\x98\x80", std::wstring(1, static_cast<wchar_t>(0x1F600))},
      {"a\xFFz", std::wstring{L'a', wchar_t{0xFFFD}, L'z'}},
      {"\xC3", std::wstring(1, wchar_t{0xFFFD})},
      {"\xC0\xAF", std::wstring{wchar_t{0xFFFD}, wchar_t{0xFFFD}}},
      {"\xED\xA0\x80", std::wstring(1, wchar_t{0xFFFD})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ktverify::WidePath(c.utf8), c.wide) << c.utf8;
  }
}

}  // namespace
