// ktsign exe    --key FILE.pem [--key-kind P|D] [--form binary|text]
//               [--pad-before N] [--pad-after N] IN OUT
// ktsign script --key FILE.pem [--form binary|text] IN OUT
// ktsign [exe|script] --help
#include "tools/ktsign/command_line.h"

#include <cstddef>

namespace ktsign {
namespace {

using signing::Form;

Form ParseForm(const std::string& value) {
  if (value == "binary") {
    return Form::Binary;
  }
  if (value == "text") {
    return Form::Text;
  }
  throw UsageError("--form takes binary or text, not '" + value + "'");
}

char ParseKeyKind(const std::string& value) {
  if (value == "P" || value == "D") {
    return value[0];
  }
  throw UsageError("--key-kind takes P or D, not '" + value + "'");
}

// Decimal digits only; the signer itself limits the value to 32.
uint32_t ParsePad(const std::string& option, const std::string& value) {
  constexpr size_t kMaxDigits = 9;
  if (value.empty() || value.size() > kMaxDigits ||
      value.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError(option + " takes a number of bytes, not '" + value + "'");
  }
  return static_cast<uint32_t>(std::stoul(value));
}

class Arguments {
 public:
  Arguments(const std::vector<std::string>& args, size_t first) : args_(args), next_(first) {}

  bool Done() const { return next_ == args_.size(); }
  const std::string& Take() { return args_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (Done()) {
      throw UsageError(option + " needs a value");
    }
    return Take();
  }

 private:
  const std::vector<std::string>& args_;
  size_t next_;
};

Command ParseSigning(Verb verb, const std::vector<std::string>& args) {
  Command command;
  command.verb = verb;
  std::vector<std::string> files;
  Arguments arguments(args, 1);
  while (!arguments.Done()) {
    const std::string& argument = arguments.Take();
    if (argument == "--help") {
      command.verb = Verb::Help;
      command.helpFor = verb;
      return command;
    }
    if (argument == "--key") {
      command.keyPath = arguments.ValueOf(argument);
    } else if (argument == "--form") {
      command.exe.form = ParseForm(arguments.ValueOf(argument));
    } else if (verb == Verb::Exe && argument == "--key-kind") {
      command.exe.keyKind = ParseKeyKind(arguments.ValueOf(argument));
    } else if (verb == Verb::Exe && argument == "--pad-before") {
      command.exe.padBefore = ParsePad(argument, arguments.ValueOf(argument));
    } else if (verb == Verb::Exe && argument == "--pad-after") {
      command.exe.padAfter = ParsePad(argument, arguments.ValueOf(argument));
    } else if (argument.size() > 1 && argument[0] == '-') {
      throw UsageError("unknown option " + argument + " for " + args[0]);
    } else {
      files.push_back(argument);
    }
  }
  if (command.keyPath.empty()) {
    throw UsageError(args[0] + " needs --key FILE.pem");
  }
  if (files.size() != 2) {
    throw UsageError(args[0] + " takes an input and an output file");
  }
  command.input = files[0];
  command.output = files[1];
  return command;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) {
    throw UsageError("no command given");
  }
  if (args[0] == "--help") {
    return Command{};
  }
  if (args[0] == "exe") {
    return ParseSigning(Verb::Exe, args);
  }
  if (args[0] == "script") {
    return ParseSigning(Verb::Script, args);
  }
  throw UsageError("unknown command " + args[0]);
}

}  // namespace ktsign
