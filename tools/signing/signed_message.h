// The 256-octet messages that the RSA signatures carry: one for a signed executable, one for
// a signed script. Both also carry the RSA block's own length word and digest, so that the
// helper's VerifySignedDigest accepts them.
#ifndef KT_TOOLS_SIGNING_SIGNED_MESSAGE_H
#define KT_TOOLS_SIGNING_SIGNED_MESSAGE_H

#include <cstdint>

#include "tools/signing/evp_digest.h"
#include "tools/signing/file_digests.h"
#include "tools/signing/rsa_block.h"

namespace signing {

// Lengths of the self-checked leading part of each message.
constexpr uint32_t kExecutableMessageLength = 174;
constexpr uint32_t kScriptMessageLength = 48;

RsaBlock ExecutableMessage(const FileDigests& digests);

// `signedSize` is the size of the whole signed script, trailer included.
RsaBlock ScriptMessage(uint32_t signedSize, const Md5Digest& contentMd5);

}  // namespace signing

#endif
