// The embedded-signature check: a file carrying a signature block is intact and signed by
// one of the built-in keys.
#ifndef KT_VERIFY_EMBEDDED_SIGNATURE_H
#define KT_VERIFY_EMBEDDED_SIGNATURE_H

#include <cstdint>

#include "crypto/common.h"
#include "verify/signature_block.h"
#include "verify/signed_digests.h"
#include "verify/status.h"

// Opens the file read-only (not denying others) and gives back its length, high word 0.
// Returns the descriptor or kFileNotOpen. Statuses: 4 (missing argument), 1 (no such file),
// 2 (cannot be opened), 13 (length unknown, or 4 GiB or more: 32-bit lengths cannot sign
// such a file).
int OpenSignedFile(const wchar_t* path, VerifyStatus* status, uint32_t* lengthLow,
                   uint32_t* lengthHigh);

// Reads the 256-byte signature that `entry` points to (512 hexadecimal digits in a
// text-form block), opens it with the key and copies the signed message into `expected`.
// Statuses: 4, 8 (data length not 256, unknown kind, no "KTSIGN" marker), 3 (seek to the
// data failed, no memory), 13 (short read).
int ReadBlockSignature(SignedDigests* expected, int file, uint32_t blockDistance, char kind,
                       const SignatureEntry* entry, const uint8_t* key, uint32_t keyLength,
                       VerifyStatus* status);

// Compares the signed length and the selected digests. Statuses: 4, 9.
int CompareDigests(const SignedDigests* computed, const SignedDigests* expected, uint32_t selection,
                   VerifyStatus* status);

// The whole check. `key` (keyLength octets, which must be 256) opens entries of key kind
// 'P'; 'D' entries use KeyD. With `headOnly` only the signed length and the MD5 of the
// first 4096 bytes are compared. Returns 1 with status 3 for an accepted 'P' file, and 0
// with status 11 for a valid 'D' file; any other 0 carries the reason.
int VerifyEmbeddedSignature(const wchar_t* path, VerifyStatus* status, const uint8_t* key,
                            uint32_t keyLength, bool headOnly);

#endif
