// The keystream that masks the signed size in a script signature. Masking and unmasking are
// the same operation.
#ifndef KT_TOOLS_SIGNING_SIZE_KEYSTREAM_H
#define KT_TOOLS_SIGNING_SIZE_KEYSTREAM_H

#include <cstddef>
#include <cstdint>

namespace signing {

constexpr uint32_t kSizeMaskSeed = 0x5E1C47B2;

// XORs `count` bytes with the keystream drawn from `*state` and leaves the advanced state there.
void ApplyKeystream(uint8_t* bytes, size_t count, uint32_t* state);

}  // namespace signing

#endif
