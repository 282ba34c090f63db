// The two public keys built into the helper: KeyP opens block entries of key kind 'P', KeyD
// those of kind 'D' and every script signature. The build generates their definitions from
// the key files it is configured with.
#ifndef KT_VERIFY_KEYS_H
#define KT_VERIFY_KEYS_H

#include <cstdint>

// The built-in RSA public moduli (exponent 65537), 256 octets each, most significant first.
extern const uint8_t KeyP[256];
extern const uint8_t KeyD[256];

#endif
