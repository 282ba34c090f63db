// Loads and checks the private key; signs with OpenSSL's raw RSA private operation.
#include "tools/signing/signing_key.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <limits>

#include "tools/signing/file_io.h"
#include "tools/signing/signing_error.h"

namespace signing {
namespace {

constexpr int kModulusBits = 8 * kRsaOctets;
constexpr unsigned long kPublicExponent = 65537;

// Refuses to prompt for a passphrase: the tool runs unattended, and a prompt would hang it.
int NoPassphrase(char* /*buffer*/, int /*size*/, int /*writing*/, void* /*data*/) {
  return -1;
}

OpenSslPtr<EVP_PKEY> ParsePrivateKey(const Bytes& pem, const std::string& name) {
  // An empty buffer is no key either; OpenSSL's memory source refuses to be made from one.
  if (pem.empty() || pem.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
    throw SigningError(name + " holds no unencrypted PEM private key");
  }
  const OpenSslPtr<BIO> memory(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  if (memory == nullptr) {
    ERR_clear_error();
    throw SigningError("cannot read key file " + name);
  }
  OpenSslPtr<EVP_PKEY> key(PEM_read_bio_PrivateKey(memory.get(), nullptr, NoPassphrase, nullptr));
  ERR_clear_error();
  if (key == nullptr) {
    throw SigningError(name + " holds no unencrypted PEM private key");
  }
  return key;
}

OpenSslPtr<BIGNUM> Parameter(const EVP_PKEY* key, const char* name) {
  BIGNUM* value = nullptr;
  if (EVP_PKEY_get_bn_param(key, name, &value) != 1) {
    ERR_clear_error();
    throw SigningError(std::string("cannot read the RSA parameter ") + name);
  }
  return OpenSslPtr<BIGNUM>(value);
}

void RequireRsa2048(const EVP_PKEY* key, const std::string& path) {
  if (EVP_PKEY_is_a(key, "RSA") != 1) {
    throw SigningError(path + " is not an RSA key");
  }
  const int bits = EVP_PKEY_get_bits(key);
  if (bits != kModulusBits) {
    throw SigningError(path + " has a " + std::to_string(bits) +
                       "-bit modulus; 2048 bits are required");
  }
  const OpenSslPtr<BIGNUM> exponent = Parameter(key, "e");
  if (BN_is_word(exponent.get(), kPublicExponent) != 1) {
    throw SigningError(path + " does not have the public exponent 65537");
  }
}

}  // namespace

// Read through ReadInputFile, so that a FIFO or a device is refused rather than waited on.
SigningKey::SigningKey(const std::string& pemPath) : SigningKey(ReadInputFile(pemPath), pemPath) {}

SigningKey::SigningKey(const Bytes& pem, const std::string& name)
    : key_(ParsePrivateKey(pem, name)) {
  RequireRsa2048(key_.get(), name);
}

RsaBlock SigningKey::Modulus() const {
  const OpenSslPtr<BIGNUM> modulus = Parameter(key_.get(), "n");
  RsaBlock octets{};
  if (BN_bn2binpad(modulus.get(), octets.data(), static_cast<int>(octets.size())) < 0) {
    throw SigningError("the modulus does not fit 256 octets");
  }
  return octets;
}

RsaBlock SigningKey::SignRaw(const RsaBlock& message) const {
  const OpenSslPtr<EVP_PKEY_CTX> context(EVP_PKEY_CTX_new(key_.get(), nullptr));
  RsaBlock signature{};
  size_t written = signature.size();
  const bool signed_ = context != nullptr && EVP_PKEY_sign_init(context.get()) == 1 &&
                       EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_NO_PADDING) == 1 &&
                       EVP_PKEY_sign(context.get(), signature.data(), &written, message.data(),
                                     message.size()) == 1 &&
                       written == signature.size();
  ERR_clear_error();
  if (!signed_) {
    throw SigningError("the RSA private operation failed");
  }
  return signature;
}

}  // namespace signing
