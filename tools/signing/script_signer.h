// Signs a script by appending a signature trailer: the RSA signature over the script's size
// and the MD5 of its content, followed by the form byte.
#ifndef KT_TOOLS_SIGNING_SCRIPT_SIGNER_H
#define KT_TOOLS_SIGNING_SCRIPT_SIGNER_H

#include "tools/signing/bytes.h"
#include "tools/signing/form.h"
#include "tools/signing/signing_key.h"

namespace signing {

// Throws SigningError when the signed script would be 4 GiB or larger.
Bytes SignScript(const Bytes& content, const SigningKey& key, Form form);

}  // namespace signing

#endif
