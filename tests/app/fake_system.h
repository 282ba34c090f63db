// A recording fake of the operating-system services: every call the flows make is written
// down in order, with its arguments by value, as one line of `events`; what the system
// answers is set in the public fields. String-table lookups go to `resourceCalls` instead,
// so that the events read as what the helper does.
//
// Event lines:
//   probe NAME / hold NAME / release NAME          IsMutexPresent, HoldMutex, the held mutex going
//   module LIMIT / system directory LIMIT / desktop  the folder queries
//   box 0xSTYLE "CAPTION" "TEXT"                    ShowMessageBox
//   guard PATH / unguard PATH                       HoldFileUnchanged, the held file going
//   shell mask=M verb=V file=F parameters=P directory=D show=S
//   process COMMAND LINE in DIRECTORY               StartProcess
//   delete PATH                                     RemoveFile
//   shortcut target=T link=L icon=I arguments=A     CreateShortcut
// A null string argument reads "(none)".
#ifndef KT_TESTS_APP_FAKE_SYSTEM_H
#define KT_TESTS_APP_FAKE_SYSTEM_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/system_services.h"
#include "tests/support/file_bytes.h"

// A module's RT_STRING blocks by (block name, neutral language).
struct FakeModule {
  std::map<std::pair<uint16_t, bool>, Bytes> blocks;

  // The same block under both lookups.
  FakeModule& Block(uint16_t name, const Bytes& bytes);
};

class FakeSystem : public SystemServices {
 public:
  // A system with the program image (block 7 from res/message_texts.def) as its only
  // resource module, a desktop and a system folder, and no mutex held.
  FakeSystem();

  // What the system answers.
  std::wstring modulePath;
  std::optional<std::wstring> desktopFolder = L"C:\\Users\\Tester\\Desktop";
  std::optional<std::wstring> systemFolder = L"C:\\Windows\\system32";
  // Mutexes that exist; HoldMutex adds one for as long as its object lives.
  std::multiset<std::wstring> existingMutexes;
  // When set, HoldMutex raises SystemError with this code.
  std::optional<uint32_t> mutexCreationError;
  bool guardFails = false;
  int32_t boxAnswer = kAnswerYes;
  int32_t shortcutResult = 0;
  std::vector<FakeModule> modules;

  // Runs right after each event is recorded, with that event.
  std::function<void(const std::wstring&)> onEvent;

  std::vector<std::wstring> events;
  std::vector<std::wstring> resourceCalls;

  void Record(const std::wstring& event);

  void ModuleFileName(wchar_t* buffer, uint32_t limit) override;
  bool SystemDirectory(wchar_t* buffer, uint32_t limit) override;
  bool DesktopDirectory(wchar_t* buffer) override;
  bool IsMutexPresent(const wchar_t* name) override;
  std::unique_ptr<ktcplib::CKTSyncObject> HoldMutex(const wchar_t* name) override;
  int32_t ShowMessageBox(const wchar_t* text, const wchar_t* caption, uint32_t style) override;
  void OpenWithShell(const ShellOpenRecord& record) override;
  void StartProcess(wchar_t* commandLine, const wchar_t* currentDirectory) override;
  void RemoveFile(const wchar_t* path) override;
  int32_t CreateShortcut(const wchar_t* target, const wchar_t* linkFile, const wchar_t* iconFile,
                         const wchar_t* arguments) override;
  std::unique_ptr<HeldFile> HoldFileUnchanged(const wchar_t* path) override;
  ResourceModule ResourceModuleAt(uint32_t index) override;
  StringBlock FindStringBlock(ResourceModule module, uint16_t blockName,
                              bool neutralLanguage) override;
};

// The event lines, as the fake writes them.
std::wstring BoxEvent(uint32_t style, const std::wstring& caption, const std::wstring& text);
std::wstring ShellEvent(const ShellOpenRecord& record);
std::wstring ShortcutEvent(const wchar_t* target, const wchar_t* linkFile, const wchar_t* iconFile,
                           const wchar_t* arguments);

#endif
