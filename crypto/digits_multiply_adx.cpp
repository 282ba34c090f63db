// The row loops of the digit products for x86-64 processors with BMI2 and ADX, in inline
// assembly. A row adds factor * u to `count` limbs of two digits each (low digit first, which
// is the memory layout on x86):
//
//   limb:        k-1        k          k+1
//   product k-1: lo(k-1)    hi(k-1)
//   product k:              lo(k)      hi(k)
//   row[k]    += lo(k) + hi(k-1), with two carries into limb k+1
//
// Written in C, both additions run on the one carry flag, one after the other, and the compiler
// keeps reloading and spilling around the multiply. Here MULX leaves the flags alone, ADCX
// carries in CF only and ADOX in OF only, so the two additions of each limb run on two
// independent chains. The loop control (LEA, MOV, JRCXZ, JMP, LOOP) does not touch the flags
// either, so both chains run through the whole row and are folded into the carry once, at the
// end. That fold cannot overflow: the carry out of a row is exact and fits one limb.
//
// Registers, by operand name:
//   rdx         factor, MULX's implicit source     rcx    passes left (JRCXZ, LOOP)
//   row, u      the current limb of each array      lo     product's low half, then the sum
//   carry, hi   high halves of alternate limbs      zero   0, for the fold
//   t           ~v[k] (multiply-subtract only)
//
// Only the registers in the operand lists are used and nothing is kept on the stack, so the
// code is the same under every calling convention.
#include "crypto/digits_multiply.h"

#ifdef KT_DIGITS_ADX

namespace {

// The assembly text is laid out one instruction a line, which clang-format would undo.
// clang-format off

// row[k] at byte `offset` = lo + row[k] + CF + hiIn + OF, where lo is this limb's low half
// and hiIn the previous limb's high half.
#define KT_ADX_ACCUMULATE(offset, hiIn)                 \
  "adcxq " offset "(%[row]), %[lo]\n\t"                 \
  "adoxq %[" hiIn "], %[lo]\n\t"                        \
  "movq %[lo], " offset "(%[row])\n\t"

#define KT_ADX_ADD_LIMB(offset, hiIn, hiOut)            \
  "mulxq " offset "(%[u]), %[lo], %[" hiOut "]\n\t"     \
  KT_ADX_ACCUMULATE(offset, hiIn)

#define KT_ADX_SUBTRACT_LIMB(offset, hiIn, hiOut)       \
  "movq " offset "(%[u]), %[t]\n\t"                     \
  "notq %[t]\n\t"                                       \
  "mulxq %[t], %[lo], %[" hiOut "]\n\t"                 \
  KT_ADX_ACCUMULATE(offset, hiIn)

// The row: rcx passes of eight limbs, then `tail` single limbs. The high halves alternate
// between `carry` and `hi`, so that limb k can still read limb k-1's while MULX writes its
// own; `carry` holds the one due at the start of each pass. Zeroing `zero` also clears CF and
// OF. JRCXZ reaches only 127 bytes, so the test of the main loop stands just before the jump
// back to its top.
#define KT_ADX_ROW(LIMB)                                \
  "xorl %k[zero], %k[zero]\n\t"                         \
  "jmp 2f\n"                                            \
  "1:\n\t"                                              \
  LIMB("0", "carry", "hi")                              \
  LIMB("8", "hi", "carry")                              \
  LIMB("16", "carry", "hi")                             \
  LIMB("24", "hi", "carry")                             \
  LIMB("32", "carry", "hi")                             \
  LIMB("40", "hi", "carry")                             \
  LIMB("48", "carry", "hi")                             \
  LIMB("56", "hi", "carry")                             \
  "leaq 64(%[u]), %[u]\n\t"                             \
  "leaq 64(%[row]), %[row]\n\t"                         \
  "leaq -1(%%rcx), %%rcx\n"                             \
  "2:\n\t"                                              \
  "jrcxz 3f\n\t"                                        \
  "jmp 1b\n"                                            \
  "3:\n\t"                                              \
  "movq %[tail], %%rcx\n\t"                             \
  "jrcxz 5f\n"                                          \
  "4:\n\t"                                              \
  LIMB("0", "carry", "hi")                              \
  "movq %[hi], %[carry]\n\t"                            \
  "leaq 8(%[u]), %[u]\n\t"                              \
  "leaq 8(%[row]), %[row]\n\t"                          \
  "loop 4b\n"                                           \
  "5:\n\t"                                              \
  "adcxq %[zero], %[carry]\n\t"                         \
  "adoxq %[zero], %[carry]\n\t"

// clang-format on

// The limbs of one pass of KT_ADX_ROW's main loop, which steps its pointers by 64 bytes.
constexpr uint32_t kLimbsPerPass = 8;

}  // namespace

// w - q * v = w + q * ~v + q - q * 2^(64 count), with ~v the complement over the row. So the
// row adds q * ~v with q as the carry into limb 0, and what is left to subtract above it is
// q minus the carry out; the sum stays below (q + 1) * 2^(64 count), so that carry is at
// most q.
uint64_t LimbsMultiplySubtractAdx(uint32_t* w, const uint32_t* v, uint32_t q, uint32_t count) {
  const uint64_t factor = q;
  uint64_t carry;
  uint64_t lo;
  uint64_t hi;
  uint64_t t;
  uint64_t zero;
  uint64_t passes = count / kLimbsPerPass;
  const uint64_t tail = count % kLimbsPerPass;
  // Early clobbers everywhere: the temporaries are written before the inputs are last read,
  // and carry, which starts as the factor, must not share the factor's register.
  asm volatile(KT_ADX_ROW(KT_ADX_SUBTRACT_LIMB)
               : [carry] "=&r"(carry), [lo] "=&r"(lo), [hi] "=&r"(hi), [t] "=&r"(t),
                 [zero] "=&r"(zero), [row] "+&r"(w), [u] "+&r"(v), "+&c"(passes)
               : [tail] "r"(tail), "d"(factor), "0"(factor)
               : "cc", "memory");
  return factor - carry;
}

uint64_t LimbsMultiplyAddAdx(uint32_t* row, const uint32_t* u, uint64_t factor, uint32_t count) {
  uint64_t carry = 0;
  uint64_t lo;
  uint64_t hi;
  uint64_t zero;
  uint64_t passes = count / kLimbsPerPass;
  const uint64_t tail = count % kLimbsPerPass;
  asm volatile(KT_ADX_ROW(KT_ADX_ADD_LIMB)
               : [carry] "+&r"(carry), [lo] "=&r"(lo), [hi] "=&r"(hi), [zero] "=&r"(zero),
                 [row] "+&r"(row), [u] "+&r"(u), "+&c"(passes)
               : [tail] "r"(tail), "d"(factor)
               : "cc", "memory");
  return carry;
}

#undef KT_ADX_ROW
#undef KT_ADX_SUBTRACT_LIMB
#undef KT_ADX_ADD_LIMB
#undef KT_ADX_ACCUMULATE

#endif
