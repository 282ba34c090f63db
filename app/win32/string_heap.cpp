// WideString's memory on Windows: the process heap.
#include "app/string_heap.h"

#include <windows.h>

void* StringHeapAllocate(size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

void StringHeapRelease(void* block) {
  if (block != nullptr) {
    HeapFree(GetProcessHeap(), 0, block);
  }
}
