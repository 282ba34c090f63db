// ktsign as a program: --help; signed copies of real executables and of scripts, which are
// what the library makes and what the helper's verifier accepts; and every refusal: exit
// status 2, one "ktsign: " line on stderr that says why, and the folder left as it was.
#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/openssl_reference.h"
#include "tests/support/pe_layout.h"
#include "tests/support/signed_files.h"
#include "tests/support/temp_directory.h"
#include "tests/tools/fixtures.h"
#include "tools/signing/exe_signer.h"
#include "tools/signing/script_signer.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::Form;

// Far beyond what any run takes, even under the sanitizers; a run that hangs fails here.
constexpr std::chrono::milliseconds kRunLimit(10000);

ProgramResult Ktsign(std::vector<std::string> args) {
  args.insert(args.begin(), KT_KTSIGN_PATH);
  const std::optional<ProgramResult> run = RunWithin(args, kRunLimit);
  if (!run) {
    ADD_FAILURE() << "ktsign did not end within " << kRunLimit.count() << " ms";
    return ProgramResult{-1, {}, {}};
  }
  return *run;
}

// ktsign's output file must exist before its bytes are compared: a missing file fails here,
// with ktsign's own words, rather than as an exception from ReadFileBytes.
void ExpectOutput(const std::string& path, const Octets& expected, const ProgramResult& run) {
  ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path << "\n" << run.err;
  EXPECT_EQ(ReadFileBytes(path), expected);
}

// The answer of the helper's verifier, as ktverify gives it.
struct HelperAnswer {
  int32_t result;
  int32_t detail;
  int32_t status;
};

HelperAnswer AskHelper(const std::string& path) {
  const std::wstring wide = WidePath(path);
  HelperAnswer answer{0, 0, 0};
  const int verified = VerifyFileSignature(wide.c_str(), &answer.status, 2);
  answer.result = MapFileSignatureOutcome(verified, answer.status, &answer.detail);
  return answer;
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

// The real PE32+ and PE32 programs in both forms with both keys: ktsign replaces an OUT that
// exists, writes what the library makes, and the helper accepts it through its block. Built
// where the PE fixtures are (KT_BUILD_PE_TESTS).
#ifdef KT_TINY64_EXE
class KtsignSignsRealExecutables
    : public ::testing::TestWithParam<std::tuple<const char*, Form, char>> {};

TEST_P(KtsignSignsRealExecutables, AndTheHelperAcceptsThem) {
  const auto& [fixture, form, keyKind] = GetParam();
  const TempDirectory dir;
  const Octets input = ReadFileBytes(fixture);
  const std::string in = dir.Write("in.exe", input);
  const std::string out = dir.Write("out.exe", Filler(10));
  const char* keyFile = keyKind == 'D' ? "key-d.pem" : "key-p.pem";
  const ProgramResult run =
      Ktsign({"exe", "--key", DevKey(keyFile), "--key-kind", std::string(1, keyKind), "--form",
              form == Form::Text ? "text" : "binary", in, out});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in.exe", "out.exe"}));
  const signing::SigningKey key(DevKey(keyFile));
  signing::ExecutableSigningOptions options;
  options.form = form;
  options.keyKind = keyKind;
  ExpectOutput(out, signing::SignExecutable(input, key, options).bytes, run);

  const HelperAnswer answer = AskHelper(out);
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.detail, 3);
  EXPECT_EQ(answer.status, keyKind == 'D' ? StatusVerifiedWithKeyD : StatusVerifiedWithKeyP);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, KtsignSignsRealExecutables,
    ::testing::Combine(::testing::Values(KT_TINY64_EXE, KT_TINY32_EXE),
                       ::testing::Values(Form::Binary, Form::Text), ::testing::Values('P', 'D')),
    [](const ::testing::TestParamInfo<KtsignSignsRealExecutables::ParamType>& info) {
      return std::string(std::get<0>(info.param) == std::string(KT_TINY32_EXE) ? "Pe32"
                                                                               : "Pe32Plus") +
             (std::get<1>(info.param) == Form::Text ? "Text" : "Binary") + "Key" +
             std::get<2>(info.param);
    });
#endif

// The program passes every option on: its output is byte for byte the library's.
TEST(KtsignCli, ExeWithPaddingWritesWhatTheLibraryMakes) {
  const TempDirectory dir;
  const Octets input = SampleExecutable(3000, kPe32Magic);
  const std::string in = dir.Write("in.exe", input);
  const signing::SigningKey key(DevKey("key-d.pem"));
  signing::ExecutableSigningOptions options;
  options.form = Form::Text;
  options.keyKind = 'D';
  options.padBefore = 4;
  options.padAfter = 9;
  const ProgramResult run =
      Ktsign({"exe", "--key", DevKey("key-d.pem"), "--key-kind", "D", "--form", "text",
              "--pad-before", "4", "--pad-after", "9", in, dir.File("out.exe")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectOutput(dir.File("out.exe"), signing::SignExecutable(input, key, options).bytes, run);
  EXPECT_EQ(AskHelper(dir.File("out.exe")).result, 0);
}

// A certificate table that ends the input stays adjacent to the block region after signing,
// so the helper accepts the signed copy: the refusal of a misplaced table is not a refusal
// of every table.
TEST(KtsignCli, ExeWhoseCertificateTableEndsTheInput) {
  const TempDirectory dir;
  Octets input = SampleExecutable(3072);
  const PeLayout pe = ReadPeLayout(input);
  PutU32Le(&input, pe.d, 3072);
  PutU32Le(&input, pe.d + 4, 512);
  const Octets table = Filler(512, 7);
  input.insert(input.end(), table.begin(), table.end());
  const std::string in = dir.Write("in.exe", input);
  const ProgramResult run = Ktsign({"exe", "--key", DevKey("key-p.pem"), in, dir.File("out.exe")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const HelperAnswer answer = AskHelper(dir.File("out.exe"));
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.status, StatusVerifiedWithKeyP);
}

TEST(KtsignCli, ScriptWritesWhatTheLibraryMakesAndTheHelperAccepts) {
  const TempDirectory dir;
  const Octets content = Filler(500);
  const std::string in = dir.Write("Uninstall.vbs", content);
  const signing::SigningKey key(DevKey("key-d.pem"));
  for (const auto& [form, name] :
       {std::pair{Form::Binary, "binary"}, std::pair{Form::Text, "text"}}) {
    SCOPED_TRACE(name);
    const ProgramResult run =
        Ktsign({"script", "--key", DevKey("key-d.pem"), "--form", name, in, dir.File("out")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ExpectOutput(dir.File("out"), signing::SignScript(content, key, form), run);
    const HelperAnswer answer = AskHelper(dir.File("out"));
    EXPECT_EQ(answer.result, 0);
    EXPECT_EQ(answer.detail, 2);
  }
}

// In each case's arguments "{exe}", "{script}", "{out}", "{dir}", "{keyP}" and "{keyD}" stand
// for a well-formed executable, a script, the output path, the test's folder and the
// development keys P and D.
struct CliRefusal {
  const char* name;
  std::vector<std::string> args;
  std::function<void(const TempDirectory&)> prepare;
  const char* says;  // part of the one line on stderr
};
void PrintTo(const CliRefusal& row, std::ostream* out) {
  *out << row.name;
}

class KtsignRefusal : public ::testing::TestWithParam<CliRefusal> {};

// Run once without and once with an OUT in place: ktsign neither makes nor changes nor
// removes it, and leaves no temporary file.
TEST_P(KtsignRefusal, ExitsWithTwoAndOneLineAndLeavesTheFolder) {
  const CliRefusal& c = GetParam();
  const TempDirectory dir;
  dir.Write("in.exe", SampleExecutable(4096));
  dir.Write("in.vbs", SampleContent(300));
  if (c.prepare) {
    c.prepare(dir);
  }
  std::vector<std::string> args;
  for (std::string arg : c.args) {
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"{exe}", dir.File("in.exe")},
          {"{script}", dir.File("in.vbs")},
          {"{out}", dir.File("out.bin")},
          {"{dir}", dir.Path()},
          {"{keyP}", DevKey("key-p.pem")},
          {"{keyD}", DevKey("key-d.pem")}}) {
      if (const size_t at = arg.find(name); at != std::string::npos) {
        arg.replace(at, name.size(), value);
      }
    }
    args.push_back(arg);
  }
  const Octets previous = Filler(33, 5);
  for (const bool outExists : {false, true}) {
    SCOPED_TRACE(outExists ? "OUT exists" : "no OUT");
    if (outExists) {
      dir.Write("out.bin", previous);
    }
    const std::vector<std::string> before = dir.Names();
    const ProgramResult run = Ktsign(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("ktsign: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.Names(), before);
    if (outExists) {
      EXPECT_EQ(ReadFileBytes(dir.File("out.bin")), previous);
    }
  }
}

void WriteRsaKey(const TempDirectory& dir, int bits) {
  const RsaTestKey key(bits);
  std::unique_ptr<BIO, int (*)(BIO*)> bio(BIO_new_file(dir.File("other.pem").c_str(), "w"),
                                          BIO_free);
  ASSERT_EQ(PEM_write_bio_PrivateKey(bio.get(), key.Key(), nullptr, nullptr, 0, nullptr, nullptr),
            1);
}

void WriteUnreadablePe(const TempDirectory& dir) {
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

void MakeFifo(const TempDirectory& dir) {
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
}

// Writes bad.exe: the well-formed executable of 4096 bytes with one change.
std::function<void(const TempDirectory&)> BadExe(void (*change)(Octets*, const PeLayout&)) {
  return [change](const TempDirectory& dir) {
    Octets bytes = SampleExecutable(4096);
    change(&bytes, ReadPeLayout(bytes));
    dir.Write("bad.exe", bytes);
  };
}

void SetCertificateTable(Octets* file, const PeLayout& pe, uint32_t offset, uint32_t size) {
  PutU32Le(file, pe.d, offset);
  PutU32Le(file, pe.d + 4, size);
}

const std::vector<std::string> kSignBadExe = {"exe", "--key", "{keyP}", "{dir}/bad.exe", "{out}"};

const CliRefusal kCliRefusals[] = {
    // The command line.
    {"NoArguments", {}, nullptr, "no command given"},
    {"UnknownCommand", {"sign", "--key", "{keyP}", "{exe}", "{out}"}, nullptr, "unknown command"},
    {"UnknownOption", {"exe", "--key", "{keyP}", "--fast", "{exe}", "{out}"}, nullptr, "--fast"},
    {"ScriptHasNoKeyKind",
     {"script", "--key", "{keyD}", "--key-kind", "D", "{script}", "{out}"},
     nullptr,
     "unknown option --key-kind"},
    {"MissingKey", {"exe", "{exe}", "{out}"}, nullptr, "needs --key"},
    {"KeyWithoutValue", {"exe", "{exe}", "{out}", "--key"}, nullptr, "--key needs a value"},
    {"OneFile", {"exe", "--key", "{keyP}", "{exe}"}, nullptr, "an input and an output"},
    {"ThreeFiles",
     {"exe", "--key", "{keyP}", "{exe}", "{out}", "{dir}/more"},
     nullptr,
     "an input and an output"},
    {"BadForm", {"exe", "--key", "{keyP}", "--form", "hex", "{exe}", "{out}"}, nullptr, "'hex'"},
    {"BadKeyKind", {"exe", "--key", "{keyP}", "--key-kind", "X", "{exe}", "{out}"}, nullptr, "'X'"},
    {"PadNotANumber",
     {"exe", "--key", "{keyP}", "--pad-before", "-1", "{exe}", "{out}"},
     nullptr,
     "'-1'"},
    {"PadBefore33",
     {"exe", "--key", "{keyP}", "--pad-before", "33", "{exe}", "{out}"},
     nullptr,
     "at most 32"},
    {"PadAfter33",
     {"exe", "--key", "{keyP}", "--pad-after", "33", "{exe}", "{out}"},
     nullptr,
     "at most 32"},

    // Files that cannot be read, or not all at once; FIFOs and devices never make it wait.
    {"MissingInput", {"exe", "--key", "{keyP}", "{dir}/none", "{out}"}, nullptr, "cannot open"},
    {"InputIsAFolder", {"script", "--key", "{keyD}", "{dir}", "{out}"}, nullptr, "not a regular"},
    {"InputIsAFifo", {"exe", "--key", "{keyP}", "{dir}/fifo", "{out}"}, MakeFifo, "not a regular"},
    {"ScriptIsAFifo",
     {"script", "--key", "{keyD}", "{dir}/fifo", "{out}"},
     MakeFifo,
     "not a regular"},
    {"KeyIsAFifo", {"exe", "--key", "{dir}/fifo", "{exe}", "{out}"}, MakeFifo, "not a regular"},
    {"KeyIsADevice",
     {"script", "--key", "/dev/zero", "{script}", "{out}"},
     nullptr,
     "not a regular"},
    {"MissingKeyFile",
     {"exe", "--key", "{dir}/none.pem", "{exe}", "{out}"},
     nullptr,
     "cannot open"},
    {"KeyIsNotAKey",
     {"script", "--key", "{script}", "{script}", "{out}"},
     nullptr,
     "no unencrypted PEM private key"},
    {"Rsa1024Key",
     {"exe", "--key", "{dir}/other.pem", "{exe}", "{out}"},
     [](const TempDirectory& dir) { WriteRsaKey(dir, 1024); },
     "1024-bit"},
    {"FourGiBExe", {"exe", "--key", "{keyP}", "{dir}/big.bin", "{out}"}, WriteFourGiB, "4 GiB"},
    {"FourGiBScript",
     {"script", "--key", "{keyD}", "{dir}/big.bin", "{out}"},
     WriteFourGiB,
     "4 GiB"},
    {"OutputFolderMissing",
     {"exe", "--key", "{keyP}", "{exe}", "{dir}/none/out.bin"},
     nullptr,
     "cannot create a temporary file"},
    {"OutputIsAFolder",
     {"exe", "--key", "{keyP}", "{exe}", "{dir}/folder"},
     [](const TempDirectory& dir) { std::filesystem::create_directory(dir.File("folder")); },
     "cannot write"},

    // Keys that are not the built-in key that opens the signature.
    {"KindPWithKeyD",
     {"exe", "--key", "{keyD}", "{exe}", "{out}"},
     nullptr,
     "does not match KeyP, the built-in key that opens blocks of --key-kind P (it is the private "
     "key of KeyD): sign with the private half of KeyP (this build embeds it from " KT_KEY_P_FILE
     "), or pass --key-kind D"},
    {"KindDWithKeyP",
     {"exe", "--key", "{keyP}", "--key-kind", "D", "{exe}", "{out}"},
     nullptr,
     "does not match KeyD, the built-in key that opens blocks of --key-kind D (it is the private "
     "key of KeyP): sign with the private half of KeyD (this build embeds it from " KT_KEY_D_FILE
     "), or pass --key-kind P"},
    {"ScriptWithKeyP",
     {"script", "--key", "{keyP}", "{script}", "{out}"},
     nullptr,
     "does not match KeyD, the built-in key that opens every script signature (it is the private "
     "key of KeyP): sign with the private half of KeyD (this build embeds it from " KT_KEY_D_FILE
     ")"},
    {"KeyOfNeither",
     {"exe", "--key", "{dir}/other.pem", "{exe}", "{out}"},
     [](const TempDirectory& dir) { WriteRsaKey(dir, 2048); },
     "does not match KeyP, the built-in key that opens blocks of --key-kind P: sign with the "
     "private half of KeyP (this build embeds it from " KT_KEY_P_FILE ")"},

    // Inputs that the helper refuses signed, whatever the signature.
    {"ExeOnADataFile",
     {"exe", "--key", "{keyP}", "{dir}/data.bin", "{out}"},
     [](const TempDirectory& dir) { dir.Write("data.bin", Filler(5000)); },
     "it is no Windows executable (it does not start with \"MZ\"); sign scripts and other files "
     "with `ktsign script`"},
    {"ExeOnAScript", {"exe", "--key", "{keyP}", "{script}", "{out}"}, nullptr, "`ktsign script`"},
    {"ExeOnAnEmptyFile",
     {"exe", "--key", "{keyP}", "{dir}/empty", "{out}"},
     [](const TempDirectory& dir) { dir.Write("empty", {}); },
     "`ktsign script`"},
    {"EmptyScript",
     {"script", "--key", "{keyD}", "{dir}/empty", "{out}"},
     [](const TempDirectory& dir) { dir.Write("empty", {}); },
     "is empty"},
    {"UnreadablePeHeader",
     {"exe", "--key", "{keyP}", "{dir}/bad.exe", "{out}"},
     WriteUnreadablePe,
     "executable header cannot be read"},
    {"CertificateTableInTheMiddle", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { SetCertificateTable(f, pe, 1024, 512); }),
     "names a table that does not end the file"},
    {"CertificateTableBeyondTheEnd", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { SetCertificateTable(f, pe, 3584, 1024); }),
     "names a table that does not end the file"},
    {"EmptyCertificateTableInTheMiddle", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { SetCertificateTable(f, pe, 1024, 0); }),
     "names a table that does not end the file"},

    // Layouts that only the check of the signed copy finds; it names the rule.
    {"NoPeSignature", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { f->at(pe.e + 1) = 'X'; }),
     "has no \"PE\\0\\0\" signature"},
    {"OptionalHeaderMagic0x107", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { PutU16Le(f, pe.e + 24, 0x107); }),
     "neither 0x10B (PE32) nor 0x20B (PE32+)"},
    {"OptionalHeaderEndsBeforeTheEntry", kSignBadExe, BadExe([](Octets* f, const PeLayout& pe) {
       PutU16Le(f, pe.e + kOptionalHeaderSizeField, static_cast<uint16_t>(pe.d - pe.e - 24 + 7));
     }),
     "ends before the certificate-table entry"},
    {"FourDirectories", kSignBadExe, BadExe([](Octets* f, const PeLayout& pe) {
       PutU32Le(f, pe.e + DirectoryCountField(pe.magic), 4);
     }),
     "fewer than 5 data directories"},
    {"FileAlignment256", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { PutU32Le(f, pe.e + kFileAlignmentField, 256); }),
     "file alignment is not a power of two"},
    {"SectionAlignment512", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { PutU32Le(f, pe.e + kSectionAlignmentField, 512); }),
     "section alignment is below 4096"},
    {"HeadersRoundUpPastTheInput", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { PutU32Le(f, pe.e + kHeadersSizeField, 4097); }),
     "its headers, rounded up to the file alignment, reach into the bytes"},
    {"SectionRoundsUpPastTheInput", kSignBadExe, BadExe([](Octets* f, const PeLayout&) {
       PutU32Le(f, ReadPeSections(*f).front().header + 16, 4096 - 512 + 1);
     }),
     "the raw data of a section"},
    {"SectionRunsIntoTheCertificateTable", kSignBadExe,
     BadExe([](Octets* f, const PeLayout& pe) { SetCertificateTable(f, pe, 3584, 512); }),
     "the raw data of a section"},

    // The verifier takes UTF-8 paths and reads '\\' as '/', so it could not check a signed
    // copy beside these.
    {"OutputPathIsNoUtf8",
     {"exe", "--key", "{keyP}", "{exe}", "{dir}/\xff.exe"},
     nullptr,
     "name OUT by a UTF-8 path without a backslash"},
    {"ScriptOutputPathIsNoUtf8",
     {"script", "--key", "{keyD}", "{script}", "{dir}/\xff.vbs"},
     nullptr,
     "name OUT by a UTF-8 path without a backslash"},
    {"OutputPathHoldsABackslash",
     {"exe", "--key", "{keyP}", "{exe}", "{dir}/a\\b.exe"},
     nullptr,
     "name OUT by a UTF-8 path without a backslash"},
};

INSTANTIATE_TEST_SUITE_P(Cases, KtsignRefusal, ::testing::ValuesIn(kCliRefusals),
                         ::testing::PrintToStringParamName());

}  // namespace
