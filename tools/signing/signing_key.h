// An RSA-2048 private key with public exponent 65537, loaded from an unencrypted PEM file,
// and the raw private operation that makes a signature of a prepared 256-octet message.
#ifndef KT_TOOLS_SIGNING_SIGNING_KEY_H
#define KT_TOOLS_SIGNING_SIGNING_KEY_H

#include <openssl/evp.h>

#include <string>

#include "tools/signing/bytes.h"
#include "tools/signing/openssl_owners.h"
#include "tools/signing/rsa_block.h"

namespace signing {

class SigningKey {
 public:
  // Throws SigningError when the file cannot be read (or is no regular file, see
  // ReadInputFile), holds no PEM private key, or holds one that is not RSA with a 2048-bit
  // modulus and exponent 65537.
  explicit SigningKey(const std::string& pemPath);
  // The same from the contents of a key file that the caller has read itself; `name` stands
  // for the file in messages.
  SigningKey(const Bytes& pem, const std::string& name);
  SigningKey(const SigningKey&) = delete;
  SigningKey& operator=(const SigningKey&) = delete;

  // The modulus, most significant octet first.
  RsaBlock Modulus() const;

  // message^d mod n, without padding; the message must lie below the modulus.
  RsaBlock SignRaw(const RsaBlock& message) const;

 private:
  OpenSslPtr<EVP_PKEY> key_;
};

}  // namespace signing

#endif
