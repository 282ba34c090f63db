// A command-line path (UTF-8) as the wide path the verifier takes.
#ifndef KT_TOOLS_KTVERIFY_WIDE_PATH_H
#define KT_TOOLS_KTVERIFY_WIDE_PATH_H

#include <string>

namespace ktverify {

// Bytes that are no UTF-8 become U+FFFD, so such a path names no file.
std::wstring WidePath(const std::string& path);

}  // namespace ktverify

#endif
