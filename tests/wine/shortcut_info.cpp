// lnkinfo prints sections of indented "Name<TABs>: value" lines:
//   Windows Shortcut information:
//   	Contains a command line arguments string
//   Link information:
//   	Local path			: C:\kt\x\kthelper.exe
//   	Command line arguments		: /remove
#include "tests/wine/shortcut_info.h"

#include <sstream>
#include <stdexcept>

#include "tests/support/run_program.h"

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) {
    return std::string();
  }
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

}  // namespace

ShortcutInfo ReadShortcut(const std::string& path) {
  const ProgramResult run = RunProgram({"lnkinfo", path});
  if (run.exitCode != 0) {
    throw std::runtime_error("lnkinfo " + path + " exited with " + std::to_string(run.exitCode) +
                             ": " + run.out + run.err);
  }
  ShortcutInfo info;
  info.text = run.out;
  std::istringstream lines(run.out);
  std::string section;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] != '\t') {
      section = Trimmed(line);
      continue;
    }
    if (section == "Windows Shortcut information:") {
      info.parts.insert(Trimmed(line));
    } else if (section == "Link information:") {
      const size_t colon = line.find(':');
      if (colon != std::string::npos) {
        info.fields[Trimmed(line.substr(0, colon))] = Trimmed(line.substr(colon + 1));
      }
    }
  }
  return info;
}
