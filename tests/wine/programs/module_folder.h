// The folder of the running program, with its trailing backslash, for files that a test
// program keeps beside itself.
#ifndef KT_TESTS_WINE_PROGRAMS_MODULE_FOLDER_H
#define KT_TESTS_WINE_PROGRAMS_MODULE_FOLDER_H

#include <windows.h>

#include <string>

inline std::wstring ModuleFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

#endif
