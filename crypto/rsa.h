// Opening a 2048-bit RSA signature with a public modulus and exponent 65537, and checking
// the digest that the decoded block carries about itself.
#ifndef KT_CRYPTO_RSA_H
#define KT_CRYPTO_RSA_H

#include <cstdint>

// Decoded block, read against the k = modulusBits / 8 octets of `decoded`:
//
//   offset       size  content
//   0            L     signed message (interpreted by the callers)
//   L            P     filler, P = (modulusBits - L) mod 16
//   L + P        16    MD5 of octets 0 .. L-1
//   ...                not examined
//   k - 16       4     L, little-endian, at most k - 32
//   k - 12       12    not examined
//
// Computes m = signature^65537 mod modulus (signature and modulus are k octets, most
// significant first) and writes m's octets without leading zeros to decoded[0..], leaving
// the rest of `decoded` as the caller filled it; `decoded` must hold k octets.
// `digestScratch` (16 octets) receives the computed MD5 once L has passed its bound.
// Returns L when the stored digest matches, else 0 (also for L = 0 and when memory runs
// out, in which case neither buffer is written).
uint32_t VerifySignedDigest(const uint8_t* signature, uint8_t* decoded, const uint8_t* modulus,
                            uint32_t modulusBits, uint8_t* digestScratch);

#endif
