// Holds a named mutex for a test, as a running helper or product would:
//   mutex_holder NAME READY STOP
// creates and owns the mutex NAME, then creates the file READY, and holds the mutex until
// the file STOP appears. Exit codes: 0 stopped by STOP, 1 bad command line, 2 the mutex
// could not be created, 3 READY could not be written, 4 STOP never came.
#include <windows.h>

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
  if (argc != 4) {
    return 1;
  }
  HANDLE mutex = CreateMutexW(nullptr, TRUE, argv[1]);
  if (mutex == nullptr) {
    return 2;
  }
  HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) {
    CloseHandle(mutex);
    return 3;
  }
  CloseHandle(ready);

  const ULONGLONG deadline = GetTickCount64() + kLongestHoldMs;
  while (!FileExists(argv[3]) && GetTickCount64() < deadline) {
    Sleep(kPollMs);
  }
  const int result = FileExists(argv[3]) ? 0 : 4;
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return result;
}
