// Hold, then check: the guard is taken before the check reads the file, so the file cannot
// be exchanged between the check and the start.
#include "app/checked_file.h"

#include <cstdint>

#include "app/format_text.h"
#include "app/message_texts.h"
#include "verify/verify.h"

std::unique_ptr<HeldFile> HoldCheckedFile(SystemServices& system, const WideString& path) {
  std::unique_ptr<HeldFile> held = system.HoldFileUnchanged(path.CStr());
  if (held == nullptr) {
    return nullptr;
  }
  int32_t detail = 0;
  if (CheckFileSignature(path.CStr(), &detail) != 0) {
    return nullptr;
  }
  return held;
}

void ShowDamagedFile(SystemServices& system, const wchar_t* fileName) {
  const WideString format = LoadText(system, kTextFileDamaged);
  const WideString text = FormatText(format.CStr(), fileName);
  const WideString caption = LoadText(system, kTextCaption);
  system.ShowMessageBox(text.CStr(), caption.CStr(), kBoxOk | kBoxIconError);
}
