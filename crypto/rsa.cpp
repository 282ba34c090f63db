// Opens an RSA signature with a public modulus and exponent 65537 and checks the MD5 that
// the decoded block stores behind its signed message.
#include "crypto/rsa.h"

#include "crypto/bignum.h"
#include "crypto/common.h"
#include "crypto/md5.h"

namespace {

// The length word sits 16 octets before the block's end; with a 16-octet digest behind
// the message, that bounds the message to k - 32 octets.
constexpr uint32_t kLengthWordFromEnd = 16;
constexpr uint32_t kMinimumBlock = kLengthWordFromEnd + kMd5Size;

// The four working numbers of one call; every exit releases all of them through here.
struct RsaNumbers {
  BigNum* modulus;
  BigNum* exponent;
  BigNum* signature;
  BigNum* result;
};

void ReleaseNumbers(RsaNumbers* numbers) {
  BigNumRelease(&numbers->modulus);
  BigNumRelease(&numbers->exponent);
  BigNumRelease(&numbers->signature);
  BigNumRelease(&numbers->result);
}

// Raises the signature to 65537 modulo the key and writes the result's octets, without
// leading zeros, to decoded[0..]. Returns false, with decoded untouched, when memory runs out.
bool DecodeSignature(RsaNumbers* numbers, const uint8_t* signature, const uint8_t* modulus,
                     uint32_t k, uint8_t* decoded) {
  static const uint8_t kPublicExponent[4] = {0x00, 0x01, 0x00, 0x01};
  BigNum** const slots[] = {&numbers->modulus, &numbers->exponent, &numbers->signature,
                            &numbers->result};
  for (BigNum** slot : slots) {
    *slot = BigNumCreate();
    if (*slot == nullptr) {
      return false;
    }
  }
  // k >= 32 here, so a load fills at least one digit unless memory runs out.
  if (BigNumFromOctets(numbers->modulus, modulus, k) == 0 ||
      BigNumFromOctets(numbers->exponent, kPublicExponent, sizeof kPublicExponent) == 0 ||
      BigNumFromOctets(numbers->signature, signature, k) == 0) {
    return false;
  }
  if (BigNumModExp(numbers->result, numbers->signature, numbers->exponent, numbers->modulus) != 0) {
    return false;
  }
  const uint32_t count = BigNumToOctets(numbers->result, nullptr, 0);
  BigNumToOctets(numbers->result, decoded, count);
  return true;
}

}  // namespace

uint32_t VerifySignedDigest(const uint8_t* signature, uint8_t* decoded, const uint8_t* modulus,
                            uint32_t modulusBits, uint8_t* digestScratch) {
  const uint32_t k = modulusBits / 8;
  // A block shorter than a length word and a digest has no fields to read; reading the
  // length word at k - 16 would fall before the buffer.
  if (k < kMinimumBlock) {
    return 0;
  }
  RsaNumbers numbers = {nullptr, nullptr, nullptr, nullptr};
  const bool decodedOk = DecodeSignature(&numbers, signature, modulus, k, decoded);
  ReleaseNumbers(&numbers);
  if (!decodedOk) {
    return 0;
  }

  const uint32_t length = LoadLe32(decoded + (k - kLengthWordFromEnd));
  if (length > k - kMinimumBlock) {
    return 0;
  }
  Md5Digest(decoded, length, digestScratch);
  // The digest starts at the next offset congruent to modulusBits mod 16, which for a
  // 2048-bit key is the next multiple of 16 at or after the message's end.
  const uint8_t* stored = decoded + length + ((modulusBits - length) & 15u);
  for (uint32_t i = 0; i < kMd5Size; ++i) {
    if (stored[i] != digestScratch[i]) {
      return 0;
    }
  }
  return length;
}
