// Reading the loader stand-in's record.
#include "tests/wine/starts_record.h"

#include <fstream>
#include <stdexcept>

std::vector<LoaderStart> ReadStarts(const std::string& path) {
  std::vector<LoaderStart> starts;
  std::ifstream record(path, std::ios::binary);
  for (std::string line; std::getline(record, line);) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || line.find('\t', tab + 1) != std::string::npos) {
      std::string message = "not a start record in " + path;
      message += ": " + line;
      throw std::runtime_error(message);
    }
    starts.push_back(LoaderStart{line.substr(0, tab), line.substr(tab + 1)});
  }
  return starts;
}

CommandLineParts SplitProgram(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    const size_t close = commandLine.find('"', 1);
    if (close == std::string::npos) {
      return CommandLineParts{commandLine.substr(1), std::string()};
    }
    return CommandLineParts{commandLine.substr(1, close - 1), commandLine.substr(close + 1)};
  }
  const size_t blank = commandLine.find_first_of(" \t");
  if (blank == std::string::npos) {
    return CommandLineParts{commandLine, std::string()};
  }
  return CommandLineParts{commandLine.substr(0, blank), commandLine.substr(blank)};
}
