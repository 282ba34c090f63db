// The helper's own full path and its folder, each in a zero-filled path buffer of the
// platform's size.
#ifndef KT_APP_MODULE_FOLDER_H
#define KT_APP_MODULE_FOLDER_H

#include "app/system_services.h"

class ModuleFolder {
 public:
  // Asks the system for the helper's path, at most 259 characters (a longer one comes back
  // cut), and takes the folder from it.
  explicit ModuleFolder(SystemServices& system);

  // The helper's full path.
  const wchar_t* Path() const { return path_; }
  // The path cut right after its last backslash, which stays; the whole path when it holds
  // no backslash. File names are appended to it directly.
  const wchar_t* Folder() const { return folder_; }

 private:
  wchar_t path_[kPathBufferUnits] = {};
  wchar_t folder_[kPathBufferUnits] = {};
};

#endif
