// Holds a named mutex for a test, as a running helper or product would:
//   mutex_holder NAME READY STOP [event]
// creates and owns the mutex NAME (with "event": an event of that name instead, which no
// mutex can then take), then creates the file READY, and holds the object until the file
// STOP appears. Exit codes: 0 stopped by STOP, 1 bad command line, 2 the object could not be
// created, 3 READY could not be written, 4 STOP never came.
#include <windows.h>

#include <cwchar>

namespace {

// Far longer than a test holds the mutex; a driver that never says stop does not leave the
// holder behind for good.
constexpr ULONGLONG kLongestHoldMs = 60000;
constexpr DWORD kPollMs = 10;

bool FileExists(const wchar_t* path) {
  return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool event = argc == 5 && std::wcscmp(argv[4], L"event") == 0;
  if (argc != 4 && !event) {
    return 1;
  }
  HANDLE held =
      event ? CreateEventW(nullptr, TRUE, FALSE, argv[1]) : CreateMutexW(nullptr, TRUE, argv[1]);
  if (held == nullptr) {
    return 2;
  }
  HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) {
    CloseHandle(held);
    return 3;
  }
  CloseHandle(ready);

  const ULONGLONG deadline = GetTickCount64() + kLongestHoldMs;
  while (!FileExists(argv[3]) && GetTickCount64() < deadline) {
    Sleep(kPollMs);
  }
  const int result = FileExists(argv[3]) ? 0 : 4;
  if (!event) {
    ReleaseMutex(held);
  }
  CloseHandle(held);
  return result;
}
