// Sentences for the verifier's statuses, in the words a release engineer needs.
#include "tools/ktverify/answer_text.h"

#include "tools/ktverify/json_string.h"
#include "verify/status.h"

namespace ktverify {

namespace {

const char* Acceptance(int32_t status) {
  switch (status) {
    case StatusVerifiedWithKeyP:
      return "accepted through its signature block with key P";
    case StatusVerifiedWithKeyD:
      return "accepted through its signature block with key D";
    case StatusVerifiedByScript:
      return "accepted through its script signature (key D)";
    default:
      return "accepted";
  }
}

const char* Rejection(int32_t status) {
  switch (status) {
    case StatusFileNotFound:
      return "the file does not exist";
    case StatusOpenFailed:
      return "the file cannot be opened for reading, or it is not a regular file";
    case StatusNoMemory:
      return "memory ran out while checking it";
    case StatusBadArgument:
      return "its signature block holds no entries, or the check was called wrongly";
    case StatusPeLayoutUnreadable:
      return "its executable header cannot be read (shorter than 64 bytes, or header "
             "fields beyond its end)";
    case StatusNoSignatureBlock:
      return "it carries no signature block and no valid script signature";
    case StatusMalformedBlock:
      return "its signature block is malformed, or its signature was not made with the "
             "built-in key it names";
    case StatusDigestMismatch:
      return "its content changed after signing (the signed length or a digest differs)";
    case StatusNoSignatureEntry:
      return "its signature block holds no signature entry";
    case StatusReadError:
      return "reading it failed (a short read, or a file of 4 GiB or more)";
    default:
      return "the check gave no reason";
  }
}

}  // namespace

std::string AnswerSentence(const std::string& path, const Answer& answer) {
  std::string line = path + ": ";
  if (answer.result == 0) {
    line += Acceptance(answer.status);
  } else {
    line += "rejected, ";
    line += Rejection(answer.status);
  }
  return line + " (result " + std::to_string(answer.result) + ", status " +
         std::to_string(answer.status) + ")";
}

std::string AnswerTsv(const std::string& path, const Answer& answer) {
  return std::to_string(answer.result) + "\t" + std::to_string(answer.detail) + "\t" +
         std::to_string(answer.status) + "\t" + path;
}

std::string AnswerJson(const std::string& path, const Answer& answer) {
  return "{\"path\":" + JsonString(path) + ",\"result\":" + std::to_string(answer.result) +
         ",\"detail\":" + std::to_string(answer.detail) +
         ",\"status\":" + std::to_string(answer.status) +
         ",\"message\":" + JsonString(AnswerSentence(path, answer)) + "}";
}

}  // namespace ktverify
