// The usage texts that --help prints.
#ifndef KT_TOOLS_KTSIGN_USAGE_H
#define KT_TOOLS_KTSIGN_USAGE_H

#include <string_view>

#include "tools/ktsign/command_line.h"

namespace ktsign {

// Verb::Help gives the overview of all commands.
std::string_view UsageText(Verb verb);

}  // namespace ktsign

#endif
