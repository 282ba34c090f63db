// The host's string heap: the C heap. The helper itself takes its strings from the process
// heap (app/win32/).
#include <cstdlib>

#include "app/string_heap.h"

void* StringHeapAllocate(size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}

void StringHeapRelease(void* block) {
  std::free(block);
}
