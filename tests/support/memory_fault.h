// Test allocation point: behaves like the real one until an armed call number, which fails.
// It also counts the blocks handed out and not yet returned, so a test can prove that every
// path released what it took.
#ifndef KT_TESTS_MEMORY_FAULT_H
#define KT_TESTS_MEMORY_FAULT_H

#include <cstddef>
#include <cstdint>

// Makes the failingCall-th MemoryAllocate from now on return nullptr (1 = the next one);
// 0 disarms. Resets the call counter.
void MemoryFaultArm(uint32_t failingCall);

// MemoryAllocate calls since the last MemoryFaultArm.
uint32_t MemoryFaultCalls();

// Whether the armed failure has happened since the last MemoryFaultArm.
bool MemoryFaultTriggered();

// Blocks currently held: allocated and not yet released.
size_t MemoryFaultLiveBlocks();

// Runs `operation` with the first, second, ... allocation failing until a run makes no more
// allocations than the armed number; returns how many failing runs there were. `operation`
// receives the armed call number, cleans up after itself and checks its own result, asking
// MemoryFaultTriggered() whether this run saw the failure.
template <typename Operation>
uint32_t ForEachAllocationFailure(Operation operation) {
  uint32_t failing = 1;
  for (;; ++failing) {
    MemoryFaultArm(failing);
    operation(failing);
    const bool reached = MemoryFaultTriggered();
    MemoryFaultArm(0);
    if (!reached) {
      return failing - 1;
    }
  }
}

#endif
