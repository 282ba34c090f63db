// The helper's folder for flow tests: a temporary folder with blanks in its name, named as
// Windows names it (backslashes), so that the paths the flows build reach the real verifier
// as host files. Signed files are made at test time with the development keys.
#ifndef KT_TESTS_APP_HELPER_FOLDER_H
#define KT_TESTS_APP_HELPER_FOLDER_H

#include <string>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_directory.h"

class HelperFolder {
 public:
  HelperFolder();

  // The folder with its trailing backslash, e.g. \tmp\kt-XXXXXX\Helper Dir\ .
  const std::wstring& Folder() const { return folder_; }
  // Folder() + "kthelper.exe".
  std::wstring ModulePath() const { return folder_ + L"kthelper.exe"; }
  // The temporary folder above the helper's, with its trailing backslash.
  const std::wstring& Parent() const { return parent_; }

  // Writes `name` into the helper's folder (or `inParent`, into the folder above it).
  void Write(const std::string& name, const Bytes& bytes, bool inParent = false) const;

  // A web loader signed with key P, a script signed with key D, and files that fail the
  // check: unsigned content, and a signed loader with one covered byte changed.
  static const Bytes& SignedLoader();
  static const Bytes& SignedScript();
  static const Bytes& UnsignedFile();
  static const Bytes& DamagedLoader();
  static const Bytes& DamagedScript();

 private:
  TempDirectory dir_;
  std::string hostFolder_;
  std::wstring parent_;
  std::wstring folder_;
};

#endif
