// Command dispatch: the whole argument must be one of the three commands.
#include "app/dispatch.h"

#include "app/launch_flow.h"
#include "app/remove_flow.h"

namespace {

wchar_t FoldAscii(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Equal but for the letter case of A to Z; no other character is folded, whatever the
// locale would say.
bool EqualIgnoringAsciiCase(const wchar_t* left, const wchar_t* right) {
  for (; *left != L'\0' && *right != L'\0'; ++left, ++right) {
    if (FoldAscii(*left) != FoldAscii(*right)) {
      return false;
    }
  }
  return *left == *right;
}

}  // namespace

ExitCode DispatchCommand(int32_t argc, wchar_t** argv, SystemServices& system) {
  if (argc != 2 || argv == nullptr || argv[1] == nullptr) {
    return ExitCode::BadCommandLine;
  }
  const wchar_t* command = argv[1];
  if (EqualIgnoringAsciiCase(command, L"/install")) {
    return RunLaunch(system, true);
  }
  if (EqualIgnoringAsciiCase(command, L"/remove")) {
    return RunRemove(system);
  }
  if (EqualIgnoringAsciiCase(command, L"/start")) {
    return RunLaunch(system, false);
  }
  return ExitCode::BadCommandLine;
}
