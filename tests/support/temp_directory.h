// A fresh directory under $TMPDIR (or /tmp) for one test's files, removed with everything in
// it when the owner goes.
#ifndef KT_TESTS_TEMP_DIRECTORY_H
#define KT_TESTS_TEMP_DIRECTORY_H

#include <string>

class TempDirectory {
 public:
  // Throws std::runtime_error when the directory cannot be made.
  TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;
  ~TempDirectory();

  const std::string& Path() const { return path_; }
  // Path() + "/" + name.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

#endif
