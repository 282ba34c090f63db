// ktsign: signs executables (signature block) and scripts (signature trailer) for the
// install helper, and writes only what the helper accepts. Every failure is reported here,
// once, as one line on stderr.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/ktsign/built_in_keys.h"
#include "tools/ktsign/command_line.h"
#include "tools/ktsign/helper_answer.h"
#include "tools/ktsign/signable_input.h"
#include "tools/ktsign/staged_output.h"
#include "tools/ktsign/usage.h"
#include "tools/signing/exe_signer.h"
#include "tools/signing/file_io.h"
#include "tools/signing/script_signer.h"
#include "tools/signing/signing_key.h"

namespace {

constexpr int kRefused = 2;

ktsign::Opener OpenerOf(const ktsign::Command& command) {
  if (command.verb == ktsign::Verb::Script) {
    return ktsign::Opener::Script;
  }
  return command.exe.keyKind == 'D' ? ktsign::Opener::BlockKindD : ktsign::Opener::BlockKindP;
}

void SignExecutable(const ktsign::Command& command, const signing::SigningKey& key,
                    const signing::Bytes& input) {
  ktsign::RequireExecutableInput(input, command.input);
  const signing::SignedExecutable signedFile = signing::SignExecutable(input, key, command.exe);
  ktsign::StagedOutput output(command.output);
  output.Write(signedFile.bytes);
  const signing::ExecutableLayout& layout = signedFile.layout;
  ktsign::RequireAcceptedExecutable(output.Path(), command.input,
                                    layout.blockStart - layout.padBefore, signedFile.bytes.size());
  output.Commit();
}

void SignScript(const ktsign::Command& command, const signing::SigningKey& key,
                const signing::Bytes& input) {
  ktsign::RequireScriptInput(input, command.input);
  ktsign::StagedOutput output(command.output);
  output.Write(signing::SignScript(input, key, command.exe.form));
  ktsign::RequireAcceptedScript(output.Path(), command.input);
  output.Commit();
}

void Run(const ktsign::Command& command) {
  if (command.verb == ktsign::Verb::Help) {
    const std::string_view text = ktsign::UsageText(command.helpFor);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  const signing::SigningKey key(command.keyPath);
  ktsign::RequireBuiltInKey(key.Modulus(), OpenerOf(command), command.keyPath);
  const signing::Bytes input = signing::ReadInputFile(command.input);
  if (command.verb == ktsign::Verb::Exe) {
    SignExecutable(command, key, input);
  } else {
    SignScript(command, key, input);
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Run(ktsign::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
    return 0;
  } catch (const ktsign::UsageError& error) {
    std::fprintf(stderr, "ktsign: %s (see ktsign --help)\n", error.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ktsign: %s\n", error.what());
  }
  return kRefused;
}
