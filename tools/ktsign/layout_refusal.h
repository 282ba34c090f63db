// Why an input cannot carry a signature block, in words for the person signing it: the rule
// of the helper's layout check that the signed copy would break, and what to do instead.
#ifndef KT_TOOLS_KTSIGN_LAYOUT_REFUSAL_H
#define KT_TOOLS_KTSIGN_LAYOUT_REFUSAL_H

#include <string>

#include "verify/signed_layout.h"

namespace ktsign {

// The refusal message for `inputPath`; `fault` is not LayoutFault::None.
std::string LayoutRefusal(const std::string& inputPath, LayoutFault fault);

}  // namespace ktsign

#endif
