// Runs a tool from a test and hands back what it said on each stream, so that tests can
// check where a message went and a failing step can be reported with the tool's own words.
#ifndef KT_TESTS_RUN_PROGRAM_H
#define KT_TESTS_RUN_PROGRAM_H

#include <string>
#include <vector>

struct ProgramResult {
  int exitCode;     // the exit status, or 128 + signal number when a signal ended it
  std::string out;  // standard output
  std::string err;  // standard error
};

// Starts argv[0] (searched on PATH) with the arguments and waits for it. Throws
// std::runtime_error when the program cannot be started at all.
ProgramResult RunProgram(const std::vector<std::string>& argv);

// RunProgram, and throws std::runtime_error naming the command and quoting both of its
// streams unless it exits with 0.
void RunProgramOrThrow(const std::vector<std::string>& argv);

#endif
