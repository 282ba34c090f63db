// Every allocation of a check made to fail in turn: the check rejects the file with the
// status of the step that ran out, frees everything and closes the file.
#include <dirent.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "tests/support/memory_fault.h"
#include "tests/support/signed_files.h"
#include "verify/script_signature.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::Form;

size_t OpenDescriptors() {
  size_t count = 0;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) {
    return 0;
  }
  while (readdir(dir) != nullptr) {
    ++count;
  }
  closedir(dir);
  return count;
}

class AllocationFailureTest : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes) { return dir_.Write("file", bytes); }

  TempDirectory dir_;
};

TEST_F(AllocationFailureTest, EmbeddedCheck) {
  for (const Form form : {Form::Binary, Form::Text}) {
    for (const char key : {'P', 'D'}) {
      const std::wstring path = WidePath(Write(
          signing::SignExecutable(SampleExecutable(5000), DevKey(key), {form, key, 0, {}}).bytes));
      const size_t descriptors = OpenDescriptors();
      std::set<VerifyStatus> seen;
      const uint32_t failures = ForEachAllocationFailure([&](uint32_t call) {
        VerifyStatus status = 0;
        const int result = VerifyFileSignature(path.c_str(), &status, 0);
        if (MemoryFaultTriggered()) {
          EXPECT_EQ(result, 0) << "allocation " << call;
          // The header buffer gives 5; the working numbers of the RSA step leave no decoded
          // message, so no marker (8); everything else is 3.
          EXPECT_TRUE(status == StatusNoMemory || status == StatusPeLayoutUnreadable ||
                      status == StatusMalformedBlock)
              << "allocation " << call << " status " << status;
          seen.insert(status);
        } else {
          EXPECT_EQ(status, key == 'P' ? StatusVerifiedWithKeyP : StatusVerifiedWithKeyD);
        }
        EXPECT_EQ(MemoryFaultLiveBlocks(), 0u) << "allocation " << call;
        EXPECT_EQ(OpenDescriptors(), descriptors) << "allocation " << call;
      });
      EXPECT_GT(failures, 10u);
      EXPECT_EQ(seen, (std::set<VerifyStatus>{StatusNoMemory, StatusPeLayoutUnreadable,
                                              StatusMalformedBlock}));
    }
  }
}

TEST_F(AllocationFailureTest, ScriptCheck) {
  for (const Form form : {Form::Binary, Form::Text}) {
    const std::wstring path =
        WidePath(Write(signing::SignScript(SampleContent(3000), DevKey('D'), form)));
    const size_t descriptors = OpenDescriptors();
    std::set<int32_t> seen;
    ForEachAllocationFailure([&](uint32_t call) {
      const int32_t result = VerifyScriptSignature(path.c_str());
      if (MemoryFaultTriggered()) {
        seen.insert(result);
      } else {
        EXPECT_EQ(result, kScriptValid);
      }
      EXPECT_EQ(MemoryFaultLiveBlocks(), 0u) << "allocation " << call;
      EXPECT_EQ(OpenDescriptors(), descriptors) << "allocation " << call;
    });
    // The working area, the RSA step's numbers (the fields then do not match), the content.
    EXPECT_EQ(seen, (std::set<int32_t>{kScriptNoMemory, kScriptMismatch, kScriptHashFailed}));
  }
}

TEST_F(AllocationFailureTest, ScriptThroughTheEntry) {
  const std::wstring path =
      WidePath(Write(signing::SignScript(SampleContent(3000), DevKey('D'), Form::Binary)));
  // Out of memory in the embedded check only changes why it fails, and the script check
  // still accepts the file; out of memory in the script check leaves the embedded reason.
  std::set<std::pair<int, VerifyStatus>> seen;
  ForEachAllocationFailure([&](uint32_t call) {
    VerifyStatus status = 0;
    const int result = VerifyFileSignature(path.c_str(), &status, 2);
    if (MemoryFaultTriggered()) {
      seen.emplace(result, status);
    } else {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(status, StatusVerifiedByScript);
    }
    EXPECT_EQ(MemoryFaultLiveBlocks(), 0u) << "allocation " << call;
  });
  EXPECT_EQ(seen, (std::set<std::pair<int, VerifyStatus>>{{1, StatusVerifiedByScript},
                                                          {0, StatusNoSignatureBlock}}));
}

}  // namespace
