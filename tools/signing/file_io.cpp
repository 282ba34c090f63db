// POSIX file access: the signing tool runs on the build host only.
#include "tools/signing/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/signing/signing_error.h"
#include "tools/signing/size_limit.h"

namespace signing {
namespace {

SigningError SystemError(const std::string& what, const std::string& path) {
  return SigningError(what + " " + path + ": " + std::strerror(errno));
}

// A name that is free in the target's folder; O_EXCL keeps an existing file from being taken
// over.
int CreateBeside(const std::string& target, std::string* path) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    *path = target + ".ktsign-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return fd;
    }
    if (errno != EEXIST) {
      break;
    }
  }
  throw SystemError("cannot create a temporary file for", target);
}

}  // namespace

bool FileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

TemporaryFile::TemporaryFile(const std::string& target)
    : target_(target), fd_(CreateBeside(target, &path_)) {}

TemporaryFile::~TemporaryFile() {
  fd_.Close();
  if (!committed_) {
    ::unlink(path_.c_str());
  }
}

void TemporaryFile::Write(const Bytes& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd_.Get(), bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      throw SystemError("cannot write", path_);
    }
    done += static_cast<size_t>(written);
  }
}

void TemporaryFile::Commit() {
  if (::fsync(fd_.Get()) != 0 || !fd_.Close()) {
    throw SystemError("cannot write", path_);
  }
  if (::rename(path_.c_str(), target_.c_str()) != 0) {
    throw SystemError("cannot write", target_);
  }
  committed_ = true;
}

Bytes ReadInputFile(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer; a regular file reads the same
  // either way, and anything else is refused below.
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) {
    throw SystemError("cannot open", path);
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    throw SystemError("cannot read", path);
  }
  if (!S_ISREG(info.st_mode)) {
    throw SigningError(path + " is not a regular file");
  }
  if (static_cast<uint64_t>(info.st_size) >= kFileSizeLimit) {
    throw SigningError(path + " is 4 GiB or larger; signed files must stay below 4 GiB");
  }
  Bytes bytes(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      throw SystemError("cannot read", path);
    }
    if (got == 0) {
      throw SigningError(path + " became shorter while it was read");
    }
    done += static_cast<size_t>(got);
  }
  return bytes;
}

void WriteFileAtomically(const std::string& path, const Bytes& bytes) {
  TemporaryFile file(path);
  file.Write(bytes);
  file.Commit();
}

}  // namespace signing
