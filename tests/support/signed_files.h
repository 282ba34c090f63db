// Files for verifier tests: wide paths, the development keys and the signing library that
// makes every signed fixture at test time.
#ifndef KT_TESTS_SIGNED_FILES_H
#define KT_TESTS_SIGNED_FILES_H

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_directory.h"
#include "tools/signing/bytes.h"
#include "tools/signing/exe_signer.h"
#include "tools/signing/form.h"
#include "tools/signing/script_signer.h"
#include "tools/signing/signing_key.h"

// The path as the verifier takes it (ASCII paths only).
std::wstring WidePath(const std::string& path);

// The development key pair of kind 'P' or 'D', loaded once.
const signing::SigningKey& DevKey(char kind);

// n bytes of a fixed pattern of lower-case letters; `seed` varies it. Kept apart from Filler
// on purpose: the verifier tests search files for upper-case and digit magics, and content
// made of lower-case letters only can never contain one by chance.
Bytes SampleContent(size_t n, uint32_t seed = 1);

// A file that the executable-header reader takes for an executable: "MZ", the header
// offset e at 60 and the optional-header magic at e + 24, zero elsewhere (so its
// certificate directory entry says "no table"), `length` bytes in all.
Bytes MinimalExecutable(uint16_t magic, uint32_t headerOffset, size_t length);

// A well-formed Windows executable of `length` bytes (at least 1024) that the verifier's layout
// rules accept once a block is appended: "MZ", the "PE\0\0" header at 0x80 with the given
// optional-header magic, 16 data directories, file alignment 512, section alignment 4096,
// 512 bytes of headers and one section whose raw data fills the rest of the file in whole
// 512-byte units. Header fields are zero where a loader would not care; the section and any
// bytes after it are SampleContent(seed), so no magic appears by chance.
Bytes SampleExecutable(size_t length, uint16_t magic = 0x20B, uint32_t seed = 1);

// Eight uppercase hexadecimal digits, most significant first, as the text form writes them.
void PutHex8(Bytes* bytes, size_t offset, uint32_t value);

namespace signing {
// Test names and failure messages show the form, not its byte.
inline void PrintTo(Form form, std::ostream* out) {
  *out << (form == Form::Binary ? "binary form" : "text form");
}
}  // namespace signing

#endif
