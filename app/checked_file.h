// The step every flow takes before it starts a file: hold the file unchanged, then check its
// signature, so that what was checked is what is started.
#ifndef KT_APP_CHECKED_FILE_H
#define KT_APP_CHECKED_FILE_H

#include <memory>

#include "app/system_services.h"
#include "app/wide_string.h"

// The file at `path`, held so that nobody can write, delete or rename it, when its signature
// allows it to be started; keep the result until the start has returned. Null when the file
// cannot be held or fails its check: it must not be started.
std::unique_ptr<HeldFile> HoldCheckedFile(SystemServices& system, const WideString& path);

// Tells the user that the file named `fileName` (the bare name, not its path) was tampered
// with or damaged: text 106 in an error box with text 101 as its caption.
void ShowDamagedFile(SystemServices& system, const wchar_t* fileName);

#endif
