// The reason codes of the verifier. Every routine returns 1 for success and 0 for failure
// and explains a failure through an optional `int32_t* status`; a null pointer is allowed
// and then nothing is written. The callers initialise their own copy to 0.
#ifndef KT_VERIFY_STATUS_H
#define KT_VERIFY_STATUS_H

#include <cstdint>

using VerifyStatus = int32_t;

// 0: nothing reported. 6 and 12 are never reported.
constexpr VerifyStatus StatusFileNotFound = 1;
// Also the success code of VerifyFileSignature when the script signature accepted the file.
constexpr VerifyStatus StatusOpenFailed = 2;
// Also the success code of the embedded check when key kind 'P' signed the file.
constexpr VerifyStatus StatusNoMemory = 3;
constexpr VerifyStatus StatusBadArgument = 4;
constexpr VerifyStatus StatusPeLayoutUnreadable = 5;
constexpr VerifyStatus StatusNoSignatureBlock = 7;
constexpr VerifyStatus StatusMalformedBlock = 8;
constexpr VerifyStatus StatusDigestMismatch = 9;
constexpr VerifyStatus StatusNoSignatureEntry = 10;
// A complete, valid check whose signature entry names key kind 'D'; comes with result 0.
constexpr VerifyStatus StatusVerifiedWithKeyD = 11;
constexpr VerifyStatus StatusReadError = 13;

// The two success codes that share a value with a failure code; the routine's result tells
// which is meant.
constexpr VerifyStatus StatusVerifiedByScript = StatusOpenFailed;
constexpr VerifyStatus StatusVerifiedWithKeyP = StatusNoMemory;

// Writes `code` through `status` when the caller gave one; returns 0 so that a failing
// routine can end with `return ReportStatus(status, code);`.
inline int ReportStatus(VerifyStatus* status, VerifyStatus code) {
  if (status != nullptr) {
    *status = code;
  }
  return 0;
}

#endif
