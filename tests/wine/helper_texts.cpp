// wchar_t holds a whole code point on the host; the helper's texts are UTF-16, so code points
// beyond U+FFFF become surrogate pairs here as they do in the string table.
#include "tests/wine/helper_texts.h"

#include <cstdint>
#include <vector>

namespace {

std::vector<uint16_t> Utf16(const std::wstring& text) {
  std::vector<uint16_t> units;
  for (const wchar_t c : text) {
    const auto point = static_cast<uint32_t>(std::wstring::traits_type::to_int_type(c));
    if (point < 0x10000) {
      units.push_back(static_cast<uint16_t>(point));
    } else {
      units.push_back(static_cast<uint16_t>(0xD800 + ((point - 0x10000) >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
    }
  }
  return units;
}

}  // namespace

const std::map<int, std::wstring>& HelperTexts() {
  static const std::map<int, std::wstring> texts = {
#define KT_MESSAGE_TEXT(id, text) {id, text},
#include "res/message_texts.def"
#undef KT_MESSAGE_TEXT
  };
  return texts;
}

std::string Utf16Hex(const std::wstring& text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const uint16_t unit : Utf16(text)) {
    hex += hex.empty() ? "" : " ";
    for (int shift = 12; shift >= 0; shift -= 4) {
      hex += kDigits[(unit >> shift) & 0xF];
    }
  }
  return hex;
}

std::string Utf8(const std::wstring& text) {
  std::string out;
  for (const wchar_t c : text) {
    const auto point = static_cast<uint32_t>(std::wstring::traits_type::to_int_type(c));
    if (point < 0x80) {
      out += static_cast<char>(point);
    } else if (point < 0x800) {
      out += static_cast<char>(0xC0 | (point >> 6));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      out += static_cast<char>(0xE0 | (point >> 12));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (point >> 18));
      out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  return out;
}
