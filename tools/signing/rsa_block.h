// An operand of the 2048-bit RSA operations: k = 256 octets, most significant first.
#ifndef KT_TOOLS_SIGNING_RSA_BLOCK_H
#define KT_TOOLS_SIGNING_RSA_BLOCK_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace signing {

constexpr size_t kRsaOctets = 256;
using RsaBlock = std::array<uint8_t, kRsaOctets>;

}  // namespace signing

#endif
