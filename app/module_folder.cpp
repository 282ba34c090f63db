// The helper's path and folder.
#include "app/module_folder.h"

#include <cwchar>

ModuleFolder::ModuleFolder(SystemServices& system) {
  system.ModuleFileName(path_, kPathLimit);
  path_[kPathLimit] = L'\0';
  std::wcsncpy(folder_, path_, kPathLimit);
  if (wchar_t* lastBackslash = std::wcsrchr(folder_, L'\\')) {
    lastBackslash[1] = L'\0';
  }
}
