// ktverify's arguments: options first or mixed with the files; "--" ends the options.
#include "tools/ktverify/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "tools/ktverify/wide_path.h"

namespace ktverify {

const char kUsage[] =
    "usage: ktverify [--mode N] [--format text|tsv|json] FILE...\n"
    "\n"
    "Answers, for each FILE, what the install helper would answer: whether it may be\n"
    "started, accepted through its signature block (key P or D) or its script signature.\n"
    "\n"
    "  --mode N        verification mode (default 2, as the helper uses; 1 and 2 allow the\n"
    "                  script signature, 0 and 3 or more do not)\n"
    "  --format text   one sentence per file (default)\n"
    "  --format tsv    RESULT<TAB>DETAIL<TAB>STATUS<TAB>PATH per file\n"
    "  --format json   one JSON object per file and line, with the keys path, result,\n"
    "                  detail, status and message (the sentence of the text format)\n"
    "  --help          this text\n"
    "\n"
    "A FILE name must be valid UTF-8 without a backslash (the helper's verifier reads '\\'\n"
    "as '/'); any other name is a usage error, before any file is checked.\n"
    "Directories, FIFOs and devices are answered as files that cannot be opened.\n"
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
  if (text == "json") {
    return Format::Json;
  }
  throw UsageError("--format is text, tsv or json, not '" + text + "'");
}

// `name` with every byte outside printable ASCII, and the backslash, as \xHH, so that a name
// that is no text can still be quoted in a message.
std::string Escaped(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || byte == '\\') {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

// The verifier takes wide paths and reads '\' as '/', so only a UTF-8 name without a
// backslash reaches it as the very file that was named.
FileArgument ParseFileName(const std::string& name) {
  std::optional<std::wstring> path = WidePath(name);
  if (!path) {
    throw UsageError("file name '" + Escaped(name) + "' is not valid UTF-8");
  }
  if (name.find('\\') != std::string::npos) {
    throw UsageError("file name '" + name + "' holds a backslash, which the verifier reads as '/'");
  }
  return {name, std::move(*path)};
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
      command.files.push_back(ParseFileName(arg));
    }
  }
  if (command.files.empty()) {
    throw UsageError("no file given");
  }
  return command;
}

}  // namespace ktverify
