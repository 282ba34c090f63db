// What ktverify prints for one file.
#ifndef KT_TOOLS_KTVERIFY_ANSWER_TEXT_H
#define KT_TOOLS_KTVERIFY_ANSWER_TEXT_H

#include <cstdint>
#include <string>

namespace ktverify {

// The outcome of one file: the helper's result and detail, and the verifier's status.
struct Answer {
  int32_t result;
  int32_t detail;
  int32_t status;
};

// One English sentence: accepted and how, or rejected and why.
std::string AnswerSentence(const std::string& path, const Answer& answer);

// RESULT<TAB>DETAIL<TAB>STATUS<TAB>PATH
std::string AnswerTsv(const std::string& path, const Answer& answer);

// {"path":...,"result":R,"detail":D,"status":S,"message":AnswerSentence(...)}, one line.
// `path` must be valid UTF-8.
std::string AnswerJson(const std::string& path, const Answer& answer);

}  // namespace ktverify

#endif
