// What one ktverify run is asked to do, taken from its arguments.
#ifndef KT_TOOLS_KTVERIFY_COMMAND_LINE_H
#define KT_TOOLS_KTVERIFY_COMMAND_LINE_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ktverify {

enum class Format { Text, Tsv, Json };

// A file as given (for the answer) and the wide path that names exactly that file.
struct FileArgument {
  std::string name;
  std::wstring path;
};

struct Command {
  bool help = false;
  uint32_t mode = 2;  // what the helper passes: script signatures allowed
  Format format = Format::Text;
  std::vector<FileArgument> files;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `args` excludes the program name. Throws UsageError, also for a file name that the
// verifier could not be given exactly (not UTF-8, or holding a backslash), so that a run
// refuses before it answers for any file.
Command ParseCommandLine(const std::vector<std::string>& args);

extern const char kUsage[];

}  // namespace ktverify

#endif
