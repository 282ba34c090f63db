// What the flow tests share: a helper folder with files made at test time, a fake system
// whose helper sits in it, and transcripts of the expected calls written with placeholders:
//   <folder>  the helper's folder, with its trailing backslash
//   <parent>  the folder above it, with its trailing backslash
//   <module>  the helper's path as the system reports it (cut to 259 characters)
// The mutex names, file names and box styles are written out in the tests themselves: they
// are what other programs see.
#ifndef KT_TESTS_APP_FLOW_TEST_H
#define KT_TESTS_APP_FLOW_TEST_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app/fake_system.h"
#include "tests/app/helper_folder.h"

constexpr const wchar_t* kHelperMutex = L"{F0B336D4-3E88-4364-8249-3A2EABA64365}";
constexpr const wchar_t* kProductMutex = L"{856D85EB-3BEF-48fb-BE9F-039EEB944369}";

// Prepares the system and the folder for one run.
using SetUp = std::function<void(FakeSystem*, const HelperFolder&)>;

// Writes `name` with `bytes` into the helper's folder.
SetUp Place(const std::string& name, const Bytes& bytes);
// Both set-ups, in order.
SetUp Both(const SetUp& first, const SetUp& second);

class FlowTest : public ::testing::Test {
 protected:
  FlowTest();

  // `patterns` with the placeholders filled in.
  std::vector<std::wstring> Expand(const std::vector<std::wstring>& patterns) const;

  HelperFolder helper_;
  FakeSystem system_;
};

// Whether `events` holds a line that starts with `prefix`.
bool HasEvent(const std::vector<std::wstring>& events, const std::wstring& prefix);

#endif
