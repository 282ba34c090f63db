// ktverify: answers, for each file, what the install helper would answer about starting it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/ktverify/answer_text.h"
#include "tools/ktverify/command_line.h"
#include "tools/ktverify/wide_path.h"
#include "verify/verify.h"

namespace {

constexpr int kAllAccepted = 0;
constexpr int kSomeRejected = 1;
constexpr int kUsage = 2;

ktverify::Answer Check(const std::string& path, uint32_t mode) {
  const std::wstring wide = ktverify::WidePath(path);
  int32_t status = 0;
  const int verified = VerifyFileSignature(wide.c_str(), &status, mode);
  ktverify::Answer answer{0, 0, status};
  answer.result = MapFileSignatureOutcome(verified, status, &answer.detail);
  return answer;
}

}  // namespace

int main(int argc, char** argv) {
  ktverify::Command command;
  try {
    command = ktverify::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const ktverify::UsageError& error) {
    std::fprintf(stderr, "ktverify: %s (see ktverify --help)\n", error.what());
    return kUsage;
  }
  if (command.help) {
    std::fputs(ktverify::kUsage, stdout);
    return kAllAccepted;
  }
  int exitCode = kAllAccepted;
  for (const std::string& path : command.files) {
    const ktverify::Answer answer = Check(path, command.mode);
    const std::string line = command.format == ktverify::Format::Tsv
                                 ? ktverify::AnswerTsv(path, answer)
                                 : ktverify::AnswerSentence(path, answer);
    std::printf("%s\n", line.c_str());
    if (answer.result != 0) {
      exitCode = kSomeRejected;
    }
  }
  return std::fflush(stdout) == 0 ? exitCode : kUsage;
}
