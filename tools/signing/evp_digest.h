// MD5 and SHA-256 through OpenSSL's EVP interface: the signer's digests come from the
// reference library, not from the helper's own code that will check them.
#ifndef KT_TOOLS_SIGNING_EVP_DIGEST_H
#define KT_TOOLS_SIGNING_EVP_DIGEST_H

#include <openssl/evp.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "tools/signing/openssl_owners.h"

namespace signing {

using Md5Digest = std::array<uint8_t, 16>;
using Sha256Digest = std::array<uint8_t, 32>;

// One running digest of the algorithm that `Algorithm` names. Throws SigningError when
// OpenSSL fails.
template <size_t Size, const EVP_MD* (*Algorithm)()>
class EvpDigest {
 public:
  EvpDigest();
  void Update(const uint8_t* data, size_t size);
  std::array<uint8_t, Size> Final();

 private:
  OpenSslPtr<EVP_MD_CTX> context_;
};

using Md5 = EvpDigest<16, EVP_md5>;
using Sha256 = EvpDigest<32, EVP_sha256>;

Md5Digest Md5Of(const uint8_t* data, size_t size);

}  // namespace signing

#endif
