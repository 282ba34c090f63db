// The C heap behind MemoryAllocate/MemoryRelease.
#include "crypto/memory.h"

#include <cstdlib>

void* MemoryAllocate(size_t size) {
  return std::calloc(1, size == 0 ? 1 : size);
}

void MemoryRelease(void* block) {
  std::free(block);
}
