// What the signer's output must contain, worked out again in the tests from the file bytes
// alone, with OpenSSL as the arithmetic and digest reference: the ranges a verifier leaves
// out, the digests over the rest, the raw RSA public operation, hex text and the size mask.
#ifndef KT_TESTS_TOOLS_SIGNING_REFERENCE_H
#define KT_TESTS_TOOLS_SIGNING_REFERENCE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/openssl_reference.h"

namespace reference {

// Inclusive at both ends; an end of start - 1 is an empty range.
struct Range {
  uint32_t start;
  uint32_t end;
};

// The excluded ranges of a signed file in the verifier's list order: for a file starting with
// "MZ" the header checksum, the certificate-table entry and (when its offset is not 0) the
// certificate table, with the block region inserted before the first range that starts after
// it; for any other file the block region alone.
std::vector<Range> ExcludedRanges(const Octets& file, uint32_t regionStart, uint32_t regionLength);

// The bytes below `limit` that no range covers, in file order.
Octets KeptBytes(const Octets& file, const std::vector<Range>& ranges, size_t limit);

uint32_t ExcludedTotal(const std::vector<Range>& ranges);

Octets Sha256(const Octets& data);

// The modulus of the key in a PEM file (private or public), 256 octets.
Octets PemModulus(const std::string& path);

// signature^65537 mod modulus, as many octets as the modulus.
Octets RawPublic(const Octets& signature, const Octets& modulus);

// The helper's own VerifySignedDigest on a signature, into a zero-filled block as its callers
// do: the self-checked length it answers (0 for a failed check) and the decoded block.
struct HelperDecoding {
  uint32_t length;
  Octets decoded;
};
HelperDecoding DecodeAsTheHelper(const Octets& signature, const Octets& modulus);

// Two hex digits per octet, high digit first; both cases accepted.
Octets HexDecode(const std::string& text);

// The size mask of script signatures, applied to 4 little-endian octets; its own inverse.
uint32_t UnmaskSize(const uint8_t* masked);

uint32_t LoadU32Le(const uint8_t* bytes);

}  // namespace reference

#endif
