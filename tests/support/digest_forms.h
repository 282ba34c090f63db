// Each digest of ours in its two forms (one-shot, incremental over any split) and OpenSSL's
// reference, all as lowercase hex, so that a test compares forms and algorithms alike.
#ifndef KT_TESTS_DIGEST_FORMS_H
#define KT_TESTS_DIGEST_FORMS_H

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "crypto/md5.h"
#include "crypto/sha256.h"

inline std::string HexOf(const uint8_t* bytes, size_t size) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 0x0f];
  }
  return hex;
}

// The digest by the named OpenSSL algorithm. Throws when OpenSSL fails, so that a broken
// reference cannot pass as agreement.
inline std::string OpenSslDigestHex(const char* algorithm, const uint8_t* data, size_t length) {
  EVP_MD* md = EVP_MD_fetch(nullptr, algorithm, nullptr);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  const bool ok = md != nullptr && EVP_Digest(data, length, digest, &size, md, nullptr) == 1;
  EVP_MD_free(md);
  if (!ok) {
    throw std::runtime_error(std::string("OpenSSL digest failed: ") + algorithm);
  }
  return HexOf(digest, size);
}

// The two algorithms behind one interface; Final hides their different argument orders.
struct Md5 {
  using Context = Md5Context;
  static constexpr size_t kSize = 16;
  static constexpr const char* kOpenSslName = "MD5";
  static void Init(Context* context) { Md5Init(context); }
  static void Update(Context* context, const uint8_t* data, uint32_t length) {
    Md5Update(context, data, length);
  }
  static void Final(Context* context, uint8_t* digest) { Md5Final(digest, context); }
  static void OneShot(const uint8_t* data, uint32_t length, uint8_t* digest) {
    Md5Digest(data, length, digest);
  }
};

struct Sha256 {
  using Context = Sha256Context;
  static constexpr size_t kSize = 32;
  static constexpr const char* kOpenSslName = "SHA256";
  static void Init(Context* context) { Sha256Init(context); }
  static void Update(Context* context, const uint8_t* data, uint32_t length) {
    Sha256Update(context, data, length);
  }
  static void Final(Context* context, uint8_t* digest) { Sha256Final(context, digest); }
  static void OneShot(const uint8_t* data, uint32_t length, uint8_t* digest) {
    Sha256Digest(data, length, digest);
  }
};

template <typename Digest>
std::string OneShotHex(const uint8_t* data, uint32_t length) {
  uint8_t digest[Digest::kSize];
  Digest::OneShot(data, length, digest);
  return HexOf(digest, sizeof(digest));
}

// Updates with the given piece lengths in turn; they must add up to the message length.
template <typename Digest>
std::string PiecesHex(const uint8_t* data, const std::vector<uint32_t>& pieces) {
  typename Digest::Context context;
  Digest::Init(&context);
  size_t offset = 0;
  for (uint32_t piece : pieces) {
    Digest::Update(&context, data + offset, piece);
    offset += piece;
  }
  uint8_t digest[Digest::kSize];
  Digest::Final(&context, digest);
  return HexOf(digest, sizeof(digest));
}

// One update over the whole message.
template <typename Digest>
std::string IncrementalHex(const uint8_t* data, uint32_t length) {
  return PiecesHex<Digest>(data, {length});
}

template <typename Digest>
std::string ReferenceHex(const uint8_t* data, size_t length) {
  return OpenSslDigestHex(Digest::kOpenSslName, data, length);
}

// Checks one message through every form: one-shot, one update, two updates split at each
// position (zero-length pieces at both ends included) and one byte per update.
template <typename Digest>
void ExpectEveryFormGives(const std::string& message, const std::string& expected) {
  const auto* data = reinterpret_cast<const uint8_t*>(message.data());
  const auto length = static_cast<uint32_t>(message.size());
  EXPECT_EQ(OneShotHex<Digest>(data, length), expected) << "one-shot, length " << length;
  EXPECT_EQ(IncrementalHex<Digest>(data, length), expected) << "one update, length " << length;
  for (uint32_t split = 0; split <= length; ++split) {
    EXPECT_EQ(PiecesHex<Digest>(data, {split, length - split}), expected)
        << "split at " << split << " of " << length;
  }
  EXPECT_EQ(PiecesHex<Digest>(data, std::vector<uint32_t>(length, 1)), expected)
      << "byte by byte, length " << length;
}

#endif
