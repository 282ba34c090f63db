// What every test under Wine shares within one run of kt_wine_tests: the Windows build under
// test, its architecture, the prefix, the signed and unsigned loader stand-ins, and why the
// tests are skipped when this machine cannot run the build.
#ifndef KT_TESTS_WINE_WINE_SESSION_H
#define KT_TESTS_WINE_WINE_SESSION_H

#include <memory>
#include <string>

#include "tests/support/file_bytes.h"
#include "tests/wine/wine_prefix.h"

// Where the test programs lie inside the prefix.
constexpr const char* kToolsFolder = "C:\\kt\\tools";

struct WineSession {
  std::string windowsBin;  // the Windows build's bin folder: kthelper.exe and the test programs
  std::string arch;        // "x86_64" or "x86", from kthelper.exe's header
  std::string skipReason;  // empty when the tests run
  // Which resource reader reads kthelper.exe's resources, for the output, and why the
  // resource tests are skipped (empty when they run). Where x86 programs cannot run, the
  // x86-64 reader of another build reads the x86 exe as a data file, in an x86-64 prefix.
  std::string readerNote;
  std::string readerSkipReason;
  std::unique_ptr<WinePrefix> prefix;
  Bytes helper;          // kthelper.exe
  Bytes signedLoader;    // the loader stand-in, signed with ktsign
  Bytes unsignedLoader;  // the same program, unsigned
};

// Reads the build in `windowsBin`, and unless this machine cannot run it, makes the prefix,
// puts the test programs into kToolsFolder and signs the loader stand-in. When it cannot,
// and `readerBin` (may be empty) names an x86-64 build, makes an x86-64 prefix with that
// build's resource reader alone. Throws std::runtime_error when something the tests need is
// missing or fails.
void OpenWineSession(const std::string& windowsBin, const std::string& readerBin);
// The session that OpenWineSession opened; ends with the process.
WineSession& Session();
// Ends the prefix's programs and its wineserver.
void CloseWineSession();

#endif
