// The helper's texts as the tests expect to find them, from the file that the resource script
// reads too (res/message_texts.def), with the encodings that the checks compare.
#ifndef KT_TESTS_WINE_HELPER_TEXTS_H
#define KT_TESTS_WINE_HELPER_TEXTS_H

#include <map>
#include <string>

// Text by id: 101 to 106.
const std::map<int, std::wstring>& HelperTexts();

// The UTF-16 units of `text`, four lower-case hex digits each, separated by blanks.
std::string Utf16Hex(const std::wstring& text);
std::string Utf8(const std::wstring& text);

#endif
