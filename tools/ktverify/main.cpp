// ktverify: answers, for each file, what the install helper would answer about starting it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/ktverify/answer_text.h"
#include "tools/ktverify/command_line.h"
#include "verify/verify.h"

namespace {

constexpr int kAllAccepted = 0;
constexpr int kSomeRejected = 1;
constexpr int kUsage = 2;

ktverify::Answer Check(const std::wstring& path, uint32_t mode) {
  int32_t status = 0;
  const int verified = VerifyFileSignature(path.c_str(), &status, mode);
  ktverify::Answer answer{0, 0, status};
  answer.result = MapFileSignatureOutcome(verified, status, &answer.detail);
  return answer;
}

std::string Line(ktverify::Format format, const std::string& name, const ktverify::Answer& answer) {
  switch (format) {
    case ktverify::Format::Tsv:
      return ktverify::AnswerTsv(name, answer);
    case ktverify::Format::Json:
      return ktverify::AnswerJson(name, answer);
    case ktverify::Format::Text:
      break;
  }
  return ktverify::AnswerSentence(name, answer);
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
  for (const ktverify::FileArgument& file : command.files) {
    const ktverify::Answer answer = Check(file.path, command.mode);
    std::printf("%s\n", Line(command.format, file.name, answer).c_str());
    if (answer.result != 0) {
      exitCode = kSomeRejected;
    }
  }
  return std::fflush(stdout) == 0 ? exitCode : kUsage;
}
