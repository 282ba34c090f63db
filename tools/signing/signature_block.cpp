// Writes a signature block with one signature entry. Offsets from H; binary form on the left,
// text form (every number and octet as uppercase hex digits) on the right:
//
//   binary  text  size (binary/text)  field
//   0       0     16                  head magic "KTCS4F3A4200C37O"
//   16      16    1/2                 tag 3
//   17      18    4/8                 padBefore
//   21      26    1/2                 tag 3
//   22      28    4/8                 excludedLength
//   26      36    1/2                 entryCount 1
//   27      38    12/24               reserved, zero
//   39      62    20/39               the entry:
//                                       +0     1/2   entryType 3
//                                       +1/+2  1/2   tag 3
//                                       +2/+4  4/8   dataOffset
//                                       +6/12  1/2   tag 3
//                                       +7/14  4/8   dataLength (256 / 512)
//                                       +11/22 1     keyKind, one character
//                                       +12/23 8/16  reserved, zero
//   59      101   256/512             the signature, most significant octet first
//   T-23    T-45  12/24               reserved, zero
//   T-11    T-21  4/8                 blockOffset = T
//   T-7     T-13  1/2                 tag 3
//   T-6     T-11  4/8                 padAfter
//   T-2     T-3   1/2                 tag 3
//   T-1     T-1   1                   kind 'B' / 'T'
//   T       T     16                  tail magic "62F3AB0132FKTCSE"
//
// T is 338 in the binary form and 658 in the text form.
#include "tools/signing/signature_block.h"

#include <cassert>

#include "tools/signing/field_writer.h"

namespace signing {
namespace {

constexpr uint8_t kTag = 3;
constexpr uint8_t kSignatureEntry = 3;
constexpr uint8_t kEntryCount = 1;
constexpr uint32_t kHeaderReserved = 12;
constexpr uint32_t kEntryReserved = 8;
constexpr uint32_t kTrailerReserved = 12;

// Octets of numbers and reserved space (each spelled as BytesPerOctet bytes) and characters
// (one byte in both forms) of each part.
constexpr uint32_t kHeaderOctets = 1 + 4 + 1 + 4 + 1 + kHeaderReserved;
constexpr uint32_t kEntryOctets = 1 + 1 + 4 + 1 + 4 + kEntryReserved;
constexpr uint32_t kEntryChars = 1;
constexpr uint32_t kTrailerOctets = kTrailerReserved + 4 + 1 + 4 + 1;
constexpr uint32_t kTrailerChars = 1;

}  // namespace

BlockLayout SignatureBlockLayout(Form form) {
  const auto width = static_cast<uint32_t>(BytesPerOctet(form));
  BlockLayout layout{};
  layout.entryOffset = static_cast<uint32_t>(kHeadMagic.size()) + kHeaderOctets * width;
  layout.dataOffset = layout.entryOffset + kEntryOctets * width + kEntryChars;
  layout.dataLength = static_cast<uint32_t>(kRsaOctets) * width;
  layout.tailMagicOffset =
      layout.dataOffset + layout.dataLength + kTrailerOctets * width + kTrailerChars;
  layout.length = layout.tailMagicOffset + static_cast<uint32_t>(kTailMagic.size());
  return layout;
}

Bytes SignatureBlock(const BlockFields& fields, const RsaBlock& signature) {
  const BlockLayout layout = SignatureBlockLayout(fields.form);
  Bytes block;
  block.reserve(layout.length);
  FieldWriter out(fields.form, &block);

  out.Chars(kHeadMagic);
  out.U8(kTag);
  out.U32(fields.padBefore);
  out.U8(kTag);
  out.U32(fields.excludedLength);
  out.U8(kEntryCount);
  out.Zeros(kHeaderReserved);
  assert(block.size() == layout.entryOffset);

  out.U8(kSignatureEntry);
  out.U8(kTag);
  out.U32(layout.dataOffset);
  out.U8(kTag);
  out.U32(layout.dataLength);
  out.Char(fields.keyKind);
  out.Zeros(kEntryReserved);
  assert(block.size() == layout.dataOffset);

  out.Octets(signature.data(), signature.size());

  out.Zeros(kTrailerReserved);
  out.U32(layout.tailMagicOffset);
  out.U8(kTag);
  out.U32(fields.padAfter);
  out.U8(kTag);
  out.Char(static_cast<char>(fields.form));
  assert(block.size() == layout.tailMagicOffset);
  out.Chars(kTailMagic);
  return block;
}

}  // namespace signing
