// Fuzzes the script-signature check on the whole input as the file.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_input_file.h"
#include "verify/script_signature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int32_t result = VerifyScriptSignature(WriteFuzzInput(data, size));
  FuzzCheck(result == kScriptValid || result == kScriptShortRead || result == kScriptNotFound ||
                result == kScriptOpenFailed || result == kScriptNoMemory ||
                result == kScriptMismatch || result == kScriptHashFailed,
            "VerifyScriptSignature returns one of its listed results");
  return 0;
}
