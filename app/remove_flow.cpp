// The remove flow: the product's probe, the helper's probe, hold the helper's mutex, ask,
// hold and check the script, delete the shortcuts, start the script host, release
// everything.
#include "app/remove_flow.h"

#include <cwchar>
#include <memory>

#include "app/checked_file.h"
#include "app/message_texts.h"
#include "app/module_folder.h"
#include "app/mutex_names.h"
#include "app/shortcut_path.h"
#include "app/wide_string.h"

namespace {

constexpr const wchar_t* kScriptName = L"Uninstall.vbs";
constexpr const wchar_t* kScriptHostName = L"wscript.exe";

void RemoveShortcut(SystemServices& system, const WideString& linkFile) {
  if (!linkFile.IsEmpty()) {
    system.RemoveFile(linkFile.CStr());
  }
}

}  // namespace

ExitCode RunRemove(SystemServices& system) {
  if (system.IsMutexPresent(kProductMutexName)) {
    const WideString warning = LoadText(system, kTextProductInUse);
    const WideString caption = LoadText(system, kTextCaption);
    system.ShowMessageBox(warning.CStr(), caption.CStr(), kBoxOk | kBoxIconWarning);
    return ExitCode::ProductInUse;
  }
  if (system.IsMutexPresent(kHelperMutexName)) {
    return ExitCode::AlreadyRunning;
  }
  const std::unique_ptr<ktcplib::CKTSyncObject> helperMutex = system.HoldMutex(kHelperMutexName);

  {
    const WideString caption = LoadText(system, kTextCaption);
    const WideString question = LoadText(system, kTextRemovalQuestion);
    if (system.ShowMessageBox(question.CStr(), caption.CStr(), kBoxYesNo | kBoxIconQuestion) !=
        kAnswerYes) {
      return ExitCode::RemovalDeclined;
    }
  }

  const ModuleFolder module(system);
  const WideString scriptPath = WideString(module.Folder()) + kScriptName;
  const std::unique_ptr<HeldFile> script = HoldCheckedFile(system, scriptPath);
  if (script == nullptr) {
    ShowDamagedFile(system, kScriptName);
    return ExitCode::SignatureInvalid;
  }

  const WideString productLink = MakeDesktopShortcutPath(system, kTextProductShortcut);
  const WideString removalLink = MakeDesktopShortcutPath(system, kTextRemovalShortcut);
  RemoveShortcut(system, removalLink);
  RemoveShortcut(system, productLink);

  // Without the system folder the command line would name a bare wscript.exe, which the
  // process start would look for elsewhere.
  wchar_t systemFolder[kPathBufferUnits] = {};
  if (!system.SystemDirectory(systemFolder, kPathLimit) || systemFolder[0] == L'\0') {
    return ExitCode::Done;
  }
  systemFolder[kPathLimit] = L'\0';
  wchar_t scriptHost[kPathBufferUnits] = {};
  std::wcsncpy(scriptHost, systemFolder, kPathLimit);
  AppendPath(scriptHost, kPathBufferUnits, kScriptHostName);

  // Both paths quoted, so that the script gets exactly one argument.
  WideString commandLine =
      WideString(L"\"") + scriptHost + L"\" \"" + scriptPath + L"\" /uninstall";
  // The process start may write into the command line; it is not read afterwards.
  system.StartProcess(commandLine.GetBuffer(commandLine.Length()), systemFolder);
  return ExitCode::Done;
}
