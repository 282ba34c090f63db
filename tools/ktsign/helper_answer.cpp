// Asks what ktverify would answer: VerifyFileSignature in the helper's mode, mapped as
// CheckFileSignature maps it. A block of key kind 'D' is answered with result 0, detail 3,
// like one of kind 'P'; a script signature with detail 2.
#include "tools/ktsign/helper_answer.h"

#include <fcntl.h>

#include <optional>
#include <string>

#include "tools/ktsign/layout_refusal.h"
#include "tools/ktsign/refusal.h"
#include "tools/ktverify/wide_path.h"
#include "tools/signing/file_io.h"
#include "verify/signed_layout.h"
#include "verify/verify.h"

namespace ktsign {
namespace {

constexpr uint32_t kHelperMode = 2;
constexpr int32_t kAcceptedByBlock = 3;
constexpr int32_t kAcceptedByScript = 2;

struct Answer {
  int32_t result;
  int32_t detail;
  int32_t status;
};

// The verifier takes wide paths and reads '\\' as '/': a path that is no UTF-8, or that holds a
// backslash, would be answered for another file or for none.
Answer AskHelper(const std::string& path) {
  const std::optional<std::wstring> wide = ktverify::WidePath(path);
  if (!wide || path.find('\\') != std::string::npos) {
    throw Refusal("the helper's verifier cannot name the signed copy " + path +
                  ", so nothing was written: name OUT by a UTF-8 path without a backslash");
  }
  Answer answer{0, 0, 0};
  const int verified = VerifyFileSignature(wide->c_str(), &answer.status, kHelperMode);
  answer.result = MapFileSignatureOutcome(verified, answer.status, &answer.detail);
  return answer;
}

Refusal Refused(const std::string& inputPath, const Answer& answer) {
  return Refusal("the helper's verifier does not accept the signed copy of " + inputPath +
                 " (result " + std::to_string(answer.result) + ", detail " +
                 std::to_string(answer.detail) + ", status " + std::to_string(answer.status) +
                 "; ktverify explains these), so nothing was written");
}

// The rule of the layout check that the file breaks, or LayoutFault::None. On the host the
// verifier reads through POSIX descriptors.
LayoutFault BrokenLayoutRule(const std::string& path, uint64_t regionStart, uint64_t length) {
  const signing::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  LayoutFault fault = LayoutFault::None;
  if (file.Get() >= 0) {
    CheckSignedLayout(file.Get(), static_cast<uint32_t>(length), regionStart, length - regionStart,
                      &fault, nullptr);
  }
  return fault;
}

}  // namespace

void RequireAcceptedExecutable(const std::string& path, const std::string& inputPath,
                               uint64_t regionStart, uint64_t length) {
  const Answer answer = AskHelper(path);
  if (answer.result == 0 && answer.detail == kAcceptedByBlock) {
    return;
  }
  const LayoutFault fault = BrokenLayoutRule(path, regionStart, length);
  if (fault != LayoutFault::None) {
    throw Refusal(LayoutRefusal(inputPath, fault));
  }
  throw Refused(inputPath, answer);
}

void RequireAcceptedScript(const std::string& path, const std::string& inputPath) {
  const Answer answer = AskHelper(path);
  if (answer.result != 0 || answer.detail != kAcceptedByScript) {
    throw Refused(inputPath, answer);
  }
}

}  // namespace ktsign
