// Fuzzes the verifier's door. The first input byte picks the mode (byte % 4: 1 and 2 allow
// the script fallback, 0 and 3 forbid it); the rest is the file. Beyond the sanitizers it
// checks what the entry points promise about their results and status codes.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_input_file.h"
#include "verify/status.h"
#include "verify/verify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const uint32_t mode = data[0] % 4;
  const wchar_t* path = WriteFuzzInput(data + 1, size - 1);

  VerifyStatus status = 0;
  const int accepted = VerifyFileSignature(path, &status, mode);
  FuzzCheck(accepted == 0 || accepted == 1, "VerifyFileSignature returns 1 or 0");
  FuzzCheck(status >= 0 && status <= StatusReadError && status != 6 && status != 12,
            "VerifyFileSignature reports a known status, never 6 or 12");
  FuzzCheck(accepted == 0 || status == StatusOpenFailed || status == StatusNoMemory,
            "an accepted file carries status 2 (script) or 3 (block)");

  int32_t detail = 0;
  const int32_t result = CheckFileSignature(path, &detail);
  FuzzCheck(result != 0 || detail == 2 || detail == 3,
            "CheckFileSignature's 0 comes with detail 2 or 3");
  // CheckFileSignature verifies with mode 2, which behaves as mode 1: both allow the fallback.
  if (mode == 1 || mode == 2) {
    FuzzCheck((result == 0) == (accepted == 1 || status == StatusVerifiedWithKeyD),
              "CheckFileSignature accepts exactly what VerifyFileSignature accepts, and 'D' files");
  }
  return 0;
}
