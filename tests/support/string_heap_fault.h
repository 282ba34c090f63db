// Test string heap: behaves like the C heap until an armed call number, which fails. It
// counts the blocks handed out and not yet returned, so a test can prove that every path
// gave back what it took.
#ifndef KT_TESTS_STRING_HEAP_FAULT_H
#define KT_TESTS_STRING_HEAP_FAULT_H

#include <cstddef>
#include <cstdint>

// Makes the failingCall-th StringHeapAllocate from now on return nullptr (1 = the next one);
// 0 disarms. Resets the call counter.
void StringHeapFaultArm(uint32_t failingCall);

// Whether the armed failure has happened since the last StringHeapFaultArm.
bool StringHeapFaultTriggered();

// Blocks currently held: allocated and not yet released.
size_t StringHeapLiveBlocks();

// Runs `operation` with the first, second, ... string allocation failing until a run makes
// no more allocations than the armed number; returns how many failing runs there were.
// `operation` receives the armed call number and checks its own outcome, asking
// StringHeapFaultTriggered() whether this run saw the failure.
template <typename Operation>
uint32_t ForEachStringHeapFailure(Operation operation) {
  for (uint32_t failing = 1;; ++failing) {
    StringHeapFaultArm(failing);
    operation(failing);
    const bool reached = StringHeapFaultTriggered();
    StringHeapFaultArm(0);
    if (!reached) {
      return failing - 1;
    }
  }
}

#endif
