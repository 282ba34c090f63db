// An X display of the tests' own (Xvfb, no window manager), on which the helper's message
// boxes become real windows that a test can find and answer, for as long as the object lives.
#ifndef KT_TESTS_WINE_XVFB_DISPLAY_H
#define KT_TESTS_WINE_XVFB_DISPLAY_H

#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_directory.h"

class XvfbDisplay {
 public:
  // Starts Xvfb on a display number that no other server uses and returns once it accepts
  // clients. Throws std::runtime_error when Xvfb is missing, ends or is not ready in time.
  XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;
  // Ends the server, which removes its socket and lock file.
  ~XvfbDisplay();

  // ":N", the value of DISPLAY for its clients.
  const std::string& Name() const { return name_; }

 private:
  TempDirectory scratch_;
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
};

#endif
