// String-table blocks built from the one source of the helper's texts.
#include "tests/app/string_blocks.h"

#include <stdexcept>

Bytes StringBlockBytes(const std::vector<std::wstring>& entries) {
  Bytes bytes;
  const auto put16 = [&bytes](uint32_t value) {
    if (value > 0xFFFF) {
      throw std::invalid_argument("a string-table unit or length above 16 bits");
    }
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
  };
  for (const std::wstring& entry : entries) {
    put16(static_cast<uint32_t>(entry.size()));
    for (const wchar_t unit : entry) {
      put16(static_cast<uint32_t>(unit));
    }
  }
  return bytes;
}

const std::map<uint16_t, std::wstring>& MessageTexts() {
  static const std::map<uint16_t, std::wstring> texts = {
#define KT_MESSAGE_TEXT(id, text) {id, text},
#include "res/message_texts.def"
#undef KT_MESSAGE_TEXT
  };
  return texts;
}

const std::wstring& MessageText(uint16_t id) {
  return MessageTexts().at(id);
}

Bytes MessageTextBlock() {
  constexpr uint16_t kFirstId = 96;
  std::vector<std::wstring> entries(16);
  for (const auto& [id, text] : MessageTexts()) {
    entries.at(id - kFirstId) = text;
  }
  return StringBlockBytes(entries);
}
