// The signing key must be the private half of the built-in key that will open the signature,
// or the helper refuses every file signed with it.
#ifndef KT_TOOLS_KTSIGN_BUILT_IN_KEYS_H
#define KT_TOOLS_KTSIGN_BUILT_IN_KEYS_H

#include <string>

#include "tools/signing/rsa_block.h"

namespace ktsign {

// What a signature is opened with: a block of key kind 'P' with KeyP, one of kind 'D' and
// every script signature with KeyD.
enum class Opener { BlockKindP, BlockKindD, Script };

// Throws Refusal unless `modulus`, that of the key in `keyPath`, is the built-in key of
// `opener`; the message names that key and the file this build embedded it from.
void RequireBuiltInKey(const signing::RsaBlock& modulus, Opener opener, const std::string& keyPath);

}  // namespace ktsign

#endif
