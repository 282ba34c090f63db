// The guard is written in assembly, since only there are the stack pointer and the
// callee-saved registers the caller's to set. Bit k of the result stands for kRegisters[k].
//
// The frame: the caller's callee-saved registers are pushed (and under Win64 XMM6 to XMM15
// stored) first, then the stack pointer is moved down to the requested offset, and the old
// one is kept in the new frame, above the argument space that the callee may write to. The
// callee gives the stack pointer back as it got it, so that slot is found again whatever the
// callee did to the other registers.
#include "tests/wine/programs/convention_guard.h"

#include <cstddef>

#if defined(__x86_64__)

// Win64: function in RCX, context in RDX, offset in R8D. Callee-saved: RBX, RBP, RSI, RDI,
// R12 to R15 and the low 128 bits of XMM6 to XMM15. The callee gets 32 bytes of shadow space
// above its return address; the old stack pointer lies just above them.
asm(R"(
    .text
    .p2align 4
    .globl kt_guarded_call
    .def kt_guarded_call; .scl 2; .type 32; .endef
    .set kt_gpr_pattern, 0x4b54475052000000
    .set kt_xmm_low_pattern, 0x4b54584d4d4c0000
    .set kt_xmm_high_pattern, 0x4b54584d4d480000
kt_guarded_call:
    pushq %rbp
    pushq %rbx
    pushq %rsi
    pushq %rdi
    pushq %r12
    pushq %r13
    pushq %r14
    pushq %r15
    subq $160, %rsp
    .set kt_slot, 0
    .irp i, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movdqu %xmm\i, kt_slot(%rsp)
    .set kt_slot, kt_slot + 16
    .endr

    movq %rsp, %r9
    movl %r8d, %r8d
    andq $-32, %rsp
    subq $64, %rsp
    addq %r8, %rsp
    movq %r9, 32(%rsp)
    movq %rcx, %rax
    movq %rdx, %rcx

    .set kt_bit, 0
    .irp r, rbx, rbp, rsi, rdi, r12, r13, r14, r15
    movabsq $(kt_gpr_pattern + kt_bit), %\r
    .set kt_bit, kt_bit + 1
    .endr
    .irp i, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movabsq $(kt_xmm_low_pattern + \i), %r11
    movq %r11, %xmm\i
    movabsq $(kt_xmm_high_pattern + \i), %r11
    movq %r11, %xmm0
    punpcklqdq %xmm0, %xmm\i
    .endr

    callq *%rax

    xorl %eax, %eax
    .set kt_bit, 0
    .irp r, rbx, rbp, rsi, rdi, r12, r13, r14, r15
    movabsq $(kt_gpr_pattern + kt_bit), %r11
    cmpq %r11, %\r
    je 1f
    orl $(1 << kt_bit), %eax
1:
    .set kt_bit, kt_bit + 1
    .endr
    .irp i, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movq %xmm\i, %r10
    movabsq $(kt_xmm_low_pattern + \i), %r11
    cmpq %r11, %r10
    jne 2f
    pshufd $0x4e, %xmm\i, %xmm0
    movq %xmm0, %r10
    movabsq $(kt_xmm_high_pattern + \i), %r11
    cmpq %r11, %r10
    je 1f
2:
    orl $(1 << (\i + 2)), %eax
1:
    .endr

    movq 32(%rsp), %rsp
    .set kt_slot, 0
    .irp i, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
    movdqu kt_slot(%rsp), %xmm\i
    .set kt_slot, kt_slot + 16
    .endr
    addq $160, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rdi
    popq %rsi
    popq %rbx
    popq %rbp
    ret
)");

namespace {
const char* const kRegisters[] = {"rbx",   "rbp",   "rsi",   "rdi",   "r12",   "r13",
                                  "r14",   "r15",   "xmm6",  "xmm7",  "xmm8",  "xmm9",
                                  "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15"};
}  // namespace

#else

// 32-bit, cdecl: the arguments on the stack, above the return address. Callee-saved: EBX,
// EBP, ESI and EDI; no vector register. The callee owns its one argument slot; the old stack
// pointer lies in the slot above it.
asm(R"(
    .text
    .p2align 4
    .globl kt_guarded_call
    .def kt_guarded_call; .scl 2; .type 32; .endef
    .set kt_gpr_pattern, 0x4b544700
kt_guarded_call:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 20(%esp), %eax
    movl 24(%esp), %ecx
    movl 28(%esp), %edx

    movl %esp, %edi
    andl $-32, %esp
    subl $32, %esp
    addl %edx, %esp
    movl %ecx, (%esp)
    movl %edi, 4(%esp)

    .set kt_bit, 0
    .irp r, ebx, ebp, esi, edi
    movl $(kt_gpr_pattern + kt_bit), %\r
    .set kt_bit, kt_bit + 1
    .endr

    calll *%eax

    xorl %eax, %eax
    .set kt_bit, 0
    .irp r, ebx, ebp, esi, edi
    cmpl $(kt_gpr_pattern + kt_bit), %\r
    je 1f
    orl $(1 << kt_bit), %eax
1:
    .set kt_bit, kt_bit + 1
    .endr

    movl 4(%esp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace {
const char* const kRegisters[] = {"ebx", "ebp", "esi", "edi"};
}  // namespace

#endif

std::string ChangedRegisters(uint32_t changed) {
  std::string names;
  for (size_t bit = 0; bit < sizeof kRegisters / sizeof kRegisters[0]; ++bit) {
    if ((changed & (1u << bit)) != 0) {
      names += (names.empty() ? "" : ",") + std::string(kRegisters[bit]);
    }
  }
  return names.empty() ? "kept" : names;
}
