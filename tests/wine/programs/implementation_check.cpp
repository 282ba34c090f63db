// Runs the verifier that kthelper.exe links, CheckFileSignature, on each file given: once for
// every pairing of a SHA-256 and a digit-rows implementation that this build and processor
// run, and for each stack offset that the calling convention allows, every call made through
// the convention guard (convention_guard.h). Prints in UTF-8, first whether each
// implementation of crypto/ runs here:
//   supported sha256=avx2 yes
//   supported rows=adx no
// then one line per check, naming the implementations in use while it ran (so that a choice
// that did not take shows), the stack offset, the callee-saved registers that the check
// changed ("kept" for none) and the verifier's answer:
//   sha256=avx2 rows=portable stack=16 registers=kept result=0 detail=3 path=C:\kt\signed.exe
// Usage: implementation_check FILE...
// Exit codes: 0 checked, 1 no file given, 2 the output could not be written.
#include <windows.h>

#include <cstdint>
#include <string>

#include "crypto/implementation.h"
#include "tests/wine/programs/convention_guard.h"
#include "tests/wine/programs/utf8_output.h"
#include "verify/verify.h"

namespace {

struct Check {
  const wchar_t* path;
  int32_t result;
  int32_t detail;
};

void RunCheck(void* context) {
  auto* check = static_cast<Check*>(context);
  check->result = CheckFileSignature(check->path, &check->detail);
}

template <typename Which>
std::string SupportLine(const char* kind, Which which) {
  return std::string("supported ") + kind + "=" + ImplementationName(which) +
         (ImplementationSupported(which) ? " yes\n" : " no\n");
}

std::string CheckLine(const wchar_t* path, uint32_t stackOffset) {
  Check check = {path, -1, -1};
  const uint32_t changed = CallWithConventionGuard(RunCheck, &check, stackOffset);
  return std::string("sha256=") + ImplementationName(Sha256ImplementationInUse()) +
         " rows=" + ImplementationName(DigitRowsImplementationInUse()) +
         " stack=" + std::to_string(stackOffset) + " registers=" + ChangedRegisters(changed) +
         " result=" + std::to_string(check.result) + " detail=" + std::to_string(check.detail) +
         " path=" + Utf8(path) + "\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (argc < 2) {
    WriteAll(out, "usage: implementation_check FILE...\n");
    return 1;
  }
  std::string support;
  for (Sha256Implementation sha256 : kSha256Implementations) {
    support += SupportLine("sha256", sha256);
  }
  for (DigitRowsImplementation rows : kDigitRowsImplementations) {
    support += SupportLine("rows", rows);
  }
  bool written = WriteAll(out, support);
  // Each line as soon as its check has run, so that a check that brings the program down
  // leaves the ones before it to read.
  for (Sha256Implementation sha256 : kSha256Implementations) {
    if (!UseImplementation(sha256)) {
      continue;
    }
    for (DigitRowsImplementation rows : kDigitRowsImplementations) {
      if (!UseImplementation(rows)) {
        continue;
      }
      for (int i = 1; i < argc; ++i) {
        for (uint32_t stackOffset : kStackOffsets) {
          written = WriteAll(out, CheckLine(argv[i], stackOffset)) && written;
        }
      }
    }
  }
  return written ? 0 : 2;
}
