// Shortcut file paths, joined in the platform's 260-unit path buffer.
#include "app/shortcut_path.h"

#include <cwchar>

#include "app/message_texts.h"

namespace {

// Appends at most what still fits before the buffer's last unit.
void AppendWithin(wchar_t* dst, uint32_t capacity, const wchar_t* src) {
  const size_t length = std::wcslen(dst);
  if (length + 1 < capacity) {
    std::wcsncat(dst, src, capacity - length - 1);
  }
}

}  // namespace

void AppendPath(wchar_t* dst, uint32_t capacity, const wchar_t* src) {
  if (dst == nullptr || src == nullptr || capacity == 0) {
    return;
  }
  const size_t length = std::wcslen(dst);
  if (length != 0 && dst[length - 1] != L'\\' && src[0] != L'\\') {
    AppendWithin(dst, capacity, L"\\");
  }
  AppendWithin(dst, capacity, src);
}

WideString MakeDesktopShortcutPath(SystemServices& system, uint16_t textId) {
  wchar_t path[kPathBufferUnits] = {};
  // An empty folder would leave the bare file name: a path relative to the current folder.
  if (!system.DesktopDirectory(path) || path[0] == L'\0') {
    return WideString();
  }
  path[kPathLimit] = L'\0';
  WideString name = LoadText(system, textId);
  name += L".lnk";
  AppendPath(path, kPathBufferUnits, name.CStr());
  return WideString(path);
}
