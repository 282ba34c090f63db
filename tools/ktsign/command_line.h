// What one ktsign run is asked to do, taken from its arguments.
#ifndef KT_TOOLS_KTSIGN_COMMAND_LINE_H
#define KT_TOOLS_KTSIGN_COMMAND_LINE_H

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/signing/exe_signer.h"
#include "tools/signing/form.h"

namespace ktsign {

enum class Verb { Help, Exe, Script };

struct Command {
  Verb verb = Verb::Help;
  Verb helpFor = Verb::Help;  // with Verb::Help: whose usage to print
  std::string keyPath;
  signing::ExecutableSigningOptions exe;  // exe only; script uses exe.form as its form
  std::string input;
  std::string output;
};

// Arguments that do not make a command.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `args` excludes the program name. Throws UsageError.
Command ParseCommandLine(const std::vector<std::string>& args);

}  // namespace ktsign

#endif
