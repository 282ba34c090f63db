// MemoryAllocate/MemoryRelease for tests: calloc with one armed failure and a live count.
#include "tests/support/memory_fault.h"

#include <cstdlib>

#include "crypto/memory.h"

namespace {
uint32_t g_calls = 0;
uint32_t g_failingCall = 0;
size_t g_live = 0;
}  // namespace

void MemoryFaultArm(uint32_t failingCall) {
  g_failingCall = failingCall;
  g_calls = 0;
}

uint32_t MemoryFaultCalls() {
  return g_calls;
}

bool MemoryFaultTriggered() {
  return g_failingCall != 0 && g_calls >= g_failingCall;
}

size_t MemoryFaultLiveBlocks() {
  return g_live;
}

void* MemoryAllocate(size_t size) {
  ++g_calls;
  if (g_failingCall != 0 && g_calls == g_failingCall) {
    return nullptr;
  }
  void* block = std::calloc(1, size == 0 ? 1 : size);
  if (block != nullptr) {
    ++g_live;
  }
  return block;
}

void MemoryRelease(void* block) {
  if (block != nullptr) {
    --g_live;
    std::free(block);
  }
}
