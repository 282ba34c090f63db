// The one allocation point of the cryptographic and verification code.
// Every heap block they use comes from MemoryAllocate and goes back through MemoryRelease,
// so a test can link a version that fails at a chosen call and counts what is still held.
#ifndef KT_CRYPTO_MEMORY_H
#define KT_CRYPTO_MEMORY_H

#include <cstddef>

// A zero-filled block of `size` bytes, or nullptr when memory runs out. A request for 0
// bytes still yields a block, so nullptr always means failure.
void* MemoryAllocate(size_t size);

// Returns a block from MemoryAllocate; nullptr is accepted and ignored.
void MemoryRelease(void* block);

#endif
