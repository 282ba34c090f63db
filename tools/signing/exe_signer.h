// Signs an executable, or any other binary file, by appending a signature block whose RSA
// signature covers the file's signed length and digests.
#ifndef KT_TOOLS_SIGNING_EXE_SIGNER_H
#define KT_TOOLS_SIGNING_EXE_SIGNER_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "tools/signing/bytes.h"
#include "tools/signing/form.h"
#include "tools/signing/signing_key.h"

namespace signing {

constexpr uint32_t kMaxPad = 32;

struct ExecutableSigningOptions {
  Form form = Form::Binary;
  char keyKind = 'P';  // the key the verifier opens the signature with
  uint32_t padBefore = 0;
  // Unset: the fewest bytes that put the end of the excluded region on an 8-byte boundary,
  // where an Authenticode certificate table appended later starts.
  std::optional<uint32_t> padAfter;
};

// Where the signer put things; tests patch fields through it.
struct ExecutableLayout {
  size_t blockStart;         // file offset of H, the head magic
  size_t blockLength;        // T + 16
  uint32_t tailMagicOffset;  // T, from H
  size_t firstEntry;         // file offset of the signature entry
  size_t signatureData;      // file offset of the signature (256 octets or 512 hex digits)
  uint32_t padBefore;        // zero bytes between the input and H
  uint32_t padAfter;         // zero bytes after the tail magic, ending the file
  uint32_t excludedLength;   // padBefore + block length + padAfter
};

struct SignedExecutable {
  Bytes bytes;
  ExecutableLayout layout;
};

// The input followed by padBefore zero bytes, the block and padAfter zero bytes. Throws
// SigningError for pad values above 32, a result of 4 GiB or more, an "MZ" file whose header
// fields lie outside it, and excluded ranges that overlap or leave the file.
SignedExecutable SignExecutable(const Bytes& input, const SigningKey& key,
                                const ExecutableSigningOptions& options);

}  // namespace signing

#endif
