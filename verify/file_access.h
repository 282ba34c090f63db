// The verifier's file access: the shape of the C run-time's low-level calls over wide
// paths. On Windows it is the run-time itself; on POSIX hosts the path is converted to
// UTF-8 with '\' read as '/', so that a path a Windows flow builds names a host file.
#ifndef KT_VERIFY_FILE_ACCESS_H
#define KT_VERIFY_FILE_ACCESS_H

#include <cstdint>

// A descriptor that is not open.
constexpr int kFileNotOpen = -1;

enum class FileOrigin { Start, Current, End };

// Whether something exists at `path`.
bool FileExists(const wchar_t* path);

// Opens for reading in binary mode, not denying other readers or writers; kFileNotOpen on
// failure. On POSIX hosts anything but a regular file fails at once, as a directory does on
// Windows (a FIFO is not waited for).
int FileOpenRead(const wchar_t* path);

// Length in bytes, or -1.
int64_t FileLength(int file);

// Moves the position; returns the new position, or -1 (also for a position below 0).
int64_t FileSeek(int file, int64_t offset, FileOrigin origin);

// Reads up to `count` bytes; returns the number read (short only at the end of the file),
// or -1 on failure.
int64_t FileRead(int file, void* buffer, uint32_t count);

// Closes an open descriptor; kFileNotOpen is ignored.
void FileClose(int file);

// Reads exactly `count` bytes from `offset` (from the start); false for a failed seek, a
// failed read or fewer bytes.
inline bool FileReadAt(int file, int64_t offset, void* out, uint32_t count) {
  return FileSeek(file, offset, FileOrigin::Start) >= 0 && FileRead(file, out, count) == count;
}

#endif
