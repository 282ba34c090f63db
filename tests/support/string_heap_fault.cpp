// StringHeapAllocate/StringHeapRelease for tests: malloc with one armed failure and a live
// count.
#include "tests/support/string_heap_fault.h"

#include <cstdlib>

#include "app/string_heap.h"

namespace {
uint32_t g_calls = 0;
uint32_t g_failingCall = 0;
size_t g_live = 0;
}  // namespace

void StringHeapFaultArm(uint32_t failingCall) {
  g_failingCall = failingCall;
  g_calls = 0;
}

bool StringHeapFaultTriggered() {
  return g_failingCall != 0 && g_calls >= g_failingCall;
}

size_t StringHeapLiveBlocks() {
  return g_live;
}

void* StringHeapAllocate(size_t size) {
  ++g_calls;
  if (g_failingCall != 0 && g_calls == g_failingCall) {
    return nullptr;
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) {
    ++g_live;
  }
  return block;
}

void StringHeapRelease(void* block) {
  if (block != nullptr) {
    --g_live;
    std::free(block);
  }
}
