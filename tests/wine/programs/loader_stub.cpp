// Stands in for the web loader. Each start appends one line to starts.txt in the program's
// own folder: its command line, a tab, its current folder, a newline, in UTF-8. A test reads
// from it whether, how often, with what command line and where the helper started it.
#include <windows.h>

#include <string>

#include "tests/wine/programs/module_folder.h"
#include "tests/wine/programs/utf8_output.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const DWORD units = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(units, L'\0');
  folder.resize(GetCurrentDirectoryW(units, &folder[0]));

  // One write per start, appended, so two starts at once still give two whole lines.
  const std::string line = Utf8(GetCommandLineW()) + "\t" + Utf8(folder) + "\n";
  const std::wstring record = ModuleFolder() + L"starts.txt";
  HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  const bool written = WriteAll(file, line);
  CloseHandle(file);
  return written ? 0 : 1;
}
