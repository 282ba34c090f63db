// The operating-system services the flows use, and nothing else. The helper implements them
// with the real Windows calls (app/win32/); the host tests with a recording fake, so every
// flow runs on Linux call by call against the real verifier. The services keep the Windows
// semantics the flows rely on: 260-unit path buffers, the 259-character limit, truncation by
// the call itself, a shell-open record with the fields of SHELLEXECUTEINFOW.
#ifndef KT_APP_SYSTEM_SERVICES_H
#define KT_APP_SYSTEM_SERVICES_H

#include <cstdint>
#include <memory>

#include "app/sync_object.h"

// The platform's path buffer: 259 characters and the terminating zero.
constexpr uint32_t kPathBufferUnits = 260;
constexpr uint32_t kPathLimit = 259;

// Message box styles and the answer the flows look at (the Windows values).
constexpr uint32_t kBoxOk = 0x00;
constexpr uint32_t kBoxYesNo = 0x04;
constexpr uint32_t kBoxIconError = 0x10;
constexpr uint32_t kBoxIconQuestion = 0x20;
constexpr uint32_t kBoxIconWarning = 0x30;
constexpr int32_t kAnswerYes = 6;

// SW_SHOW
constexpr int32_t kShowNormal = 5;

// What the flows hand to the shell: the fields of SHELLEXECUTEINFOW that they set; every
// other field of the real record is zero. The strings stay valid until the call returns.
struct ShellOpenRecord {
  uint32_t mask = 0;
  const wchar_t* verb = nullptr;
  const wchar_t* file = nullptr;
  const wchar_t* parameters = nullptr;
  const wchar_t* directory = nullptr;
  int32_t show = 0;
};

// A string-table block as the resource functions give it: `size` bytes at `data`, or no
// block (data null).
struct StringBlock {
  const void* data = nullptr;
  uint32_t size = 0;
};

// A module that holds resources; null when there is none.
using ResourceModule = const void*;

// Something held until its owner goes: the deny-write guard on a file between its check and
// its start.
class HeldFile {
 public:
  HeldFile() = default;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  virtual ~HeldFile() = default;
};

class SystemServices {
 public:
  SystemServices() = default;
  SystemServices(const SystemServices&) = delete;
  SystemServices& operator=(const SystemServices&) = delete;
  virtual ~SystemServices() = default;

  // The helper's own full path into `buffer` (kPathBufferUnits units), at most `limit`
  // characters; longer paths come back cut, as GetModuleFileNameW cuts them.
  virtual void ModuleFileName(wchar_t* buffer, uint32_t limit) = 0;
  // The system directory (no trailing backslash) into `buffer`, at most `limit` characters;
  // false when the system cannot tell it (the buffer is then left as it was).
  virtual bool SystemDirectory(wchar_t* buffer, uint32_t limit) = 0;
  // The current user's desktop folder (CSIDL_DESKTOPDIRECTORY, not created) into `buffer`
  // (kPathBufferUnits units); false when it cannot be determined.
  virtual bool DesktopDirectory(wchar_t* buffer) = 0;

  // Whether a mutex of this name can be opened (IsMutexPresent).
  virtual bool IsMutexPresent(const wchar_t* name) = 0;
  // Creates or opens the named mutex and holds it until the returned object goes; raises
  // SystemError when it cannot be created.
  virtual std::unique_ptr<ktcplib::CKTSyncObject> HoldMutex(const wchar_t* name) = 0;

  // A message box without owner window; returns the button the user chose.
  virtual int32_t ShowMessageBox(const wchar_t* text, const wchar_t* caption, uint32_t style) = 0;
  // ShellExecuteExW on the record; its result is not looked at.
  virtual void OpenWithShell(const ShellOpenRecord& record) = 0;
  // CreateProcessW with no application name, the writable `commandLine`, nothing inherited,
  // no flags, the helper's environment and `currentDirectory`; closes the handles it gets
  // back. Its result is not looked at.
  virtual void StartProcess(wchar_t* commandLine, const wchar_t* currentDirectory) = 0;
  // DeleteFileW; its result is not looked at.
  virtual void RemoveFile(const wchar_t* path) = 0;
  // Writes a shell link (CreateShortcut); returns its HRESULT. `iconFile` and `arguments` may
  // be null, and are then not set.
  virtual int32_t CreateShortcut(const wchar_t* target, const wchar_t* linkFile,
                                 const wchar_t* iconFile, const wchar_t* arguments) = 0;

  // Opens `path` for reading and denies everyone writing, deleting and renaming it until the
  // returned object goes; null when it cannot be opened.
  virtual std::unique_ptr<HeldFile> HoldFileUnchanged(const wchar_t* path) = 0;

  // The resource module at `index` in the search list, or null past its end.
  virtual ResourceModule ResourceModuleAt(uint32_t index) = 0;
  // The RT_STRING block `blockName` of `module`: at the neutral language (FindResourceExW,
  // language 0) when `neutralLanguage`, else by the system's default choice (FindResourceW).
  virtual StringBlock FindStringBlock(ResourceModule module, uint16_t blockName,
                                      bool neutralLanguage) = 0;
};

#endif
