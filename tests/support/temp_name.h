// The writable name template that mkstemp and mkdtemp fill in: $TMPDIR (or /tmp), a prefix
// and six X's, zero-terminated.
#ifndef KT_TESTS_TEMP_NAME_H
#define KT_TESTS_TEMP_NAME_H

#include <cstdlib>
#include <string>
#include <vector>

inline std::vector<char> TempNameTemplate(const char* prefix) {
  const char* base = std::getenv("TMPDIR");
  const std::string name =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "XXXXXX";
  std::vector<char> text(name.begin(), name.end());
  text.push_back('\0');
  return text;
}

#endif
