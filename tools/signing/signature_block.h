// The signature block of a signed executable, with one signature entry: where its parts lie
// and its bytes, in the binary or the text form.
#ifndef KT_TOOLS_SIGNING_SIGNATURE_BLOCK_H
#define KT_TOOLS_SIGNING_SIGNATURE_BLOCK_H

#include <cstdint>
#include <string_view>

#include "tools/signing/bytes.h"
#include "tools/signing/form.h"
#include "tools/signing/rsa_block.h"

namespace signing {

constexpr std::string_view kHeadMagic = "KTCS4F3A4200C37O";
constexpr std::string_view kTailMagic = "62F3AB0132FKTCSE";

// Offsets from the first byte of the head magic (H); they depend on the form only.
struct BlockLayout {
  uint32_t entryOffset;      // the one entry
  uint32_t dataOffset;       // the signature, right after the entry list
  uint32_t dataLength;       // bytes of the file the signature takes: 256 or 512
  uint32_t tailMagicOffset;  // T, also the blockOffset field
  uint32_t length;           // T + 16
};

BlockLayout SignatureBlockLayout(Form form);

struct BlockFields {
  Form form;
  char keyKind;  // 'P' or 'D'; other values are written as given
  uint32_t padBefore;
  uint32_t padAfter;
  uint32_t excludedLength;
};

// The whole block, SignatureBlockLayout(fields.form).length bytes.
Bytes SignatureBlock(const BlockFields& fields, const RsaBlock& signature);

}  // namespace signing

#endif
