// The flow tests' shared set-up and transcripts.
#include "tests/app/flow_test.h"

#include <algorithm>

#include "app/system_services.h"

namespace {

void ReplaceAll(std::wstring* text, const std::wstring& placeholder, const std::wstring& value) {
  for (size_t at = text->find(placeholder); at != std::wstring::npos;
       at = text->find(placeholder, at + value.size())) {
    text->replace(at, placeholder.size(), value);
  }
}

}  // namespace

SetUp Place(const std::string& name, const Bytes& bytes) {
  return [name, bytes](FakeSystem*, const HelperFolder& helper) { helper.Write(name, bytes); };
}

SetUp Both(const SetUp& first, const SetUp& second) {
  return [first, second](FakeSystem* system, const HelperFolder& helper) {
    first(system, helper);
    second(system, helper);
  };
}

FlowTest::FlowTest() {
  system_.modulePath = helper_.ModulePath();
}

std::vector<std::wstring> FlowTest::Expand(const std::vector<std::wstring>& patterns) const {
  std::vector<std::wstring> expanded;
  for (std::wstring line : patterns) {
    ReplaceAll(&line, L"<folder>", helper_.Folder());
    ReplaceAll(&line, L"<parent>", helper_.Parent());
    ReplaceAll(&line, L"<module>", system_.modulePath.substr(0, kPathLimit));
    expanded.push_back(line);
  }
  return expanded;
}

bool HasEvent(const std::vector<std::wstring>& events, const std::wstring& prefix) {
  return std::any_of(events.begin(), events.end(), [&prefix](const std::wstring& event) {
    return event.compare(0, prefix.size(), prefix) == 0;
  });
}
