// A fresh directory under $TMPDIR (or /tmp) for one test's files, removed with everything in
// it when the owner goes.
#ifndef KT_TESTS_TEMP_DIRECTORY_H
#define KT_TESTS_TEMP_DIRECTORY_H

#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

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
  // Writes File(name) with WriteFileBytes and returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) const;
  // The names of the entries directly inside, sorted, so that tests can check that a step
  // left nothing behind.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

#endif
