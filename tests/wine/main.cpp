// kt_wine_tests: kthelper.exe and its resources under Wine, for one Windows build a run.
//   kt_wine_tests --windows-bin=build/windows/bin [--reader-bin=DIR] [GoogleTest options]
// The bin folder holds kthelper.exe and the test programs of tests/wine/programs. A build
// this machine cannot run (x86 where no 32-bit program starts) has its tests skipped, and
// says why; its resources are still read when --reader-bin names an x86-64 build, whose
// resource reader loads the exe as a data file.
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tests/wine/wine_session.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::string binOption = "--windows-bin=";
  const std::string readerOption = "--reader-bin=";
  std::string windowsBin;
  std::string readerBin;
  bool usage = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.compare(0, binOption.size(), binOption) == 0) {
      windowsBin = arg.substr(binOption.size());
    } else if (arg.compare(0, readerOption.size(), readerOption) == 0) {
      readerBin = arg.substr(readerOption.size());
      usage = usage || readerBin.empty();
    } else {
      usage = true;
    }
  }
  if (usage || windowsBin.empty()) {
    std::fprintf(stderr,
                 "usage: kt_wine_tests --windows-bin=DIR [--reader-bin=DIR] [GoogleTest "
                 "options]\n");
    return 2;
  }

  try {
    OpenWineSession(windowsBin, readerBin);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kt_wine_tests: %s\n", error.what());
    CloseWineSession();
    return 1;
  }
  if (!Session().skipReason.empty()) {
    std::fprintf(stderr, "kt_wine_tests: the tests that run %s/kthelper.exe are skipped: %s\n",
                 windowsBin.c_str(), Session().skipReason.c_str());
  }
  if (Session().readerSkipReason.empty()) {
    std::fprintf(stderr, "kt_wine_tests: the resources of %s/kthelper.exe are read by %s\n",
                 windowsBin.c_str(), Session().readerNote.c_str());
  } else {
    std::fprintf(stderr, "kt_wine_tests: the resource tests are skipped: %s\n",
                 Session().readerSkipReason.c_str());
  }
  const int result = RUN_ALL_TESTS();
  CloseWineSession();
  return result;
}
