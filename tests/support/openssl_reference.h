// OpenSSL as an independent reference for the multiple-precision and RSA code: numbers
// from and to digit arrays, exact arithmetic, and a freshly generated RSA-2048 test key
// with its raw (unpadded) private and public operations.
#ifndef KT_TESTS_OPENSSL_REFERENCE_H
#define KT_TESTS_OPENSSL_REFERENCE_H

#include <openssl/bn.h>
#include <openssl/evp.h>

#include <cstdint>
#include <memory>
#include <vector>

using Digits = std::vector<uint32_t>;
using Octets = std::vector<uint8_t>;

struct BnFree {
  void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
using BnPtr = std::unique_ptr<BIGNUM, BnFree>;

// The value of n digits, least significant first.
BnPtr BnFromDigits(const Digits& digits);

// The value as exactly n digits; aborts the test program if it needs more.
Digits BnToDigits(const BIGNUM* bn, uint32_t n);

// Exact results, each as many digits as the widest result can need.
Digits ReferenceModExp(const Digits& x, const Digits& e, const Digits& m);     // m.size() digits
Digits ReferenceProduct(const Digits& a, const Digits& b);                     // 2 a.size() digits
void ReferenceDivide(const Digits& u, const Digits& v, Digits* q, Digits* r);  // u.size() each

// The MD5 of a buffer, computed by OpenSSL.
Octets ReferenceMd5(const Octets& data);

// An RSA key pair generated at construction (e = 65537), with raw modular operations on
// octet strings of the modulus's size.
class RsaTestKey {
 public:
  explicit RsaTestKey(int bits);
  RsaTestKey(const RsaTestKey&) = delete;
  RsaTestKey& operator=(const RsaTestKey&) = delete;
  ~RsaTestKey();

  // Modulus as k octets, most significant first.
  Octets Modulus() const;
  // block^d mod n, k octets; the block must be k octets and below the modulus.
  Octets PrivateRaw(const Octets& block) const;
  EVP_PKEY* Key() const { return key_; }

 private:
  EVP_PKEY* key_;
};

// OpenSSL's raw public operation with its context prepared once, for timing.
class RsaPublicOperation {
 public:
  explicit RsaPublicOperation(const RsaTestKey& key);
  RsaPublicOperation(const RsaPublicOperation&) = delete;
  RsaPublicOperation& operator=(const RsaPublicOperation&) = delete;
  ~RsaPublicOperation();

  // out (k octets) = signature^e mod n; false when OpenSSL refuses.
  bool Run(const uint8_t* signature, size_t size, uint8_t* out, size_t outSize) const;

 private:
  EVP_PKEY_CTX* context_;
};

#endif
