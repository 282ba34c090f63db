// kt_wine_tests: kthelper.exe and its resources under Wine, for one Windows build a run.
//   kt_wine_tests --windows-bin=build/windows/bin [GoogleTest options]
// The bin folder holds kthelper.exe and the test programs of tests/wine/programs. A build
// this machine cannot run (x86 where no 32-bit program starts) has every test skipped, and
// says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tests/wine/wine_session.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::string option = "--windows-bin=";
  std::string windowsBin;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.compare(0, option.size(), option) != 0 || arg.size() == option.size()) {
      std::fprintf(stderr, "usage: kt_wine_tests --windows-bin=DIR [GoogleTest options]\n");
      return 2;
    }
    windowsBin = arg.substr(option.size());
  }
  if (windowsBin.empty()) {
    std::fprintf(stderr, "usage: kt_wine_tests --windows-bin=DIR [GoogleTest options]\n");
    return 2;
  }

  try {
    OpenWineSession(windowsBin);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kt_wine_tests: %s\n", error.what());
    CloseWineSession();
    return 1;
  }
  if (!Session().skipReason.empty()) {
    std::fprintf(stderr, "kt_wine_tests: every test of %s is skipped: %s\n", windowsBin.c_str(),
                 Session().skipReason.c_str());
  }
  const int result = RUN_ALL_TESTS();
  CloseWineSession();
  return result;
}
