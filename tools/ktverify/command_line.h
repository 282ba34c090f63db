// What one ktverify run is asked to do, taken from its arguments.
#ifndef KT_TOOLS_KTVERIFY_COMMAND_LINE_H
#define KT_TOOLS_KTVERIFY_COMMAND_LINE_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ktverify {

enum class Format { Text, Tsv };

struct Command {
  bool help = false;
  uint32_t mode = 2;  // what the helper passes: script signatures allowed
  Format format = Format::Text;
  std::vector<std::string> files;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `args` excludes the program name. Throws UsageError.
Command ParseCommandLine(const std::vector<std::string>& args);

extern const char kUsage[];

}  // namespace ktverify

#endif
