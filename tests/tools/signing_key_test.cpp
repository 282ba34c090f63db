// SigningKey: the modulus and the raw private operation of a development key, checked with
// OpenSSL's public operation, and the key files it refuses, made at test time.
#include "tools/signing/signing_key.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <memory>
#include <ostream>
#include <string>

#include "tests/support/temp_directory.h"
#include "tests/tools/expect_refusal.h"
#include "tests/tools/fixtures.h"
#include "tests/tools/signing_reference.h"

namespace {

TEST(SigningKey, ModulusIsTheKeyFilesModulus) {
  const signing::SigningKey key(DevKey("key-p.pem"));
  const signing::RsaBlock modulus = key.Modulus();
  EXPECT_EQ(Octets(modulus.begin(), modulus.end()), reference::PemModulus(DevKey("key-p.pem")));
}

// Raw RSA: the public operation gives back exactly the block that was signed, for blocks at
// both ends of the range below the modulus.
TEST(SigningKey, SignRawIsInvertedByThePublicOperation) {
  const signing::SigningKey key(DevKey("key-d.pem"));
  const Octets modulus = reference::PemModulus(DevKey("key-d.pem"));
  signing::RsaBlock zeroes{};
  signing::RsaBlock small{};
  small[255] = 2;
  signing::RsaBlock high{};
  high.fill(0xFF);
  high[0] = 0x7F;
  signing::RsaBlock pattern{};
  const Octets filler = Filler(256);
  std::copy(filler.begin(), filler.end(), pattern.begin());
  pattern[0] = 0x4B;
  for (const signing::RsaBlock& block : {zeroes, small, high, pattern}) {
    const signing::RsaBlock signature = key.SignRaw(block);
    EXPECT_EQ(reference::RawPublic(Octets(signature.begin(), signature.end()), modulus),
              Octets(block.begin(), block.end()));
  }
}

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;

PkeyPtr RsaKey(unsigned int bits, unsigned int exponent) {
  std::unique_ptr<EVP_PKEY_CTX, void (*)(EVP_PKEY_CTX*)> context(
      EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr), EVP_PKEY_CTX_free);
  BIGNUM* e = BN_new();
  EVP_PKEY* key = nullptr;
  const bool made = context != nullptr && e != nullptr && BN_set_word(e, exponent) == 1 &&
                    EVP_PKEY_keygen_init(context.get()) == 1 &&
                    EVP_PKEY_CTX_set_rsa_keygen_bits(context.get(), static_cast<int>(bits)) == 1 &&
                    EVP_PKEY_CTX_set1_rsa_keygen_pubexp(context.get(), e) == 1 &&
                    EVP_PKEY_keygen(context.get(), &key) == 1;
  BN_free(e);
  EXPECT_TRUE(made);
  return PkeyPtr(key);
}

enum class PemKind { Private, Public, Encrypted };

std::string WritePem(const TempDirectory& dir, const char* name, EVP_PKEY* key, PemKind kind) {
  std::string path = dir.File(name);
  std::unique_ptr<BIO, int (*)(BIO*)> bio(BIO_new_file(path.c_str(), "w"), BIO_free);
  char passphrase[] = "secret";
  const int written =
      kind == PemKind::Public
          ? PEM_write_bio_PUBKEY(bio.get(), key)
          : PEM_write_bio_PrivateKey(
                bio.get(), key, kind == PemKind::Encrypted ? EVP_aes_256_cbc() : nullptr,
                kind == PemKind::Encrypted ? reinterpret_cast<unsigned char*>(passphrase) : nullptr,
                kind == PemKind::Encrypted ? 6 : 0, nullptr, nullptr);
  EXPECT_EQ(written, 1) << path;
  return path;
}

struct RefusedKey {
  const char* name;
  std::function<std::string(const TempDirectory&)> make;
  const char* reason;
};
void PrintTo(const RefusedKey& row, std::ostream* out) {
  *out << row.name;
}

class SigningKeyRefusal : public ::testing::TestWithParam<RefusedKey> {};

TEST_P(SigningKeyRefusal, NamesTheFileAndTheReason) {
  const RefusedKey& c = GetParam();
  const TempDirectory dir;
  const std::string path = c.make(dir);
  ExpectRefusal([&] { const signing::SigningKey key(path); }, {path, c.reason});
}

const RefusedKey kRefusedKeys[] = {
    {"Rsa1024",
     [](const TempDirectory& dir) {
       return WritePem(dir, "k1024.pem", RsaKey(1024, 65537).get(), PemKind::Private);
     },
     "1024-bit"},
    {"Rsa3072",
     [](const TempDirectory& dir) {
       return WritePem(dir, "k3072.pem", RsaKey(3072, 65537).get(), PemKind::Private);
     },
     "3072-bit"},
    {"Exponent3",
     [](const TempDirectory& dir) {
       return WritePem(dir, "e3.pem", RsaKey(2048, 3).get(), PemKind::Private);
     },
     "65537"},
    {"PublicKeyOnly",
     [](const TempDirectory& dir) {
       return WritePem(dir, "public.pem", RsaKey(2048, 65537).get(), PemKind::Public);
     },
     "no unencrypted PEM private key"},
    {"Encrypted",
     [](const TempDirectory& dir) {
       return WritePem(dir, "encrypted.pem", RsaKey(2048, 65537).get(), PemKind::Encrypted);
     },
     "no unencrypted PEM private key"},
    {"EllipticCurve",
     [](const TempDirectory& dir) {
       const PkeyPtr ecKey{EVP_EC_gen("P-256")};
       return WritePem(dir, "ec.pem", ecKey.get(), PemKind::Private);
     },
     "not an RSA key"},
    {"NotPem",
     [](const TempDirectory& dir) {
       return dir.Write("junk.pem", {'n', 'o', ' ', 'k', 'e', 'y', '\n'});
     },
     "no unencrypted PEM private key"},
    {"Missing", [](const TempDirectory& dir) { return dir.File("missing.pem"); }, "cannot open"},
};

INSTANTIATE_TEST_SUITE_P(Files, SigningKeyRefusal, ::testing::ValuesIn(kRefusedKeys),
                         ::testing::PrintToStringParamName());

}  // namespace
