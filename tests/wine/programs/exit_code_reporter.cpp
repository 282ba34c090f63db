// Runs a program and prints its whole exit code, which a POSIX parent of Wine sees only
// modulo 256:
//   exit_code_reporter PROGRAM [ARGUMENT...]
// writes "0x" and the code as eight hexadecimal digits to standard output. Exit codes: 0
// reported, 1 bad command line, 2 the program could not be started, 3 the wait failed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/wine/programs/utf8_output.h"

namespace {

// Quoted where the splitter needs it; the tests pass no argument with a quote in it.
std::wstring Quoted(const wchar_t* argument) {
  const std::wstring text(argument);
  if (!text.empty() && text.find_first_of(L" \t") == std::wstring::npos) {
    return text;
  }
  return L"\"" + text + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    return 1;
  }
  std::wstring commandLine = Quoted(argv[1]);
  for (int i = 2; i < argc; ++i) {
    commandLine += L" " + Quoted(argv[i]);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 2;
  }
  CloseHandle(process.hThread);
  DWORD code = 0;
  const bool ended = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (!ended) {
    return 3;
  }
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX\n", static_cast<unsigned long>(code));
  return WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), text) ? 0 : 3;
}
