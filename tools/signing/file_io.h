// Whole-file reads and writes for the signing tool. A write either puts the complete new file
// in place or leaves nothing behind.
#ifndef KT_TOOLS_SIGNING_FILE_IO_H
#define KT_TOOLS_SIGNING_FILE_IO_H

#include <string>

#include "tools/signing/bytes.h"

namespace signing {

// Throws SigningError when the file cannot be opened or read, is not a regular file, or is
// 4 GiB or larger (refused before anything is read).
Bytes ReadInputFile(const std::string& path);

// Writes to a new temporary file beside `path` and renames it over `path` once it is complete.
// Throws SigningError on any failure, after removing the temporary file.
void WriteFileAtomically(const std::string& path, const Bytes& bytes);

}  // namespace signing

#endif
