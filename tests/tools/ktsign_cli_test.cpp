// ktsign as a program: --help, successful runs whose output is what the library makes, and
// every refusal: exit status 2, one "ktsign: " line on stderr, no output file.
#include <gtest/gtest.h>
#include <openssl/pem.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/openssl_reference.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_directory.h"
#include "tests/tools/fixtures.h"
#include "tools/signing/exe_signer.h"
#include "tools/signing/script_signer.h"

namespace {

ProgramResult Ktsign(std::vector<std::string> args) {
  args.insert(args.begin(), KT_KTSIGN_PATH);
  return RunProgram(args);
}

// ktsign's output file must exist before its bytes are compared: a missing file fails here,
// with ktsign's own words, rather than as an exception from ReadFileBytes.
void ExpectOutput(const std::string& path, const Octets& expected, const ProgramResult& run) {
  ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path << "\n" << run.err;
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(KtsignCli, HelpPrintsUsageToStdout) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"}, {"exe", "--help"}, {"script", "--help"}}) {
    const ProgramResult run = Ktsign(args);
    EXPECT_EQ(run.exitCode, 0) << args[0];
    EXPECT_EQ(run.out.rfind("Usage: ktsign " + (args.size() == 2 ? args[0] : std::string()), 0), 0u)
        << run.out;
    EXPECT_EQ(run.err, "");
  }
}

// The program passes every option on: its output is byte for byte the library's.
TEST(KtsignCli, ExeWritesWhatTheLibraryMakes) {
  const TempDirectory dir;
  const Octets input = MakeExecutable(3000, {0x80, 0x10B, 0, 0});
  const std::string in = dir.Write("in.exe", input);
  const signing::SigningKey key(DevKey("key-d.pem"));
  signing::ExecutableSigningOptions options;
  options.form = signing::Form::Text;
  options.keyKind = 'D';
  options.padBefore = 4;
  options.padAfter = 9;
  const ProgramResult run =
      Ktsign({"exe", "--key", DevKey("key-d.pem"), "--key-kind", "D", "--form", "text",
              "--pad-before", "4", "--pad-after", "9", in, dir.File("out.exe")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectOutput(dir.File("out.exe"), signing::SignExecutable(input, key, options).bytes, run);
}

TEST(KtsignCli, ScriptWritesWhatTheLibraryMakes) {
  const TempDirectory dir;
  const Octets content = Filler(500);
  const std::string in = dir.Write("Uninstall.vbs", content);
  const signing::SigningKey key(DevKey("key-d.pem"));
  for (const auto& [form, name] :
       {std::pair{signing::Form::Binary, "binary"}, std::pair{signing::Form::Text, "text"}}) {
    SCOPED_TRACE(name);
    const ProgramResult run =
        Ktsign({"script", "--key", DevKey("key-d.pem"), "--form", name, in, dir.File("out")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ExpectOutput(dir.File("out"), signing::SignScript(content, key, form), run);
  }
}

// In each case's arguments "{in}", "{out}", "{dir}" and "{key}" stand for a signable input, the
// output path, the test's folder and the development key P.
struct CliRefusal {
  const char* name;
  std::vector<std::string> args;
  std::function<void(const TempDirectory&)> prepare;
};
void PrintTo(const CliRefusal& row, std::ostream* out) {
  *out << row.name;
}

class KtsignRefusal : public ::testing::TestWithParam<CliRefusal> {};

TEST_P(KtsignRefusal, ExitsWithTwoAndOneLineAndNoOutput) {
  const CliRefusal& c = GetParam();
  const TempDirectory dir;
  dir.Write("in.bin", Filler(100));
  if (c.prepare) {
    c.prepare(dir);
  }
  std::vector<std::string> args;
  for (std::string arg : c.args) {
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"{in}", dir.File("in.bin")},
          {"{out}", dir.File("out.bin")},
          {"{dir}", dir.Path()},
          {"{key}", DevKey("key-p.pem")}}) {
      if (const size_t at = arg.find(name); at != std::string::npos) {
        arg.replace(at, name.size(), value);
      }
    }
    args.push_back(arg);
  }
  const std::vector<std::string> before = dir.Names();
  const ProgramResult run = Ktsign(args);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.rfind("ktsign: ", 0), 0u) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.bin")));
  EXPECT_EQ(dir.Names(), before);
}

void WriteRsaKey(const TempDirectory& dir, int bits) {
  const RsaTestKey key(bits);
  std::unique_ptr<BIO, int (*)(BIO*)> bio(BIO_new_file(dir.File("weak.pem").c_str(), "w"),
                                          BIO_free);
  ASSERT_EQ(PEM_write_bio_PrivateKey(bio.get(), key.Key(), nullptr, nullptr, 0, nullptr, nullptr),
            1);
}

void WriteBadPe(const TempDirectory& dir) {
  Octets bytes = Filler(100);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  PutU32Le(&bytes, 60, 1000);
  dir.Write("bad.exe", bytes);
}

void WriteFourGiB(const TempDirectory& dir) {
  dir.Write("big.bin", {});
  std::filesystem::resize_file(dir.File("big.bin"), uintmax_t{1} << 32);
}

const CliRefusal kCliRefusals[] = {
    {"NoArguments", {}, nullptr},
    {"UnknownCommand", {"sign", "--key", "{key}", "{in}", "{out}"}, nullptr},
    {"UnknownOption", {"exe", "--key", "{key}", "--fast", "{in}", "{out}"}, nullptr},
    {"ScriptHasNoKeyKind",
     {"script", "--key", "{key}", "--key-kind", "D", "{in}", "{out}"},
     nullptr},
    {"MissingKey", {"exe", "{in}", "{out}"}, nullptr},
    {"KeyWithoutValue", {"exe", "{in}", "{out}", "--key"}, nullptr},
    {"OneFile", {"exe", "--key", "{key}", "{in}"}, nullptr},
    {"ThreeFiles", {"exe", "--key", "{key}", "{in}", "{out}", "{dir}/more"}, nullptr},
    {"BadForm", {"exe", "--key", "{key}", "--form", "hex", "{in}", "{out}"}, nullptr},
    {"BadKeyKind", {"exe", "--key", "{key}", "--key-kind", "X", "{in}", "{out}"}, nullptr},
    {"PadNotANumber", {"exe", "--key", "{key}", "--pad-before", "-1", "{in}", "{out}"}, nullptr},
    {"PadBefore33", {"exe", "--key", "{key}", "--pad-before", "33", "{in}", "{out}"}, nullptr},
    {"PadAfter33", {"exe", "--key", "{key}", "--pad-after", "33", "{in}", "{out}"}, nullptr},
    {"MissingInput", {"exe", "--key", "{key}", "{dir}/none", "{out}"}, nullptr},
    {"InputIsAFolder", {"script", "--key", "{key}", "{dir}", "{out}"}, nullptr},
    {"MissingKeyFile", {"exe", "--key", "{dir}/none.pem", "{in}", "{out}"}, nullptr},
    {"KeyIsNotAKey", {"script", "--key", "{in}", "{in}", "{out}"}, nullptr},
    {"Rsa1024Key",
     {"exe", "--key", "{dir}/weak.pem", "{in}", "{out}"},
     [](const TempDirectory& dir) { WriteRsaKey(dir, 1024); }},
    {"FourGiBExe", {"exe", "--key", "{key}", "{dir}/big.bin", "{out}"}, WriteFourGiB},
    {"FourGiBScript", {"script", "--key", "{key}", "{dir}/big.bin", "{out}"}, WriteFourGiB},
    {"UnreadablePeHeader", {"exe", "--key", "{key}", "{dir}/bad.exe", "{out}"}, WriteBadPe},
    {"OutputFolderMissing", {"exe", "--key", "{key}", "{in}", "{dir}/none/out.bin"}, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, KtsignRefusal, ::testing::ValuesIn(kCliRefusals),
                         ::testing::PrintToStringParamName());

}  // namespace
