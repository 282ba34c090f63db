// MD5 and SHA-256 of one buffer in one pass, for callers that need both digests of the same
// bytes. The results are those of Md5Digest and Sha256Digest.
#ifndef KT_CRYPTO_MD5_SHA256_H
#define KT_CRYPTO_MD5_SHA256_H

#include <cstdint>

// Writes the 16-byte MD5 and the 32-byte SHA-256 digest of `length` bytes at `data`. With the
// SHA instructions in use every block is read once for both; otherwise the two digests run
// one after the other.
void Md5Sha256Digest(const uint8_t* data, uint32_t length, uint8_t md5[16], uint8_t sha256[32]);

#endif
