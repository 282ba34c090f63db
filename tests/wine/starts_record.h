// The record that the loader stand-in (programs/loader_stub.cpp) keeps in its folder: one
// line per start, its command line and its current folder.
#ifndef KT_TESTS_WINE_STARTS_RECORD_H
#define KT_TESTS_WINE_STARTS_RECORD_H

#include <string>
#include <vector>

constexpr const char* kStartsRecord = "starts.txt";

struct LoaderStart {
  std::string commandLine;
  std::string folder;
};

// The starts in the record at `path`, in order; none when there is no record. Throws
// std::runtime_error on a line that is not "command line<TAB>folder".
std::vector<LoaderStart> ReadStarts(const std::string& path);

// A command line split as Windows splits off the program: a quoted program runs to the next
// quote, an unquoted one to the first blank or tab; `rest` is everything after it.
struct CommandLineParts {
  std::string program;
  std::string rest;
};
CommandLineParts SplitProgram(const std::string& commandLine);

#endif
