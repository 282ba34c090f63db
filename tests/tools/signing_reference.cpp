// Reference computations for the signing tests.
#include "tests/tools/signing_reference.h"

#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <memory>
#include <numeric>

#include "crypto/rsa.h"

namespace reference {
namespace {

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
  void operator()(BN_CTX* context) const { BN_CTX_free(context); }
};

uint16_t LoadU16Le(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

uint32_t LoadU32Le(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::vector<Range> ExcludedRanges(const Octets& file, uint32_t regionStart, uint32_t regionLength) {
  std::vector<Range> ranges;
  std::vector<Range> certificate;
  if (file.size() >= 64 && file[0] == 'M' && file[1] == 'Z') {
    const uint32_t e = LoadU32Le(&file[60]);
    const uint32_t d = e + (LoadU16Le(&file[e + 24]) == 0x10B ? 152 : 168);
    ranges.push_back({e + 88, e + 91});
    ranges.push_back({d, d + 7});
    const uint32_t c = LoadU32Le(&file[d]);
    if (c != 0) {
      certificate.push_back({c, c + LoadU32Le(&file[d + 4]) - 1});
    }
  }
  ranges.insert(ranges.end(), certificate.begin(), certificate.end());
  const Range region{regionStart, regionStart + regionLength - 1};
  size_t at = ranges.empty() ? 0 : 1;
  while (at < ranges.size() && ranges[at].start <= region.end) {
    ++at;
  }
  ranges.insert(ranges.begin() + static_cast<long>(at), region);
  return ranges;
}

Octets KeptBytes(const Octets& file, const std::vector<Range>& ranges, size_t limit) {
  Octets kept;
  for (size_t i = 0; i < limit && i < file.size(); ++i) {
    bool excluded = false;
    for (const Range& range : ranges) {
      excluded = excluded || (i >= range.start && i <= range.end);
    }
    if (!excluded) {
      kept.push_back(file[i]);
    }
  }
  return kept;
}

uint32_t ExcludedTotal(const std::vector<Range>& ranges) {
  return std::accumulate(
      ranges.begin(), ranges.end(), uint32_t{0},
      [](uint32_t total, const Range& range) { return total + (range.end - range.start + 1); });
}

Octets Sha256(const Octets& data) {
  Octets digest(32);
  unsigned int size = 0;
  EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha256(), nullptr), 1);
  EXPECT_EQ(size, digest.size());
  return digest;
}

Octets PemModulus(const std::string& path) {
  std::unique_ptr<BIO, BioFree> bio(BIO_new_file(path.c_str(), "r"));
  EXPECT_NE(bio, nullptr) << path;
  if (bio == nullptr) {
    return {};
  }
  std::unique_ptr<EVP_PKEY, KeyFree> key(
      PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
  if (key == nullptr) {
    BIO_reset(bio.get());
    key.reset(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
  }
  EXPECT_NE(key, nullptr) << path;
  BIGNUM* n = nullptr;
  if (key == nullptr || EVP_PKEY_get_bn_param(key.get(), "n", &n) != 1) {
    ADD_FAILURE() << "no modulus in " << path;
    return {};
  }
  const BnPtr owned(n);
  Octets modulus(static_cast<size_t>(BN_num_bytes(n)));
  BN_bn2bin(n, modulus.data());
  return modulus;
}

Octets RawPublic(const Octets& signature, const Octets& modulus) {
  const BnPtr s(BN_bin2bn(signature.data(), static_cast<int>(signature.size()), nullptr));
  const BnPtr n(BN_bin2bn(modulus.data(), static_cast<int>(modulus.size()), nullptr));
  const BnPtr e(BN_new());
  const BnPtr m(BN_new());
  const std::unique_ptr<BN_CTX, ContextFree> context(BN_CTX_new());
  Octets message(modulus.size());
  const bool done = s && n && e && m && context && BN_set_word(e.get(), 65537) == 1 &&
                    BN_mod_exp(m.get(), s.get(), e.get(), n.get(), context.get()) == 1 &&
                    BN_bn2binpad(m.get(), message.data(), static_cast<int>(message.size())) >= 0;
  EXPECT_TRUE(done) << "OpenSSL's public operation failed";
  return message;
}

HelperDecoding DecodeAsTheHelper(const Octets& signature, const Octets& modulus) {
  HelperDecoding result{0, Octets(modulus.size(), 0)};
  Octets scratch(16, 0);
  result.length = VerifySignedDigest(signature.data(), result.decoded.data(), modulus.data(),
                                     static_cast<uint32_t>(8 * modulus.size()), scratch.data());
  return result;
}

Octets HexDecode(const std::string& text) {
  EXPECT_EQ(text.size() % 2, 0u);
  Octets octets;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    unsigned int value = 0;
    EXPECT_EQ(std::sscanf(text.substr(i, 2).c_str(), "%2x", &value), 1) << text.substr(i, 2);
    octets.push_back(static_cast<uint8_t>(value));
  }
  return octets;
}

uint32_t UnmaskSize(const uint8_t* masked) {
  uint8_t plain[4];
  uint32_t a = 0x5E1C47B2;
  for (int i = 0; i < 4; ++i) {
    const uint32_t k = a % 255 + 1;
    plain[i] = static_cast<uint8_t>(masked[i] ^ k);
    a += a / 255 + k;
  }
  return LoadU32Le(plain);
}

}  // namespace reference
