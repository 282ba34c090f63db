// The last check before a signed copy replaces OUT: the helper's own verifier, with the keys
// built into this program, must accept it the way it was signed.
#ifndef KT_TOOLS_KTSIGN_HELPER_ANSWER_H
#define KT_TOOLS_KTSIGN_HELPER_ANSWER_H

#include <cstdint>
#include <string>

namespace ktsign {

// The signed copy of `inputPath`, written to `path`: an executable whose block region runs
// from `regionStart` to its end, `length` bytes in all. Throws Refusal unless the helper
// accepts it through its signature block; the message names the broken layout rule where
// there is one, and the helper's answer otherwise.
void RequireAcceptedExecutable(const std::string& path, const std::string& inputPath,
                               uint64_t regionStart, uint64_t length);

// The same for a signed script, which must be accepted through its script signature.
void RequireAcceptedScript(const std::string& path, const std::string& inputPath);

}  // namespace ktsign

#endif
