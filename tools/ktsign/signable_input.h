// Inputs whose signed copy the helper would refuse whatever the signature, told apart before
// anything is signed.
#ifndef KT_TOOLS_KTSIGN_SIGNABLE_INPUT_H
#define KT_TOOLS_KTSIGN_SIGNABLE_INPUT_H

#include <string>

#include "tools/signing/bytes.h"

namespace ktsign {

// Throws Refusal for an input that is no executable ("MZ"), or whose certificate-table entry
// names a table that does not end the input: the block region appended after it would leave
// the table in front of signed bytes. Throws SigningError for header fields outside the input.
void RequireExecutableInput(const signing::Bytes& input, const std::string& path);

// Throws Refusal for an empty script: a trailer alone is never accepted.
void RequireScriptInput(const signing::Bytes& input, const std::string& path);

}  // namespace ktsign

#endif
