// A signed executable:
//
//   file offset                 size            content
//   0                           n               the input, unchanged
//   n                           padBefore       zero
//   H = n + padBefore           T + 16          the signature block
//   H + T + 16                  padAfter        zero
//
// The excluded region runs from n over excludedLength = padBefore + T + 16 + padAfter bytes
// to the end of the file. The digests do not depend on the block's bytes, so the block is
// written once, after signing, into the space kept for it.
#include "tools/signing/exe_signer.h"

#include <algorithm>
#include <string>

#include "tools/signing/excluded_ranges.h"
#include "tools/signing/file_digests.h"
#include "tools/signing/signature_block.h"
#include "tools/signing/signed_message.h"
#include "tools/signing/signing_error.h"
#include "tools/signing/size_limit.h"

namespace signing {
namespace {

constexpr uint64_t kCertificateAlignment = 8;

void RequirePad(uint32_t pad, const char* name) {
  if (pad > kMaxPad) {
    throw SigningError(std::string(name) + " is " + std::to_string(pad) + "; at most " +
                       std::to_string(kMaxPad) + " is allowed");
  }
}

ExecutableLayout PlanLayout(size_t inputLength, const ExecutableSigningOptions& options) {
  RequirePad(options.padBefore, "pad-before");
  const BlockLayout block = SignatureBlockLayout(options.form);
  ExecutableLayout layout{};
  layout.padBefore = options.padBefore;
  layout.blockStart = inputLength + options.padBefore;
  layout.blockLength = block.length;
  layout.tailMagicOffset = block.tailMagicOffset;
  layout.firstEntry = layout.blockStart + block.entryOffset;
  layout.signatureData = layout.blockStart + block.dataOffset;
  const uint64_t blockEnd = layout.blockStart + block.length;
  layout.padAfter = options.padAfter.value_or(static_cast<uint32_t>(
      (kCertificateAlignment - blockEnd % kCertificateAlignment) % kCertificateAlignment));
  RequirePad(layout.padAfter, "pad-after");
  layout.excludedLength = options.padBefore + block.length + layout.padAfter;
  if (blockEnd + layout.padAfter >= kFileSizeLimit) {
    throw SigningError("the signed file would be 4 GiB or larger");
  }
  return layout;
}

}  // namespace

SignedExecutable SignExecutable(const Bytes& input, const SigningKey& key,
                                const ExecutableSigningOptions& options) {
  const ExecutableLayout layout = PlanLayout(input.size(), options);
  ExcludedRanges ranges = ExecutableHeaderRanges(input);

  Bytes output(input);
  output.resize(input.size() + layout.excludedLength, 0);
  ranges.push_back({input.size(), layout.excludedLength});
  CheckExcludedRanges(ranges, output.size());

  const RsaBlock signature = key.SignRaw(ExecutableMessage(DigestFileExcluding(output, ranges)));
  const Bytes block = SignatureBlock(
      {options.form, options.keyKind, layout.padBefore, layout.padAfter, layout.excludedLength},
      signature);
  std::copy(block.begin(), block.end(), output.begin() + static_cast<long>(layout.blockStart));
  return SignedExecutable{std::move(output), layout};
}

}  // namespace signing
