#include "tests/wine/launch_expectations.h"

#include <gtest/gtest.h>

void ExpectStartedOnceFrom(const std::string& folder, const std::vector<LoaderStart>& starts) {
  ASSERT_EQ(starts.size(), 1u) << "the loader should have been started once";
  const CommandLineParts parts = SplitProgram(starts[0].commandLine);
  EXPECT_EQ(parts.program, folder + "\\ktwebloader.exe") << starts[0].commandLine;
  EXPECT_EQ(parts.rest.find_first_not_of(" \t"), std::string::npos)
      << "the loader should get no argument: " << starts[0].commandLine;
  EXPECT_EQ(starts[0].folder, folder);
}
