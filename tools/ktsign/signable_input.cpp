// The two checks that need only the input; every other rule is checked on the signed copy.
#include "tools/ktsign/signable_input.h"

#include "tools/ktsign/layout_refusal.h"
#include "tools/ktsign/refusal.h"
#include "tools/signing/excluded_ranges.h"

namespace ktsign {
namespace {

// ExecutableHeaderRanges lists the checksum, the directory entry and then the table, if any.
constexpr size_t kTableRange = 2;

}  // namespace

void RequireExecutableInput(const signing::Bytes& input, const std::string& path) {
  if (input.size() < 2 || input[0] != 'M' || input[1] != 'Z') {
    throw Refusal(LayoutRefusal(path, LayoutFault::NotAnExecutable));
  }
  const signing::ExcludedRanges ranges = signing::ExecutableHeaderRanges(input);
  if (ranges.size() > kTableRange &&
      ranges[kTableRange].start + ranges[kTableRange].length != input.size()) {
    throw Refusal(LayoutRefusal(path, LayoutFault::TailNotAtEnd));
  }
}

void RequireScriptInput(const signing::Bytes& input, const std::string& path) {
  if (input.empty()) {
    throw Refusal(path +
                  " is empty: the helper never accepts a signature trailer alone; sign the "
                  "script with its content");
  }
}

}  // namespace ktsign
