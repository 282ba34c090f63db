// The door into the verifier: may this file be started?
#ifndef KT_VERIFY_VERIFY_H
#define KT_VERIFY_VERIFY_H

#include <cstdint>

// 0 when the file may be started, any other value when it must not. `detail` (optional)
// receives a second code: 3 accepted through the signature block, 2 through the script
// signature; for a rejection the reason group (2 not found, 4 cannot be opened or no memory,
// 5 bad signature or changed file, 6 no signature, 8 bad argument, 1 read error, 10 other).
int32_t CheckFileSignature(const wchar_t* path, int32_t* detail);

// The result and detail that CheckFileSignature gives for an outcome of
// VerifyFileSignature (`verified` its result, `status` the status it left).
int32_t MapFileSignatureOutcome(int verified, int32_t status, int32_t* detail);

// 1 (accepted) or 0. The embedded check runs with KeyP; when it does not accept the file
// and `mode` is 1 or 2, the script signature is tried, and accepting through it sets the
// status to 2. A rejection leaves the embedded check's reason in the status.
int VerifyFileSignature(const wchar_t* path, int32_t* status, uint32_t mode);

// The same with the caller's key for block entries of key kind 'P'.
int VerifyFileSignatureWithKey(const wchar_t* path, int32_t* status, uint32_t mode,
                               const uint8_t* key, uint32_t keyLength);

#endif
