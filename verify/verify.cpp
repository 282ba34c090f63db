// The verification entry: the embedded check with KeyP, the script fallback, and the map
// from their outcome to the result the front end tests.
#include "verify/verify.h"

#include "verify/embedded_signature.h"
#include "verify/keys.h"
#include "verify/script_signature.h"
#include "verify/status.h"

namespace {

// Modes that allow the script-signature fallback.
bool AllowsScriptFallback(uint32_t mode) {
  return mode == 1 || mode == 2;
}

struct Answer {
  int32_t result;
  int32_t detail;
};

Answer MapRejection(VerifyStatus status) {
  switch (status) {
    case StatusVerifiedWithKeyD:
      return {0, 3};
    case StatusFileNotFound:
      return {2, 2};
    case StatusOpenFailed:
      return {4, 3};
    case StatusNoMemory:
      return {4, 4};
    case StatusBadArgument:
      return {8, 8};
    case StatusNoSignatureBlock:
      return {6, 6};
    case StatusMalformedBlock:
    case StatusDigestMismatch:
    case StatusNoSignatureEntry:
      return {5, 5};
    case StatusReadError:
      return {1, 1};
    default:
      return {10, 10};
  }
}

}  // namespace

int VerifyFileSignatureWithKey(const wchar_t* path, int32_t* status, uint32_t mode,
                               const uint8_t* key, uint32_t keyLength) {
  if (VerifyEmbeddedSignature(path, status, key, keyLength, false) == 1) {
    return 1;
  }
  if (!AllowsScriptFallback(mode) || VerifyScriptSignature(path) != kScriptValid) {
    return 0;
  }
  if (status != nullptr) {
    *status = StatusVerifiedByScript;
  }
  return 1;
}

int VerifyFileSignature(const wchar_t* path, int32_t* status, uint32_t mode) {
  return VerifyFileSignatureWithKey(path, status, mode, KeyP, kRsaOctets);
}

int32_t MapFileSignatureOutcome(int verified, int32_t status, int32_t* detail) {
  const Answer answer = verified == 1 ? Answer{0, status} : MapRejection(status);
  if (detail != nullptr) {
    *detail = answer.detail;
  }
  return answer.result;
}

int32_t CheckFileSignature(const wchar_t* path, int32_t* detail) {
  if (path == nullptr) {
    if (detail != nullptr) {
      *detail = 8;
    }
    return 8;
  }
  int32_t status = 0;
  const int verified = VerifyFileSignature(path, &status, 2);
  return MapFileSignatureOutcome(verified, status, detail);
}
