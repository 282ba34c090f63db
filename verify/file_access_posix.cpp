// File access on POSIX hosts: wide paths become UTF-8 with '\' read as '/', and only regular
// files open.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "verify/file_access.h"

namespace {

// Room for the longest path the host accepts; longer paths fail like any unusable path,
// and no heap is needed, so an allocation failure can never read as a missing file.
constexpr size_t kPathBytes = PATH_MAX;

// Appends the UTF-8 form of `code`; false for a value that is no character or no room.
bool AppendUtf8(char* out, size_t* used, uint32_t code) {
  uint8_t bytes[4];
  size_t length = 0;
  if (code < 0x80) {
    bytes[length++] = static_cast<uint8_t>(code);
  } else if (code < 0x800) {
    bytes[length++] = static_cast<uint8_t>(0xC0 | (code >> 6));
    bytes[length++] = static_cast<uint8_t>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    if (code >= 0xD800 && code <= 0xDFFF) {
      return false;
    }
    bytes[length++] = static_cast<uint8_t>(0xE0 | (code >> 12));
    bytes[length++] = static_cast<uint8_t>(0x80 | ((code >> 6) & 0x3F));
    bytes[length++] = static_cast<uint8_t>(0x80 | (code & 0x3F));
  } else if (code <= 0x10FFFF) {
    bytes[length++] = static_cast<uint8_t>(0xF0 | (code >> 18));
    bytes[length++] = static_cast<uint8_t>(0x80 | ((code >> 12) & 0x3F));
    bytes[length++] = static_cast<uint8_t>(0x80 | ((code >> 6) & 0x3F));
    bytes[length++] = static_cast<uint8_t>(0x80 | (code & 0x3F));
  } else {
    return false;
  }
  if (*used + length >= kPathBytes) {
    return false;
  }
  for (size_t i = 0; i < length; ++i) {
    out[(*used)++] = static_cast<char>(bytes[i]);
  }
  return true;
}

bool HostPath(const wchar_t* path, char (&out)[kPathBytes]) {
  if (path == nullptr) {
    return false;
  }
  size_t used = 0;
  for (const wchar_t* c = path; *c != L'\0'; ++c) {
    const uint32_t code = *c == L'\\' ? '/' : static_cast<uint32_t>(*c);
    if (!AppendUtf8(out, &used, code)) {
      return false;
    }
  }
  out[used] = '\0';
  return true;
}

}  // namespace

bool FileExists(const wchar_t* path) {
  char hostPath[kPathBytes];
  return HostPath(path, hostPath) && access(hostPath, F_OK) == 0;
}

int FileOpenRead(const wchar_t* path) {
  char hostPath[kPathBytes];
  if (!HostPath(path, hostPath)) {
    return kFileNotOpen;
  }
  // Without O_NONBLOCK a FIFO would wait for a writer; it changes nothing for a regular file.
  // O_NOCTTY keeps a terminal named here from becoming the controlling one.
  const int file = open(hostPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (file < 0) {
    return kFileNotOpen;
  }
  // Only regular files are read, as on Windows, where a directory cannot be opened at all: a
  // directory, FIFO or device would otherwise be answered for by what reading it happens to
  // give.
  struct stat info {};
  if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(file);
    return kFileNotOpen;
  }
  return file;
}

int64_t FileLength(int file) {
  struct stat info {};
  if (file < 0 || fstat(file, &info) != 0) {
    return -1;
  }
  return static_cast<int64_t>(info.st_size);
}

int64_t FileSeek(int file, int64_t offset, FileOrigin origin) {
  if (file < 0) {
    return -1;
  }
  const int whence = origin == FileOrigin::Start ? SEEK_SET
                     : origin == FileOrigin::End ? SEEK_END
                                                 : SEEK_CUR;
  const off_t position = lseek(file, static_cast<off_t>(offset), whence);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

int64_t FileRead(int file, void* buffer, uint32_t count) {
  if (file < 0 || (buffer == nullptr && count != 0)) {
    return -1;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < count) {
    const ssize_t got = read(file, out + done, count - done);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return -1;
    }
    if (got == 0) {
      break;
    }
    done += static_cast<uint32_t>(got);
  }
  return done;
}

void FileClose(int file) {
  if (file >= 0) {
    close(file);
  }
}
