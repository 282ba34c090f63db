// The verifier of the Windows build under every implementation of crypto/ that the processor
// runs, through the implementation check (programs/implementation_check.cpp), which calls it
// at every stack offset that the Windows calling convention allows and with the callee-saved
// registers filled: a large signed executable, an altered copy and a signed script get their
// answers from every pairing of a SHA-256 and a digit-rows implementation, with the registers
// kept. The pairings run are exactly those the program reports as supported; those agree with
// the host's build on the same processor (the x86 build has no ADX rows) and include every one
// that the processor's flags promise, so that a detection that falls back shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "crypto/implementation.h"
#include "tests/support/signed_files.h"
#include "tests/wine/processor_flags.h"
#include "tests/wine/wine_session.h"
#include "tests/wine/wine_test.h"

namespace {

// Over sixteen MiB, so that the vector code runs over a quarter of a million blocks (more
// would cost the suite seconds per build: every file is checked once per pairing and stack
// offset); neither this length nor the signed length (less the excluded header fields) is a
// whole number of 64-byte blocks, so the last bytes go through the tail.
constexpr size_t kLargeLength = 16 * 1024 * 1024 + 37;

const char kScriptText[] =
    "' Entfernt Norlith Tamsweep\r\n"
    "Set shell = CreateObject(\"WScript.Shell\")\r\n"
    "WScript.Echo \"Norlith Tamsweep wird entfernt\"\r\n";

struct FileRow {
  const char* name;
  const char* result;
  const char* detail;
};

const FileRow kFiles[] = {
    {"signed.exe", "0", "3"},     // accepted through its signature block
    {"altered.exe", "5", "5"},    // one covered byte changed
    {"Uninstall.vbs", "0", "2"},  // accepted through its script signature
};

// The implementations that the processor's flags promise, and the flags each needs.
struct Promise {
  const char* kind;
  const char* name;
  std::vector<const char*> flags;
  bool x86_64Only;
};

const Promise kPromises[] = {
    {"sha256", "avx2", {"avx2", "bmi2"}, false},
    {"sha256", "sha-extensions", {"sha_ni", "ssse3", "sse4_1"}, false},
    {"rows", "adx", {"adx", "bmi2"}, true},
};

const char* const kRunFields[] = {"sha256", "rows", "stack", "registers", "result", "detail"};

struct CheckRun {
  std::map<std::string, std::string> fields;  // sha256, rows, stack, registers, result, detail
  std::string path;
};

struct CheckOutput {
  std::map<std::string, std::string> supported;  // "sha256=avx2" -> "yes" or "no"
  std::vector<CheckRun> runs;
  std::vector<std::string> unreadable;
};

CheckOutput ParseOutput(const std::string& out) {
  CheckOutput output;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const std::string supported = "supported ";
    const size_t path = line.find(" path=");
    if (line.compare(0, supported.size(), supported) == 0) {
      std::istringstream words(line.substr(supported.size()));
      std::string key;
      std::string answer;
      words >> key >> answer;
      output.supported[key] = answer;
    } else if (path != std::string::npos) {
      CheckRun run;
      run.path = line.substr(path + 6);
      std::istringstream words(line.substr(0, path));
      for (std::string word; words >> word;) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos) {
          run.fields[word.substr(0, equals)] = word.substr(equals + 1);
        }
      }
      const bool whole = std::all_of(std::begin(kRunFields), std::end(kRunFields),
                                     [&](const char* name) { return run.fields.count(name) != 0; });
      if (whole) {
        output.runs.push_back(run);
      } else {
        output.unreadable.push_back(line);
      }
    } else {
      output.unreadable.push_back(line);
    }
  }
  return output;
}

// One run, named by its file's name in kFiles.
std::string RunKey(const std::string& sha256, const std::string& rows, const std::string& stack,
                   const std::string& file) {
  return "sha256=" + sha256 + " rows=" + rows + " stack=" + stack + " file=" + file;
}

// The entries of `from` (sorted) that `less` (sorted) does not hold as often.
std::vector<std::string> Difference(const std::vector<std::string>& from,
                                    const std::vector<std::string>& less) {
  std::vector<std::string> rest;
  std::set_difference(from.begin(), from.end(), less.begin(), less.end(), std::back_inserter(rest));
  return rest;
}

// What the program should report: the host's answers for SHA-256, and for the rows the
// host's on x86-64 and the portable ones alone on x86.
std::map<std::string, std::string> HostSupport(const std::string& arch) {
  std::map<std::string, std::string> support;
  for (Sha256Implementation which : kSha256Implementations) {
    support[std::string("sha256=") + ImplementationName(which)] =
        ImplementationSupported(which) ? "yes" : "no";
  }
  for (DigitRowsImplementation which : kDigitRowsImplementations) {
    const bool supported = arch == "x86" ? which == DigitRowsImplementation::kPortable
                                         : ImplementationSupported(which);
    support[std::string("rows=") + ImplementationName(which)] = supported ? "yes" : "no";
  }
  return support;
}

// The names after "kind=" of the implementations reported as supported.
std::vector<std::string> SupportedNames(const std::map<std::string, std::string>& supported,
                                        const std::string& kind) {
  std::vector<std::string> names;
  for (const auto& [key, answer] : supported) {
    if (key.compare(0, kind.size() + 1, kind + "=") == 0 && answer == "yes") {
      names.push_back(key.substr(kind.size() + 1));
    }
  }
  return names;
}

// Where the stack pointer may stand at a call, modulo 32: Win64 keeps 16-byte alignment,
// 32-bit Windows only 4.
std::vector<std::string> StackOffsets(const std::string& arch) {
  if (arch == "x86") {
    return {"0", "4", "8", "12"};
  }
  return {"0", "16"};
}

class ImplementationsTest : public WineTest {
 protected:
  std::optional<ProgramResult> RunCheck(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{std::string(kToolsFolder) + "\\kt_implementation_check.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::optional<ProgramResult> run = Prefix().Run(argv, kProgramLimit);
    if (!run) {
      ADD_FAILURE() << "the implementation check did not end within " << kProgramLimit.count()
                    << " ms";
      Prefix().KillAll();
    }
    return run;
  }

  // The files of kFiles, made afresh and placed in Folder().
  void PutFiles() const {
    const Bytes input = SampleExecutable(kLargeLength);
    const Bytes signedExe =
        signing::SignExecutable(input, signing::SigningKey(KT_KEY_P_FILE), {}).bytes;
    Put("signed.exe", signedExe);
    // Inside the section's data, far from the excluded header fields and the block.
    Bytes altered = signedExe;
    altered[input.size() / 2] ^= 0x20;
    Put("altered.exe", altered);
    const Bytes script(kScriptText, kScriptText + sizeof kScriptText - 1);
    Put("Uninstall.vbs",
        signing::SignScript(script, signing::SigningKey(KT_KEY_D_FILE), signing::Form::Binary));
  }
};

TEST_F(ImplementationsTest, EverySupportedPairingGivesEachFileItsAnswer) {
  PutFiles();
  std::vector<std::string> args;
  std::transform(std::begin(kFiles), std::end(kFiles), std::back_inserter(args),
                 [&](const FileRow& file) { return InFolder(file.name); });
  const std::optional<ProgramResult> program = RunCheck(args);
  ASSERT_TRUE(program);
  // Wine hands on the low byte of the exit code: 5 for an access violation (0xC0000005), as
  // a misaligned vector access on the stack raises; the last line printed names the check
  // before the one that fell.
  ASSERT_EQ(program->exitCode, 0) << program->out << program->err;
  const CheckOutput output = ParseOutput(program->out);
  EXPECT_EQ(output.unreadable, std::vector<std::string>());

  const std::string& arch = Session().arch;
  EXPECT_EQ(output.supported, HostSupport(arch)) << "what the " << arch << " build reports";

  // Exactly one run per reported pairing, file and stack offset.
  const std::vector<std::string> stacks = StackOffsets(arch);
  std::vector<std::string> expected;
  for (const std::string& sha256 : SupportedNames(output.supported, "sha256")) {
    for (const std::string& rows : SupportedNames(output.supported, "rows")) {
      for (const FileRow& file : kFiles) {
        std::transform(
            stacks.begin(), stacks.end(), std::back_inserter(expected),
            [&](const std::string& stack) { return RunKey(sha256, rows, stack, file.name); });
      }
    }
  }
  std::map<std::string, const FileRow*> files;  // by the path the program was given
  for (const FileRow& file : kFiles) {
    files[InFolder(file.name)] = &file;
  }
  std::vector<std::string> ran;
  std::map<std::string, std::set<std::string>> namesRan;  // by kind: sha256, rows
  for (const CheckRun& check : output.runs) {
    const std::map<std::string, std::string>& field = check.fields;
    const auto file = files.find(check.path);
    const std::string run = RunKey(field.at("sha256"), field.at("rows"), field.at("stack"),
                                   file != files.end() ? file->second->name : check.path);
    ran.push_back(run);
    namesRan["sha256"].insert(field.at("sha256"));
    namesRan["rows"].insert(field.at("rows"));
    if (file != files.end()) {
      EXPECT_EQ(field.at("result"), file->second->result) << run;
      EXPECT_EQ(field.at("detail"), file->second->detail) << run;
    }
    EXPECT_EQ(field.at("registers"), "kept") << run;
  }
  std::sort(expected.begin(), expected.end());
  std::sort(ran.begin(), ran.end());
  EXPECT_EQ(Difference(expected, ran), std::vector<std::string>()) << "runs missing";
  EXPECT_EQ(Difference(ran, expected), std::vector<std::string>())
      << "runs not asked for or repeated";

  // The host's build shares the detection, so both could fall back alike; the kernel's flags
  // are an independent witness of what this processor runs.
  const std::set<std::string> flags = ProcessorFlags();
  ASSERT_FALSE(flags.empty()) << "no flags in /proc/cpuinfo";
  for (const Promise& promise : kPromises) {
    const bool promised = (arch == "x86_64" || !promise.x86_64Only) &&
                          std::all_of(promise.flags.begin(), promise.flags.end(),
                                      [&](const char* flag) { return flags.count(flag) != 0; });
    EXPECT_TRUE(!promised || namesRan[promise.kind].count(promise.name) != 0)
        << promise.kind << "=" << promise.name
        << " did not run, though the processor's flags name all it needs";
  }
}

TEST_F(ImplementationsTest, NoFileIsABadCommandLine) {
  const std::optional<ProgramResult> run = RunCheck({});
  ASSERT_TRUE(run);
  EXPECT_EQ(run->exitCode, 1) << run->out << run->err;
  EXPECT_EQ(ParseOutput(run->out).runs.size(), 0u) << run->out;
}

}  // namespace
