// File access on Windows: the C run-time's low-level calls on wide paths.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#include "verify/file_access.h"

namespace {
// _read counts in int; large reads go in pieces well below that.
constexpr uint32_t kReadPiece = 1u << 30;
}  // namespace

bool FileExists(const wchar_t* path) {
  return path != nullptr && _waccess(path, 0) == 0;
}

int FileOpenRead(const wchar_t* path) {
  if (path == nullptr) {
    return kFileNotOpen;
  }
  const int file = _wsopen(path, _O_RDONLY | _O_BINARY, _SH_DENYNO);
  return file < 0 ? kFileNotOpen : file;
}

int64_t FileLength(int file) {
  return file < 0 ? -1 : _filelengthi64(file);
}

int64_t FileSeek(int file, int64_t offset, FileOrigin origin) {
  if (file < 0) {
    return -1;
  }
  const int whence = origin == FileOrigin::Start ? SEEK_SET
                     : origin == FileOrigin::End ? SEEK_END
                                                 : SEEK_CUR;
  return _lseeki64(file, offset, whence);
}

int64_t FileRead(int file, void* buffer, uint32_t count) {
  if (file < 0 || (buffer == nullptr && count != 0)) {
    return -1;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < count) {
    const uint32_t piece = count - done < kReadPiece ? count - done : kReadPiece;
    const int got = _read(file, out + done, piece);
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
    _close(file);
  }
}
