// Scope-bound owners of the OpenSSL objects the signing library holds.
#ifndef KT_TOOLS_SIGNING_OPENSSL_OWNERS_H
#define KT_TOOLS_SIGNING_OPENSSL_OWNERS_H

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>

#include <memory>

namespace signing {

struct OpenSslFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
  void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  void operator()(BIO* bio) const { BIO_free(bio); }
  void operator()(BIGNUM* number) const { BN_clear_free(number); }
};

template <typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslFree>;

}  // namespace signing

#endif
