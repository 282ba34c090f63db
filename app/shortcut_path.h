// Paths of the desktop shortcut files, and the join of a name to a folder in a fixed buffer.
#ifndef KT_APP_SHORTCUT_PATH_H
#define KT_APP_SHORTCUT_PATH_H

#include <cstdint>

#include "app/system_services.h"
#include "app/wide_string.h"

// Appends `src` to the path in `dst`, a buffer of `capacity` units that holds a path shorter
// than `capacity`. One backslash goes between them unless `dst` ends with one or `src`
// begins with one (both stay when both have one); an empty `dst` takes `src` alone. What
// does not fit in `capacity` - 1 characters is cut off. Null pointers or a capacity of 0
// leave `dst` as it is.
void AppendPath(wchar_t* dst, uint32_t capacity, const wchar_t* src);

// The full path of the shortcut file named by text `textId` plus ".lnk" on the current
// user's desktop, cut to 259 characters. Empty when the desktop folder cannot be
// determined: then there is no path to write or delete at.
WideString MakeDesktopShortcutPath(SystemServices& system, uint16_t textId);

#endif
