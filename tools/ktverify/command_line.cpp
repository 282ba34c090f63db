// ktverify's arguments: options first or mixed with the files; "--" ends the options.
#include "tools/ktverify/command_line.h"

#include <cerrno>
#include <cstdlib>

namespace ktverify {

const char kUsage[] =
    "usage: ktverify [--mode N] [--format text|tsv] FILE...\n"
    "\n"
    "Answers, for each FILE, what the install helper would answer: whether it may be\n"
    "started, accepted through its signature block (key P or D) or its script signature.\n"
    "\n"
    "  --mode N        verification mode (default 2, as the helper uses; 1 and 2 allow the\n"
    "                  script signature, 0 and 3 or more do not)\n"
    "  --format text   one sentence per file (default)\n"
    "  --format tsv    RESULT<TAB>DETAIL<TAB>STATUS<TAB>PATH per file\n"
    "  --help          this text\n"
    "\n"
    "Exit code: 0 when every file is accepted, 1 when any is rejected, 2 for a usage error.\n";

namespace {

uint32_t ParseMode(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError("--mode needs a decimal number, not '" + text + "'");
  }
  errno = 0;
  const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
  if (errno == ERANGE || value > UINT32_MAX) {
    throw UsageError("--mode " + text + " is out of range");
  }
  return static_cast<uint32_t>(value);
}

Format ParseFormat(const std::string& text) {
  if (text == "text") {
    return Format::Text;
  }
  if (text == "tsv") {
    return Format::Tsv;
  }
  throw UsageError("--format is text or tsv, not '" + text + "'");
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& args) {
  Command command;
  bool options = true;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--help") {
      command.help = true;
      return command;
    } else if (options && (arg == "--mode" || arg == "--format")) {
      if (i + 1 == args.size()) {
        throw UsageError(arg + " needs a value");
      }
      const std::string& value = args[++i];
      if (arg == "--mode") {
        command.mode = ParseMode(value);
      } else {
        command.format = ParseFormat(value);
      }
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      throw UsageError("unknown option " + arg);
    } else {
      command.files.push_back(arg);
    }
  }
  if (command.files.empty()) {
    throw UsageError("no file given");
  }
  return command;
}

}  // namespace ktverify
