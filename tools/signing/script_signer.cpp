// A signed script, S being the size of the whole output:
//
//   binary form                          text form
//   offset   size  content               offset   size  content
//   0        S-257 content               0        S-513 content
//   S-257    256   signature             S-513    512   signature, uppercase hex digits
//   S-1      1     'B'                   S-1      1     'T'
//
// The signature covers S itself, so the two forms of one content carry different messages.
#include "tools/signing/script_signer.h"

#include "tools/signing/evp_digest.h"
#include "tools/signing/field_writer.h"
#include "tools/signing/signed_message.h"
#include "tools/signing/signing_error.h"
#include "tools/signing/size_limit.h"

namespace signing {

Bytes SignScript(const Bytes& content, const SigningKey& key, Form form) {
  const uint64_t size = content.size() + kRsaOctets * BytesPerOctet(form) + 1;
  if (size >= kFileSizeLimit) {
    throw SigningError("the signed script would be 4 GiB or larger");
  }
  const RsaBlock signature = key.SignRaw(
      ScriptMessage(static_cast<uint32_t>(size), Md5Of(content.data(), content.size())));
  Bytes output(content);
  output.reserve(size);
  FieldWriter trailer(form, &output);
  trailer.Octets(signature.data(), signature.size());
  trailer.Char(static_cast<char>(form));
  return output;
}

}  // namespace signing
