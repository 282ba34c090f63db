// A shortcut file as lnkinfo (liblnk-utils) reads it: a reader of the format that shares
// nothing with the system that wrote it.
#ifndef KT_TESTS_WINE_SHORTCUT_INFO_H
#define KT_TESTS_WINE_SHORTCUT_INFO_H

#include <map>
#include <set>
#include <string>

struct ShortcutInfo {
  // The "Contains ..." lines of its header: which optional parts the file holds.
  std::set<std::string> parts;
  // The "Link information" fields by name: "Local path", "Command line arguments",
  // "Icon location", "Icon index", ...
  std::map<std::string, std::string> fields;
  std::string text;  // all that lnkinfo printed, for failure messages
};

// Throws std::runtime_error when lnkinfo cannot read the file.
ShortcutInfo ReadShortcut(const std::string& path);

#endif
