// The script signature: a trailer at the very end of a file, an RSA signature (key KeyD)
// over the file's size and the MD5 of everything before the trailer.
//
//   binary form                          text form
//   0       S-257  signed content        0       S-513  signed content
//   S-257   256    signature             S-513   512    signature, hexadecimal
//   S-1     1      'B'                   S-1     1      'T'
//
// Decoded signature: offset 20, 4 octets: S, little-endian, masked with the size
// keystream; offset 32, 16 octets: MD5 of the signed content.
#ifndef KT_VERIFY_SCRIPT_SIGNATURE_H
#define KT_VERIFY_SCRIPT_SIGNATURE_H

#include <cstdint>

// Starting state of the keystream that masks the signed size.
constexpr uint32_t SizeMaskSeed = 0x5E1C47B2u;

// Results of VerifyScriptSignature.
constexpr int32_t kScriptValid = 0;
constexpr int32_t kScriptShortRead = 1;
constexpr int32_t kScriptNotFound = 2;
constexpr int32_t kScriptOpenFailed = 3;
constexpr int32_t kScriptNoMemory = 4;
constexpr int32_t kScriptMismatch = 5;
constexpr int32_t kScriptHashFailed = 7;

// Results of HashSignedContent.
constexpr int32_t kHashDone = 0;
constexpr int32_t kHashShortRead = 1;
constexpr int32_t kHashNoMemory = 4;
constexpr int32_t kHashBadArgument = 8;

// 0 when the file carries a valid script signature, else one of the reasons above.
int32_t VerifyScriptSignature(const wchar_t* path);

// Masks `count` bytes in place (masking twice with the same start state restores them) and
// stores the advanced state. Null `bytes` or `state`, or count <= 0, masks nothing.
void ApplyKeystream(uint8_t* bytes, int32_t count, uint32_t* state);

// MD5 of the first S - trailerLength bytes of the open file, read from the current
// position; copies the first digestLength octets to `digest`.
int32_t HashSignedContent(int file, uint32_t trailerLength, uint8_t* digest, uint32_t digestLength);

#endif
