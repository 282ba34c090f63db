// The launch flow: probe, hold the helper's mutex, hold and check the loader, write the
// shortcuts ("/install" only), open the loader, release everything.
#include "app/launch_flow.h"

#include <memory>

#include "app/checked_file.h"
#include "app/message_texts.h"
#include "app/module_folder.h"
#include "app/mutex_names.h"
#include "app/shortcut_path.h"
#include "app/wide_string.h"

namespace {

constexpr const wchar_t* kLoaderName = L"ktwebloader.exe";
constexpr const wchar_t* kProductIconName = L"tamsweep.ico";
constexpr const wchar_t* kRemovalIconName = L"tamsweep_uninstall.ico";

// One desktop shortcut; its result is not looked at, and without a desktop folder there is
// nowhere to write it.
void WriteShortcut(SystemServices& system, uint16_t textId, const WideString& target,
                   const WideString& iconFile, const wchar_t* arguments) {
  const WideString linkFile = MakeDesktopShortcutPath(system, textId);
  if (!linkFile.IsEmpty()) {
    system.CreateShortcut(target.CStr(), linkFile.CStr(), iconFile.CStr(), arguments);
  }
}

}  // namespace

ExitCode RunLaunch(SystemServices& system, bool withShortcuts) {
  if (system.IsMutexPresent(kHelperMutexName)) {
    return ExitCode::AlreadyRunning;
  }
  const std::unique_ptr<ktcplib::CKTSyncObject> helperMutex = system.HoldMutex(kHelperMutexName);
  const ModuleFolder module(system);
  const WideString folder(module.Folder());
  const WideString loaderPath = folder + kLoaderName;

  const std::unique_ptr<HeldFile> loader = HoldCheckedFile(system, loaderPath);
  if (loader == nullptr) {
    ShowDamagedFile(system, kLoaderName);
    return ExitCode::SignatureInvalid;
  }

  if (withShortcuts) {
    WriteShortcut(system, kTextProductShortcut, loaderPath, folder + kProductIconName, nullptr);
    WriteShortcut(system, kTextRemovalShortcut, WideString(module.Path()),
                  folder + kRemovalIconName, L"/remove");
  }

  // The shell gets the path quoted, so that a folder with blanks names one file.
  const WideString quotedLoader = WideString(L"\"") + loaderPath + L"\"";
  ShellOpenRecord record;
  record.verb = L"open";
  record.file = quotedLoader.CStr();
  record.directory = module.Folder();
  record.show = kShowNormal;
  system.OpenWithShell(record);
  return ExitCode::Done;
}
