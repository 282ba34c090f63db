// The one allocation point of WideString. The helper takes its strings from the process
// heap; the host build from the C heap; the tests link a version that fails on request and
// counts what is still held.
#ifndef KT_APP_STRING_HEAP_H
#define KT_APP_STRING_HEAP_H

#include <cstddef>

// A block of `size` bytes, or nullptr when memory runs out.
void* StringHeapAllocate(size_t size);

// Returns a block from StringHeapAllocate; nullptr is ignored.
void StringHeapRelease(void* block);

#endif
