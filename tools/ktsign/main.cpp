// ktsign: signs executables (signature block) and scripts (signature trailer) for the
// install helper. Every failure is reported here, once, as one line on stderr.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/ktsign/command_line.h"
#include "tools/ktsign/usage.h"
#include "tools/signing/exe_signer.h"
#include "tools/signing/file_io.h"
#include "tools/signing/script_signer.h"
#include "tools/signing/signing_key.h"

namespace {

constexpr int kRefused = 2;

void Run(const ktsign::Command& command) {
  if (command.verb == ktsign::Verb::Help) {
    const std::string_view text = ktsign::UsageText(command.helpFor);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  const signing::SigningKey key(command.keyPath);
  const signing::Bytes input = signing::ReadInputFile(command.input);
  const signing::Bytes output = command.verb == ktsign::Verb::Exe
                                    ? signing::SignExecutable(input, key, command.exe).bytes
                                    : signing::SignScript(input, key, command.exe.form);
  signing::WriteFileAtomically(command.output, output);
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
