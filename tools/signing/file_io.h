// Whole-file reads and writes for the signing tool. A write either puts the complete new file
// in place or leaves nothing behind.
#ifndef KT_TOOLS_SIGNING_FILE_IO_H
#define KT_TOOLS_SIGNING_FILE_IO_H

#include <string>

#include "tools/signing/bytes.h"

namespace signing {

// Throws SigningError when the file cannot be opened or read, is not a regular file (a FIFO
// or a device is refused at once, never waited on), or is 4 GiB or larger (refused before
// anything is read).
Bytes ReadInputFile(const std::string& path);

// An open descriptor, closed when the owner goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int Get() const { return fd_; }
  // Closes now and tells whether the close succeeded, which for a written file is the last
  // chance to hear of a failed write.
  bool Close();

 private:
  int fd_;
};

// A new file beside `target` (in its folder, so that the rename stays within one file system)
// that is removed again unless it was renamed over the target. Every member throws
// SigningError on failure.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile();

  const std::string& Path() const { return path_; }
  void Write(const Bytes& bytes);
  // Puts the written bytes on disk, then renames the file over the target.
  void Commit();

 private:
  std::string target_;
  std::string path_;
  FileDescriptor fd_;
  bool committed_ = false;
};

// Writes to a TemporaryFile beside `path` and renames it over `path` once it is complete.
void WriteFileAtomically(const std::string& path, const Bytes& bytes);

}  // namespace signing

#endif
