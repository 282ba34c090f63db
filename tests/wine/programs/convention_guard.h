// Calls a function as a caller built by another compiler may: with the stack pointer anywhere
// the Windows calling convention allows, and with values of its own in every register that
// the convention says the callee keeps. GCC's own calls always leave the stack 16-byte
// aligned and often hold nothing across a call in XMM6 to XMM15, so code that breaks the
// convention there can still pass when called from GCC's code alone.
#ifndef KT_TESTS_WINE_PROGRAMS_CONVENTION_GUARD_H
#define KT_TESTS_WINE_PROGRAMS_CONVENTION_GUARD_H

#include <cstdint>
#include <string>

// The stack pointer's offsets from a 32-byte boundary at the call: Win64 promises 16-byte
// alignment, so the two halves of 32; 32-bit Windows promises 4 bytes, so every 4-byte step
// within 16 (code that needs 32 realigns itself on every target).
#if defined(__x86_64__)
constexpr uint32_t kStackOffsets[] = {0, 16};
#elif defined(__i386__)
constexpr uint32_t kStackOffsets[] = {0, 4, 8, 12};
#else
#error "the convention guard is written for x86-64 and x86"
#endif

using GuardedFunction = void (*)(void* context);

// Calls function(context) with the stack pointer `stackOffset` bytes (one of kStackOffsets)
// above a 32-byte boundary at the call instruction and the callee-saved registers filled
// with known values. A bit set for each register that the call did not keep, in the order of
// ChangedRegisters' names; 0 when it kept them all. Written in assembly, under the one symbol
// name that both targets' assemblers see alike (32-bit C names would gain an underscore).
uint32_t CallWithConventionGuard(GuardedFunction function, void* context,
                                 uint32_t stackOffset) asm("kt_guarded_call");

// "kept", or the names of the registers in `changed`, separated by commas.
std::string ChangedRegisters(uint32_t changed);

#endif
