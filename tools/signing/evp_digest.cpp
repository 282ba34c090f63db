// MD5 and SHA-256 through OpenSSL's EVP interface.
#include "tools/signing/evp_digest.h"

#include "tools/signing/signing_error.h"

namespace signing {

template <size_t Size, const EVP_MD* (*Algorithm)()>
EvpDigest<Size, Algorithm>::EvpDigest() : context_(EVP_MD_CTX_new()) {
  if (context_ == nullptr || EVP_DigestInit_ex(context_.get(), Algorithm(), nullptr) != 1 ||
      EVP_MD_CTX_get_size(context_.get()) != static_cast<int>(Size)) {
    throw SigningError("cannot start a digest");
  }
}

template <size_t Size, const EVP_MD* (*Algorithm)()>
void EvpDigest<Size, Algorithm>::Update(const uint8_t* data, size_t size) {
  if (EVP_DigestUpdate(context_.get(), data, size) != 1) {
    throw SigningError("digest update failed");
  }
}

template <size_t Size, const EVP_MD* (*Algorithm)()>
std::array<uint8_t, Size> EvpDigest<Size, Algorithm>::Final() {
  std::array<uint8_t, Size> digest{};
  unsigned int written = 0;
  if (EVP_DigestFinal_ex(context_.get(), digest.data(), &written) != 1 || written != Size) {
    throw SigningError("digest final step failed");
  }
  return digest;
}

template class EvpDigest<16, EVP_md5>;
template class EvpDigest<32, EVP_sha256>;

Md5Digest Md5Of(const uint8_t* data, size_t size) {
  Md5 md5;
  md5.Update(data, size);
  return md5.Final();
}

}  // namespace signing
