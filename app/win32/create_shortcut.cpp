// CreateShortcut: the shell link object, its IShellLinkW setters and IPersistFile::Save.
#include "app/win32/create_shortcut.h"

#include <objidl.h>
#include <shlobj.h>

#include "app/win32/com_apartment.h"
#include "app/win32/com_pointer.h"

HRESULT CreateShortcut(const wchar_t* target, const wchar_t* linkFile, const wchar_t* iconFile,
                       const wchar_t* arguments) {
  // Destroyed in reverse order: IPersistFile, then IShellLinkW, then the apartment.
  const ComApartment apartment;
  ComPointer<IShellLinkW> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.Receive());
  if (FAILED(result)) {
    return result;
  }
  // A value the link object refuses still leads to the Save; only its result counts.
  link->SetPath(target);
  if (iconFile != nullptr) {
    link->SetIconLocation(iconFile, 0);
  }
  if (arguments != nullptr) {
    link->SetArguments(arguments);
  }
  ComPointer<IPersistFile> file;
  result = link->QueryInterface(IID_IPersistFile, file.Receive());
  if (FAILED(result)) {
    return result;
  }
  return file->Save(linkFile, TRUE);
}
