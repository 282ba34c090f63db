// Heap digit arrays for the number layer and the exponentiation's working arrays: sized
// without overflow, zero-filled, and wiped before they go back. Internal to crypto/.
#ifndef KT_CRYPTO_DIGITS_ALLOC_H
#define KT_CRYPTO_DIGITS_ALLOC_H

#include <cstddef>
#include <cstdint>

#include "crypto/bignum.h"
#include "crypto/memory.h"

// A zero-filled array of `count` digits, or nullptr when memory runs out or when the count
// does not fit the digit layer's 32-bit lengths or the size does not fit size_t.
inline uint32_t* AllocateDigits(uint64_t count) {
  if (count > UINT32_MAX || count > SIZE_MAX / sizeof(uint32_t)) {
    return nullptr;
  }
  return static_cast<uint32_t*>(MemoryAllocate(static_cast<size_t>(count) * sizeof(uint32_t)));
}

// Wipes `count` digits of *slot, releases it and empties the slot; an empty slot is left alone.
inline void ReleaseDigits(uint32_t** slot, uint32_t count) {
  if (*slot != nullptr) {
    DigitsWipe(*slot, count);
    MemoryRelease(*slot);
    *slot = nullptr;
  }
}

#endif
