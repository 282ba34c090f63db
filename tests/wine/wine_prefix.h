// A Wine prefix and a HOME of the tests' own, made afresh under the build tree, so that no run
// sees the user's prefix, desktop or home folder, or a previous run's files.
#ifndef KT_TESTS_WINE_WINE_PREFIX_H
#define KT_TESTS_WINE_WINE_PREFIX_H

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

class WinePrefix {
 public:
  // Removes `root`, makes root/prefix and root/home (with its Desktop folder, which Wine links
  // as the user's desktop) and boots the prefix with `loader`, the Wine loader of the
  // programs' architecture. Throws std::runtime_error when the prefix cannot be made.
  WinePrefix(const std::string& root, const std::string& loader);
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;
  // Ends every program of the prefix and its wineserver.
  ~WinePrefix();

  // The Unix path of a path on drive C: "C:\kt\x" gives <prefix>/drive_c/kt/x.
  std::string UnixPath(const std::string& windowsPath) const;
  // $HOME/Desktop, where the user's desktop folder points.
  const std::string& DesktopFolder() const { return desktop_; }

  // Runs a Windows program (argv[0] its Windows path) to its end; nothing when it has not
  // ended within `limit`. The exit code is the program's, modulo 256.
  std::optional<ProgramResult> Run(const std::vector<std::string>& argv,
                                   std::chrono::milliseconds limit) const;
  // Starts a Windows program that the caller stops.
  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv) const;
  // The same on the X display `display` (":N"), where its message boxes wait for an answer.
  std::unique_ptr<ChildProcess> StartOnDisplay(const std::vector<std::string>& argv,
                                               const std::string& display) const;

  // Waits until no program runs in the prefix any more, so that whatever a program started
  // has run to its end too; false when programs still run after `limit`.
  bool WaitUntilIdle(std::chrono::milliseconds limit) const;
  // Ends every program of the prefix at once.
  void KillAll() const;

 private:
  // argv under the prefix's environment: `env` with the variables set and unset.
  // `display`, when not empty, is the value of DISPLAY.
  std::vector<std::string> InPrefix(const std::vector<std::string>& argv,
                                    const std::string& display = std::string()) const;

  std::string prefix_;
  std::string home_;
  std::string desktop_;
  std::string loader_;
};

#endif
