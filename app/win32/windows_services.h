// The flows' operating-system services, done with the real Windows calls.
#ifndef KT_APP_WIN32_WINDOWS_SERVICES_H
#define KT_APP_WIN32_WINDOWS_SERVICES_H

#include <cstdint>
#include <memory>

#include "app/system_services.h"

class WindowsServices : public SystemServices {
 public:
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

#endif
