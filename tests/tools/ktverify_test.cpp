// ktverify as a program: one line per file with what the helper would answer, the exit code
// that sums them up, and usage errors.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/signed_files.h"
#include "tools/ktverify/json_string.h"
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

// Far beyond what any run takes, even under the sanitizers; a run that hangs fails here.
constexpr std::chrono::milliseconds kRunLimit(20000);

ProgramResult Ktverify(std::vector<std::string> args) {
  args.insert(args.begin(), KT_KTVERIFY_PATH);
  const std::optional<ProgramResult> run = RunWithin(args, kRunLimit);
  if (!run) {
    ADD_FAILURE() << "ktverify did not end within " << kRunLimit.count() << " ms";
    return ProgramResult{-1, {}, {}};
  }
  return *run;
}

struct AnsweredFile {
  std::string path;
  std::string line;  // what ktverify prints for it
};

// One run over every file, some of them rejected: one line per file, in order, and exit 1.
void ExpectOneLinePerFile(const std::string& format, const std::vector<AnsweredFile>& files) {
  std::vector<std::string> args{"--format", format};
  std::transform(files.begin(), files.end(), std::back_inserter(args),
                 [](const AnsweredFile& file) { return file.path; });
  const ProgramResult run = Ktverify(args);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), files.size()) << run.out;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], files[i].line);
  }
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
  // RESULT, DETAIL, STATUS and the path.
  auto tsv = [](const std::string& path, const std::string& fields) {
    return AnsweredFile{path, fields + "\t" + path};
  };
  const std::vector<AnsweredFile> files = {
      tsv(SignedExe("p.exe", Form::Binary, 'P'), "0\t3\t3"),
      tsv(SignedExe("d.exe", Form::Text, 'D'), "0\t3\t11"),
      tsv(SignedScript("Uninstall.vbs"), "0\t2\t2"),
      tsv(dir_.Write("changed.exe", changed), "5\t5\t9"),
      tsv(dir_.File("missing.exe"), "2\t2\t1"),
      tsv(dir_.Write("plain.txt", SampleContent(100)), "6\t6\t7"),
      tsv(dir_.Write("short.exe", MinimalExecutable(0x10B, 0, 64)), "10\t10\t5"),
  };
  ExpectOneLinePerFile("tsv", files);
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

// The JSON line for a file whose path, escaped by hand, is `path`: the keys in their order,
// and the text format's sentence as the message.
std::string JsonLine(const std::string& path, const char* codes, const std::string& sentence) {
  return "{\"path\":\"" + path + "\"," + codes + ",\"message\":\"" + path + ": " + sentence + "\"}";
}

TEST_F(KtverifyTest, JsonLinePerFile) {
  // The directory goes into the expected lines unescaped, so it must need no escaping.
  const std::string d = dir_.Path();
  ASSERT_TRUE(std::all_of(d.begin(), d.end(), [](char c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
  })) << d;
  const std::vector<AnsweredFile> files = {
      {SignedExe("say \"hi\".exe", Form::Binary, 'P'),
       JsonLine(d + "/say \\\"hi\\\".exe", R"("result":0,"detail":3,"status":3)",
                "accepted through its signature block with key P (result 0, status 3)")},
      {SignedScript("tab\there.vbs"),
       JsonLine(d + "/tab\\u0009here.vbs", R"("result":0,"detail":2,"status":2)",
                "accepted through its script signature (key D) (result 0, status 2)")},
      {dir_.File("pr\xC3\xBC"
                 "fung \xE2\x82\xAC.exe"),
       JsonLine(d + "/pr\xC3\xBC"
                    "fung \xE2\x82\xAC.exe",
                R"("result":2,"detail":2,"status":1)",
                "rejected, the file does not exist (result 2, status 1)")},
      {dir_.Write("line\nbreak\x01.txt", SampleContent(100)),
       JsonLine(d + "/line\\u000abreak\\u0001.txt", R"("result":6,"detail":6,"status":7)",
                "rejected, it carries no signature block and no valid script signature "
                "(result 6, status 7)")},
  };
  ExpectOneLinePerFile("json", files);
}

// A name that the verifier cannot be given exactly is refused before any file is checked,
// even where a lossy conversion would land on a signed file: 'sub\app.exe' on sub/app.exe,
// a stray byte on U+FFFD, an overlong '/' on a folder separator.
TEST_F(KtverifyTest, RefusesNamesItCannotPassOnExactly) {
  ASSERT_EQ(mkdir(dir_.File("sub").c_str(), 0700), 0);
  SignedExe("sub/app.exe", Form::Binary, 'P');
  SignedExe("a\xEF\xBF\xBD.exe", Form::Binary, 'P');
  const std::string accepted = SignedExe("ok.exe", Form::Binary, 'P');
  const std::string d = dir_.Path();
  const struct {
    const char* name;
    std::string path;
    std::string err;
  } cases[] = {
      {"backslash", dir_.Write("sub\\app.exe", SampleContent(100)),
       "file name '" + d + "/sub\\app.exe' holds a backslash, which the verifier reads as '/'"},
      {"stray byte", dir_.Write("a\xFF.exe", SampleContent(100)),
       "file name '" + d + "/a\\xFF.exe' is not valid UTF-8"},
      {"overlong slash",
       dir_.Write("sub\xC0\xAF"
                  "app.exe",
                  SampleContent(100)),
       "file name '" + d + "/sub\\xC0\\xAFapp.exe' is not valid UTF-8"},
      {"truncated sequence", d + "/pr\xC3", "file name '" + d + "/pr\\xC3' is not valid UTF-8"},
      {"surrogate", d + "/\xED\xA0\x80",
       "file name '" + d + "/\\xED\\xA0\\x80' is not valid UTF-8"},
  };
  for (const auto& c : cases) {
    for (const auto& args : {std::vector<std::string>{accepted, c.path},
                             std::vector<std::string>{"--format", "json", c.path, accepted}}) {
      const ProgramResult run = Ktverify(args);
      EXPECT_EQ(run.exitCode, 2) << c.name;
      EXPECT_EQ(run.err, "ktverify: " + c.err + " (see ktverify --help)\n") << c.name;
      EXPECT_EQ(run.out, "") << c.name;
    }
  }
}

// Answered at once as files that cannot be opened, as on Windows; Ktverify's time limit
// turns a wait for a FIFO's writer into a failure.
TEST_F(KtverifyTest, FifosDirectoriesAndDevicesCannotBeOpened) {
  ASSERT_EQ(mkfifo(dir_.File("fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir_.File("folder").c_str(), 0700), 0);
  ASSERT_EQ(symlink("fifo", dir_.File("link").c_str()), 0);
  const std::string paths[] = {dir_.File("fifo"), dir_.File("folder"), dir_.File("link"),
                               "/dev/null"};
  std::vector<std::string> args{"--format", "tsv"};
  args.insert(args.end(), std::begin(paths), std::end(paths));
  const ProgramResult run = Ktverify(args);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), std::size(paths)) << run.out;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], "4\t3\t2\t" + paths[i]);
  }
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
  EXPECT_NE(run.out.find("--format json"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(WidePath, DecodesUtf8AndRefusesWhatIsNot) {
  const struct {
    const char* name;
    const char* utf8;
    std::optional<std::wstring> wide;
  } cases[] = {
      {"ASCII", "plain", L"plain"},
      {"two bytes", "\xC3\xBC", std::wstring(1, wchar_t{0xFC})},
      {"three bytes", "\xE2\x82\xAC", std::wstring(1, wchar_t{0x20AC})},
      {"four bytes", "\xF0\x9F\x98\x80", std::wstring(1, static_cast<wchar_t>(0x1F600))},
      {"U+FFFD itself", "\xEF\xBF\xBD", std::wstring(1, wchar_t{0xFFFD})},
      {"highest code point", "\xF4\x8F\xBF\xBF", std::wstring(1, static_cast<wchar_t>(0x10FFFF))},
      {"stray byte", "a\xFFz", std::nullopt},
      {"continuation without lead", "\x80", std::nullopt},
      {"truncated at the end", "\xC3", std::nullopt},
      {"truncated before ASCII", "\xE2\x82z", std::nullopt},
      {"overlong slash", "\xC0\xAF", std::nullopt},
      {"overlong three bytes", "\xE0\x80\xAF", std::nullopt},
      {"surrogate", "\xED\xA0\x80", std::nullopt},
      {"above U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ktverify::WidePath(c.utf8), c.wide) << c.name;
  }
}

TEST(JsonString, EscapesWhatJsonRequires) {
  const struct {
    const char* name;
    std::string text;
    std::string json;
  } cases[] = {
      {"empty", "", R"("")"},
      {"plain", "a.exe", R"("a.exe")"},
      {"quote", "say \"hi\"", R"("say \"hi\"")"},
      {"backslash", "a\\b", R"("a\\b")"},
      {"tab and newline", "a\tb\nc", R"("a\u0009b\u000ac")"},
      {"lowest and highest control", std::string("\0\x1F", 2), R"("\u0000\u001f")"},
      {"DEL needs no escape", "\x7F", "\"\x7F\""},
      {"non-ASCII as it is",
       "pr\xC3\xBC"
       "fung \xE2\x82\xAC",
       "\"pr\xC3\xBC"
       "fung \xE2\x82\xAC\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ktverify::JsonString(c.text), c.json) << c.name;
  }
}

}  // namespace
