// One side of the comparison that accepts a signed file: the signed length and digests,
// either as the signature carries them or as computed from the file.
//
// Signed message (the first 174 octets of a decoded signature, little-endian):
//
//   0    6    marker "KTSIGN"
//   6    4    signed length, low 32 bits        30   16   MD5 of the file
//   10   4    signed length, high 32 bits (0)   46   32   SHA-256 of the file
//   14   16   MD5 of the file's first 4096      78   32   carried, not compared
//             bytes                             110  64   carried, not compared
//
// (every digest over the file with its excluded ranges left out)
#ifndef KT_VERIFY_SIGNED_DIGESTS_H
#define KT_VERIFY_SIGNED_DIGESTS_H

#include <cstdint>

#include "crypto/common.h"

constexpr uint32_t kSignedMessageLength = 174;
constexpr char kSignedMessageMarker[] = "KTSIGN";
constexpr uint32_t kMarkerLength = 6;

struct SignedDigests {
  char marker[kMarkerLength];
  uint32_t signedLengthLow;
  uint32_t signedLengthHigh;
  uint8_t headMd5[kMd5Size];
  uint8_t md5[kMd5Size];
  uint8_t sha256[kSha256Size];
  uint8_t carried32[32];
  uint8_t carried64[64];
};

// Digest selection: exactly one of the two is passed.
constexpr uint32_t kDigestWholeFile = 1;  // MD5 and SHA-256 of the whole file
constexpr uint32_t kDigestHead = 2;       // MD5 of the first 4096 bytes

#endif
