// A program started from a test that the test can stop, signal and wait for with a time
// limit, so that a program that hangs fails its test instead of stalling the run.
#ifndef KT_TESTS_CHILD_PROCESS_H
#define KT_TESTS_CHILD_PROCESS_H

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/temp_directory.h"

class ChildProcess {
 public:
  // Starts argv[0] with the arguments, standard output and standard error going to files of
  // its own, SIGINT, SIGTERM and SIGHUP at their default actions and no signal blocked,
  // whatever the test process has set. Throws std::runtime_error when it cannot start.
  explicit ChildProcess(const std::vector<std::string>& argv);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // Kills a child that is still running and reaps it.
  ~ChildProcess();

  void Signal(int signal) const;
  // Whether it stopped (after SIGSTOP) within `limit`; false also when it ended instead.
  bool WaitUntilStopped(std::chrono::milliseconds limit);
  // What it did, once it has ended (waiting up to `limit`); nothing while it runs. exitCode
  // is 128 + the signal's number when a signal ended it.
  std::optional<ProgramResult> WaitForEnd(std::chrono::milliseconds limit);

 private:
  // Keeps the outcome of a child that waitpid reported as ended.
  void NoteEnd(int waitStatus);

  TempDirectory streams_;
  pid_t pid_ = -1;
  std::optional<ProgramResult> result_;
};

// Runs argv to its end; nothing when it has not ended within `limit` (it is then killed).
std::optional<ProgramResult> RunWithin(const std::vector<std::string>& argv,
                                       std::chrono::milliseconds limit);

#endif
