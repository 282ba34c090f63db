// Writing a shell link file through the shell's own link object.
#ifndef KT_APP_WIN32_CREATE_SHORTCUT_H
#define KT_APP_WIN32_CREATE_SHORTCUT_H

#include <windows.h>

// Saves a link to `target` (unquoted) as `linkFile`, with icon 0 of `iconFile` and with
// `arguments` when they are not null; nothing else is set, so the link object's defaults
// apply. Returns the creation's HRESULT when it fails, else the IPersistFile query's when that
// fails, else Save's. COM is initialised for this call alone.
HRESULT CreateShortcut(const wchar_t* target, const wchar_t* linkFile, const wchar_t* iconFile,
                       const wchar_t* arguments);

#endif
