// The helper's texts: every text it shows or uses as a file name comes from the string table
// among its resources (res/message_texts.def), found and loaded afresh where it is needed.
#ifndef KT_APP_MESSAGE_TEXTS_H
#define KT_APP_MESSAGE_TEXTS_H

#include <cstdint>

#include "app/system_services.h"
#include "app/wide_string.h"

constexpr uint16_t kTextCaption = 101;          // caption of every message box
constexpr uint16_t kTextRemovalQuestion = 102;  // asks whether the product is to be removed
constexpr uint16_t kTextProductShortcut = 103;  // name of the product's shortcut file
constexpr uint16_t kTextRemovalShortcut = 104;  // name of the removal's shortcut file
constexpr uint16_t kTextProductInUse = 105;     // the product runs and cannot be removed
constexpr uint16_t kTextFileDamaged = 106;      // "%s" was tampered with or damaged

// The first resource module, in the search list's order, whose block for `id` at the
// neutral language holds a non-empty entry for it; null when none does.
ResourceModule FindTextModule(SystemServices& system, uint16_t id);

// Text `id` from the module FindTextModule names, read from the block the system chooses
// by its default language; empty when no module holds it or the block cannot be read.
// Raises StringError when the text cannot be copied (see StringErrorForCopy).
WideString LoadText(SystemServices& system, uint16_t id);

// The string error for a C-library error number of the copy: 0 when it counts as success
// (0, and 80, truncation), else out of memory (12), invalid argument (22 and 34) or the
// general failure (any other number).
uint32_t StringErrorForCopy(int errorNumber);

#endif
