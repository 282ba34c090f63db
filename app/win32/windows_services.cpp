// WindowsServices: each service is the one Windows call the flows name, with the flows'
// arguments; results the flows do not look at are dropped here.
#include "app/win32/windows_services.h"

#include <windows.h>
// The shell's headers need windows.h before them.
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

#include "app/win32/create_shortcut.h"
#include "app/win32/kt_mutex.h"
#include "app/win32/scoped_handle.h"

// The x86 sizes of the records the flows fill (the 64-bit ones are larger).
#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the x86 record has 60 bytes");
static_assert(sizeof(STARTUPINFOW) == 68, "the x86 record has 68 bytes");
#endif

namespace {

// The deny-write guard: a read handle that shares reading only, so nobody can open the file
// for writing, deleting or renaming while it is held, and readers (the verifier, the started
// program's loader) still can.
class HeldWindowsFile : public HeldFile {
 public:
  explicit HeldWindowsFile(const wchar_t* path) noexcept
      : file_(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

  bool IsOpen() const noexcept { return file_.IsValid(); }

 private:
  ScopedHandle file_;
};

HMODULE ModuleOf(ResourceModule module) {
  return static_cast<HMODULE>(const_cast<void*>(module));
}

}  // namespace

void WindowsServices::ModuleFileName(wchar_t* buffer, uint32_t limit) {
  GetModuleFileNameW(nullptr, buffer, limit);
}

bool WindowsServices::SystemDirectory(wchar_t* buffer, uint32_t limit) {
  // A buffer that turns out too small may have been written to; the caller's stays as it was.
  wchar_t found[kPathBufferUnits] = {};
  const UINT length = GetSystemDirectoryW(found, std::min(limit, kPathBufferUnits));
  if (length == 0 || length >= limit) {
    return false;
  }
  wmemcpy(buffer, found, length + 1);
  return true;
}

bool WindowsServices::DesktopDirectory(wchar_t* buffer) {
  return SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_DESKTOPDIRECTORY, FALSE) != FALSE;
}

bool WindowsServices::IsMutexPresent(const wchar_t* name) {
  return ::IsMutexPresent(name);
}

std::unique_ptr<ktcplib::CKTSyncObject> WindowsServices::HoldMutex(const wchar_t* name) {
  return std::make_unique<ktcplib::CKTMutex>(name);
}

int32_t WindowsServices::ShowMessageBox(const wchar_t* text, const wchar_t* caption,
                                        uint32_t style) {
  return MessageBoxW(nullptr, text, caption, style);
}

void WindowsServices::OpenWithShell(const ShellOpenRecord& record) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = record.mask;
  info.lpVerb = record.verb;
  info.lpFile = record.file;
  info.lpParameters = record.parameters;
  info.lpDirectory = record.directory;
  info.nShow = record.show;
  ShellExecuteExW(&info);
}

void WindowsServices::StartProcess(wchar_t* commandLine, const wchar_t* currentDirectory) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, currentDirectory,
                 &startup, &process);
  // A failed start leaves both handles null; a successful one sets both.
  if (process.hProcess != nullptr && process.hThread != nullptr) {
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
}

void WindowsServices::RemoveFile(const wchar_t* path) {
  DeleteFileW(path);
}

int32_t WindowsServices::CreateShortcut(const wchar_t* target, const wchar_t* linkFile,
                                        const wchar_t* iconFile, const wchar_t* arguments) {
  return ::CreateShortcut(target, linkFile, iconFile, arguments);
}

std::unique_ptr<HeldFile> WindowsServices::HoldFileUnchanged(const wchar_t* path) {
  // Allocated before the file is opened, so that running out of memory leaves no handle open.
  auto held = std::make_unique<HeldWindowsFile>(path);
  if (!held->IsOpen()) {
    return nullptr;
  }
  return held;
}

ResourceModule WindowsServices::ResourceModuleAt(uint32_t index) {
  // The program's own image is the only module that holds the texts.
  return index == 0 ? GetModuleHandleW(nullptr) : nullptr;
}

StringBlock WindowsServices::FindStringBlock(ResourceModule module, uint16_t blockName,
                                             bool neutralLanguage) {
  HMODULE image = ModuleOf(module);
  HRSRC found = neutralLanguage ? FindResourceExW(image, RT_STRING, MAKEINTRESOURCEW(blockName),
                                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL))
                                : FindResourceW(image, MAKEINTRESOURCEW(blockName), RT_STRING);
  if (found == nullptr) {
    return {};
  }
  HGLOBAL loaded = LoadResource(image, found);
  if (loaded == nullptr) {
    return {};
  }
  const void* data = LockResource(loaded);
  if (data == nullptr) {
    return {};
  }
  return {data, SizeofResource(image, found)};
}
