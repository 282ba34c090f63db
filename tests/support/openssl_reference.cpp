// OpenSSL reference helpers for the multiple-precision and RSA tests and benchmarks.
#include "tests/support/openssl_reference.h"

#include <openssl/err.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <cstdlib>

namespace {

// A reference that fails cannot tell us anything; stop loudly instead of comparing against
// garbage.
void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "OpenSSL reference failed: %s\n", what);
    ERR_print_errors_fp(stderr);
    std::abort();
  }
}

Octets LittleEndianOctets(const Digits& digits) {
  Octets octets(digits.size() * 4);
  for (size_t i = 0; i < octets.size(); ++i) {
    octets[i] = static_cast<uint8_t>(digits[i / 4] >> (8 * (i % 4)));
  }
  return octets;
}

struct CtxFree {
  void operator()(BN_CTX* ctx) const { BN_CTX_free(ctx); }
};
using BnCtxPtr = std::unique_ptr<BN_CTX, CtxFree>;

BnCtxPtr NewContext() {
  BnCtxPtr ctx(BN_CTX_new());
  Require(ctx != nullptr, "BN_CTX_new");
  return ctx;
}

struct PkeyCtxFree {
  void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};

}  // namespace

BnPtr BnFromDigits(const Digits& digits) {
  const Octets octets = LittleEndianOctets(digits);
  BnPtr bn(BN_lebin2bn(octets.data(), static_cast<int>(octets.size()), nullptr));
  Require(bn != nullptr, "BN_lebin2bn");
  return bn;
}

Digits BnToDigits(const BIGNUM* bn, uint32_t n) {
  Octets octets(static_cast<size_t>(n) * 4);
  Require(BN_bn2lebinpad(bn, octets.data(), static_cast<int>(octets.size())) >= 0,
          "BN_bn2lebinpad: value wider than expected");
  Digits digits(n, 0);
  for (size_t i = 0; i < octets.size(); ++i) {
    digits[i / 4] |= static_cast<uint32_t>(octets[i]) << (8 * (i % 4));
  }
  return digits;
}

Digits ReferenceModExp(const Digits& x, const Digits& e, const Digits& m) {
  const BnCtxPtr ctx = NewContext();
  const BnPtr y(BN_new());
  Require(y != nullptr, "BN_new");
  Require(BN_mod_exp(y.get(), BnFromDigits(x).get(), BnFromDigits(e).get(), BnFromDigits(m).get(),
                     ctx.get()) == 1,
          "BN_mod_exp");
  return BnToDigits(y.get(), static_cast<uint32_t>(m.size()));
}

Digits ReferenceProduct(const Digits& a, const Digits& b) {
  const BnCtxPtr ctx = NewContext();
  const BnPtr w(BN_new());
  Require(w != nullptr, "BN_new");
  Require(BN_mul(w.get(), BnFromDigits(a).get(), BnFromDigits(b).get(), ctx.get()) == 1, "BN_mul");
  return BnToDigits(w.get(), static_cast<uint32_t>(2 * a.size()));
}

void ReferenceDivide(const Digits& u, const Digits& v, Digits* q, Digits* r) {
  const BnCtxPtr ctx = NewContext();
  const BnPtr quotient(BN_new());
  const BnPtr remainder(BN_new());
  Require(quotient != nullptr && remainder != nullptr, "BN_new");
  Require(BN_div(quotient.get(), remainder.get(), BnFromDigits(u).get(), BnFromDigits(v).get(),
                 ctx.get()) == 1,
          "BN_div");
  *q = BnToDigits(quotient.get(), static_cast<uint32_t>(u.size()));
  *r = BnToDigits(remainder.get(), static_cast<uint32_t>(u.size()));
}

Octets ReferenceMd5(const Octets& data) {
  Octets digest(16);
  unsigned int size = 0;
  Require(EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_md5(), nullptr) == 1,
          "EVP_Digest MD5");
  Require(size == digest.size(), "MD5 size");
  return digest;
}

RsaTestKey::RsaTestKey(int bits) : key_(EVP_RSA_gen(static_cast<unsigned int>(bits))) {
  Require(key_ != nullptr, "EVP_RSA_gen");
}

RsaTestKey::~RsaTestKey() {
  EVP_PKEY_free(key_);
}

Octets RsaTestKey::Modulus() const {
  BIGNUM* n = nullptr;
  Require(EVP_PKEY_get_bn_param(key_, "n", &n) == 1, "EVP_PKEY_get_bn_param n");
  const BnPtr owned(n);
  Octets octets(static_cast<size_t>(EVP_PKEY_get_size(key_)));
  Require(BN_bn2binpad(n, octets.data(), static_cast<int>(octets.size())) >= 0, "BN_bn2binpad");
  return octets;
}

Octets RsaTestKey::PrivateRaw(const Octets& block) const {
  std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> ctx(EVP_PKEY_CTX_new(key_, nullptr));
  Require(ctx != nullptr, "EVP_PKEY_CTX_new");
  Require(EVP_PKEY_decrypt_init(ctx.get()) == 1, "EVP_PKEY_decrypt_init");
  Require(EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_NO_PADDING) == 1, "no padding");
  Octets out(static_cast<size_t>(EVP_PKEY_get_size(key_)));
  size_t outSize = out.size();
  Require(EVP_PKEY_decrypt(ctx.get(), out.data(), &outSize, block.data(), block.size()) == 1,
          "EVP_PKEY_decrypt");
  Require(outSize == out.size(), "raw RSA output size");
  return out;
}

RsaPublicOperation::RsaPublicOperation(const RsaTestKey& key)
    : context_(EVP_PKEY_CTX_new(key.Key(), nullptr)) {
  Require(context_ != nullptr, "EVP_PKEY_CTX_new");
  Require(EVP_PKEY_verify_recover_init(context_) == 1, "EVP_PKEY_verify_recover_init");
  Require(EVP_PKEY_CTX_set_rsa_padding(context_, RSA_NO_PADDING) == 1, "no padding");
}

RsaPublicOperation::~RsaPublicOperation() {
  EVP_PKEY_CTX_free(context_);
}

bool RsaPublicOperation::Run(const uint8_t* signature, size_t size, uint8_t* out,
                             size_t outSize) const {
  size_t written = outSize;
  return EVP_PKEY_verify_recover(context_, out, &written, signature, size) == 1 &&
         written == outSize;
}
