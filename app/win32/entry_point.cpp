// The process entry: restrict where DLLs load from, split the command line, dispatch, and turn
// an error that reaches this far into an exit code that no flow produces.
#include <windows.h>
// The shell's header needs windows.h before it.
#include <shellapi.h>

#include <cstdint>
#include <new>

#include "app/dispatch.h"
#include "app/raised_error.h"
#include "app/win32/scoped_local.h"
#include "app/win32/windows_services.h"

namespace {

// DLLs that load later (the shell's, COM's) come from the system folder only, never from the
// helper's own folder, where anyone who can drop a file beside the helper could plant one.
// Looked up at run time: a static import would keep the helper from starting on a system
// without the call.
void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) {
    return;
  }
  // Through void(*)(), the pointer type that converts to every other without a warning.
  const auto call = reinterpret_cast<SetDefaultDllDirectoriesCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (call != nullptr) {
    call(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

// A system error as an HRESULT; code 0 (no error recorded) as E_FAIL, so the result is never
// one of the flows' codes 0 to 5.
int32_t ExitCodeOf(const SystemError& error) {
  const HRESULT result = HRESULT_FROM_WIN32(error.Code());
  return result == S_OK ? E_FAIL : result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystemFolder();
  // No message box below: the exit code is the whole report, and an uncaught error would end
  // the process with 3, which a caller reads as "already running".
  try {
    WindowsServices services;
    int argc = 0;
    const ScopedLocal<wchar_t*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    return static_cast<int>(DispatchCommand(argc, argv.Get(), services));
  } catch (const StringError& error) {
    return static_cast<int>(error.Code());
  } catch (const SystemError& error) {
    return ExitCodeOf(error);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
