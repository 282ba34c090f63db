// The digit layer's products: multiply-and-subtract (the core of long division),
// schoolbook multiplication and squaring. These loops carry nearly all of the cost of an
// RSA operation. Each is written once over a limb type: a limb is one digit, or, where the
// compiler offers a 128-bit integer and the digit count is even, two adjacent digits read as
// one 64-bit value. The wide form needs a quarter of the multiplications and half of the
// carry steps; both give the same digits, and the narrow form serves odd counts and
// compilers without 128-bit integers (KT_DIGITS_NARROW selects it throughout). On x86-64
// processors with BMI2 and ADX the rows over two-digit limbs run in inline assembly instead
// (crypto/digits_multiply_adx.cpp), again with the same digits.
#include "crypto/digits_multiply.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "crypto/bignum.h"
#include "crypto/digit_ops.h"
#include "crypto/implementation.h"

namespace {

// One digit per limb.
struct NarrowLimbs {
  using Limb = uint32_t;
  using Wide = uint64_t;
  static constexpr uint32_t kBits = 32;
  static Limb Load(const uint32_t* digits, uint32_t i) { return digits[i]; }
  static void Store(uint32_t* digits, uint32_t i, Limb value) { digits[i] = value; }
};

#if defined(__SIZEOF_INT128__) && !defined(KT_DIGITS_NARROW)
#define KT_DIGITS_WIDE 1
__extension__ typedef unsigned __int128 Uint128;

// Two digits per limb, low digit first. On a little-endian machine that is the pair's memory
// layout, so one 64-bit access does (memcpy keeps it free of aliasing and alignment rules);
// elsewhere the digits are combined by shifts.
struct WideLimbs {
  using Limb = uint64_t;
  using Wide = Uint128;
  static constexpr uint32_t kBits = 64;
  static Limb Load(const uint32_t* digits, uint32_t i) {
    const uint32_t* pair = digits + 2 * static_cast<size_t>(i);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    Limb value;
    std::memcpy(&value, pair, sizeof value);
    return value;
#else
    return static_cast<uint64_t>(pair[0]) | (static_cast<uint64_t>(pair[1]) << 32);
#endif
  }
  static void Store(uint32_t* digits, uint32_t i, Limb value) {
    uint32_t* pair = digits + 2 * static_cast<size_t>(i);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(pair, &value, sizeof value);
#else
    pair[0] = static_cast<uint32_t>(value);
    pair[1] = static_cast<uint32_t>(value >> 32);
#endif
  }
};
#endif

// One step of multiply-and-subtract at limb i: w[i] -= low part of q * v[i] + carry, and the
// carry becomes what is still due at limb i + 1. The carry stays at most 2^32, so
// q * v[i] + carry always fits the wide type and the new carry fits a limb.
template <typename L>
void MultiplySubtractStep(uint32_t* w, const uint32_t* v, uint32_t q, uint32_t i,
                          typename L::Limb* carry) {
  using Limb = typename L::Limb;
  const typename L::Wide product = static_cast<typename L::Wide>(q) * L::Load(v, i);
  const Limb low = static_cast<Limb>(product) + *carry;
  Limb high = static_cast<Limb>(product >> L::kBits) + (low < *carry ? 1 : 0);
  const Limb digit = L::Load(w, i);
  L::Store(w, i, digit - low);
  *carry = high + (digit < low ? 1 : 0);
}

// w -= q * v over `count` limbs; returns what remains to be subtracted above them (the
// product's top part plus the final borrow). The carry of one step is the input of the next,
// and that chain, not the multiplier, sets the pace; so the lower and the upper half run as
// two independent chains side by side, and the lower half's carry is then subtracted from
// the upper half, where it rarely travels past the first limb.
template <typename L>
typename L::Limb MultiplySubtractLimbs(uint32_t* w, const uint32_t* v, uint32_t q, uint32_t count) {
  const uint32_t half = count / 2;
  typename L::Limb lowCarry = 0;
  typename L::Limb highCarry = 0;
  for (uint32_t i = 0; i < half; ++i) {
    MultiplySubtractStep<L>(w, v, q, i, &lowCarry);
    MultiplySubtractStep<L>(w, v, q, half + i, &highCarry);
  }
  if (count % 2 != 0) {
    MultiplySubtractStep<L>(w, v, q, count - 1, &highCarry);
  }
  for (uint32_t i = half; lowCarry != 0 && i < count; ++i) {
    const typename L::Limb digit = L::Load(w, i);
    L::Store(w, i, digit - lowCarry);
    lowCarry = digit < lowCarry ? 1 : 0;
  }
  return highCarry + lowCarry;
}

// row[i] += u[i] * factor + carry, and the carry becomes what is due at i + 1. At most
// (2^b - 1)^2 + 2 (2^b - 1) = 2^2b - 1, so the sum never overflows the wide type.
template <typename L>
void MultiplyAddStep(uint32_t* row, const uint32_t* u, typename L::Limb factor, uint32_t i,
                     typename L::Limb* carry) {
  const typename L::Wide sum =
      static_cast<typename L::Wide>(L::Load(u, i)) * factor + L::Load(row, i) + *carry;
  L::Store(row, i, static_cast<typename L::Limb>(sum));
  *carry = static_cast<typename L::Limb>(sum >> L::kBits);
}

// row[0..count-1] += u * factor; returns the carry out of the top limb.
template <typename L>
typename L::Limb MultiplyAddLimbs(uint32_t* row, const uint32_t* u, typename L::Limb factor,
                                  uint32_t count) {
  typename L::Limb carry = 0;
  for (uint32_t i = 0; i < count; ++i) {
    MultiplyAddStep<L>(row, u, factor, i, &carry);
  }
  return carry;
}

// The row loops over one limb type in portable C++.
template <typename L>
struct PortableRows {
  using Limbs = L;
  static typename L::Limb MultiplySubtract(uint32_t* w, const uint32_t* v, uint32_t q,
                                           uint32_t count) {
    return MultiplySubtractLimbs<L>(w, v, q, count);
  }
  static typename L::Limb MultiplyAdd(uint32_t* row, const uint32_t* u, typename L::Limb factor,
                                      uint32_t count) {
    return MultiplyAddLimbs<L>(row, u, factor, count);
  }
};

using NarrowRows = PortableRows<NarrowLimbs>;
// The widest limbs that portable C++ has on this target.
#ifdef KT_DIGITS_WIDE
using WidestRows = PortableRows<WideLimbs>;
#else
using WidestRows = NarrowRows;
#endif

#ifdef KT_DIGITS_ADX
// The same rows over two-digit limbs in inline assembly.
struct AdxRows {
  using Limbs = WideLimbs;
  static uint64_t MultiplySubtract(uint32_t* w, const uint32_t* v, uint32_t q, uint32_t count) {
    return LimbsMultiplySubtractAdx(w, v, q, count);
  }
  static uint64_t MultiplyAdd(uint32_t* row, const uint32_t* u, uint64_t factor, uint32_t count) {
    return LimbsMultiplyAddAdx(row, u, factor, count);
  }
};
#endif

// w (2 count limbs, zero on entry) = u * v, skipping the rows of zero limbs of v: the limb
// that such a row would have left at j + count is the zero already there.
template <typename R>
void MultiplyLimbs(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t count) {
  using L = typename R::Limbs;
  constexpr size_t kDigitsPerLimb = L::kBits / kDigitBits;
  for (uint32_t j = 0; j < count; ++j) {
    const typename L::Limb factor = L::Load(v, j);
    if (factor != 0) {
      uint32_t* row = w + j * kDigitsPerLimb;
      L::Store(row, count, R::MultiplyAdd(row, u, factor, count));
    }
  }
}

// w (2 count limbs, zero on entry) = x^2. Every cross product x[i] * x[j], j > i, is
// computed once into its row; the sum of the rows is then doubled on the fly while the
// squares x[i]^2 are added at 2i, so the doubling needs no carry wider than one bit.
template <typename R>
void SquareLimbs(uint32_t* w, const uint32_t* x, uint32_t count) {
  using L = typename R::Limbs;
  constexpr size_t kDigitsPerLimb = L::kBits / kDigitBits;
  for (uint32_t i = 0; i + 1 < count; ++i) {
    uint32_t* row = w + (2 * i + 1) * kDigitsPerLimb;  // position i + (i + 1)
    const uint32_t* rest = x + (i + 1) * kDigitsPerLimb;
    L::Store(row, count - i - 1, R::MultiplyAdd(row, rest, L::Load(x, i), count - i - 1));
  }
  typename L::Limb shiftedOut = 0;  // top bit of the previous limb, 0 or 1
  typename L::Limb carry = 0;       // carry of the additions, 0 or 1
  for (uint32_t i = 0; i < count; ++i) {
    const typename L::Limb xi = L::Load(x, i);
    const typename L::Wide square = static_cast<typename L::Wide>(xi) * xi;
    for (uint32_t half = 0; half < 2; ++half) {
      const uint32_t position = 2 * i + half;
      const typename L::Limb cross = L::Load(w, position);
      const typename L::Limb doubled = (cross << 1) | shiftedOut;
      shiftedOut = cross >> (L::kBits - 1);
      const typename L::Wide sum = static_cast<typename L::Wide>(doubled) +
                                   static_cast<typename L::Limb>(square >> (half * L::kBits)) +
                                   carry;
      L::Store(w, position, static_cast<typename L::Limb>(sum));
      carry = static_cast<typename L::Limb>(sum >> L::kBits);
    }
  }
}

void ZeroDigits(uint32_t* w, uint32_t count) {
  for (uint32_t k = 0; k < count; ++k) {
    w[k] = 0;
  }
}

template <typename R>
constexpr uint32_t kDigitsPer = R::Limbs::kBits / kDigitBits;

// The products of n digits over the rows R: whole limbs where n is a multiple of the digits
// per limb, one digit at a time otherwise.
template <typename R>
uint32_t MultiplySubtractDigits(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                uint32_t n) {
  if (q == 0) {
    return t;
  }
  if (n % kDigitsPer<R> == 0) {
    return t - static_cast<uint32_t>(R::MultiplySubtract(w, v, q, n / kDigitsPer<R>));
  }
  return t - NarrowRows::MultiplySubtract(w, v, q, n);
}

template <typename R>
void MultiplyDigits(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
  ZeroDigits(w, 2 * n);
  if (n % kDigitsPer<R> == 0) {
    MultiplyLimbs<R>(w, u, v, n / kDigitsPer<R>);
  } else {
    MultiplyLimbs<NarrowRows>(w, u, v, n);
  }
}

template <typename R>
void SquareDigits(uint32_t* w, const uint32_t* x, uint32_t n) {
  ZeroDigits(w, 2 * n);
  if (n % kDigitsPer<R> == 0) {
    SquareLimbs<R>(w, x, n / kDigitsPer<R>);
  } else {
    SquareLimbs<NarrowRows>(w, x, n);
  }
}

}  // namespace

uint32_t DigitsMultiplySubtractPortable(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                        uint32_t n) {
  return MultiplySubtractDigits<WidestRows>(t, w, v, q, n);
}

void DigitsMultiplyPortable(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
  MultiplyDigits<WidestRows>(w, u, v, n);
}

void DigitsSquarePortable(uint32_t* w, const uint32_t* x, uint32_t n) {
  SquareDigits<WidestRows>(w, x, n);
}

#ifdef KT_DIGITS_ADX
namespace {

bool UseAdxRows() {
  return DigitRowsImplementationInUse() == DigitRowsImplementation::kAdx;
}

}  // namespace

uint32_t DigitsMultiplySubtractAdx(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                   uint32_t n) {
  return MultiplySubtractDigits<AdxRows>(t, w, v, q, n);
}

void DigitsMultiplyAdx(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
  MultiplyDigits<AdxRows>(w, u, v, n);
}

void DigitsSquareAdx(uint32_t* w, const uint32_t* x, uint32_t n) {
  SquareDigits<AdxRows>(w, x, n);
}
#endif

uint32_t DigitsMultiplySubtract(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                uint32_t n) {
#ifdef KT_DIGITS_ADX
  if (UseAdxRows()) {
    return DigitsMultiplySubtractAdx(t, w, v, q, n);
  }
#endif
  return DigitsMultiplySubtractPortable(t, w, v, q, n);
}

void DigitsMultiply(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n) {
#ifdef KT_DIGITS_ADX
  if (UseAdxRows()) {
    DigitsMultiplyAdx(w, u, v, n);
    return;
  }
#endif
  DigitsMultiplyPortable(w, u, v, n);
}

void DigitsSquare(uint32_t* w, const uint32_t* x, uint32_t n) {
#ifdef KT_DIGITS_ADX
  if (UseAdxRows()) {
    DigitsSquareAdx(w, x, n);
    return;
  }
#endif
  DigitsSquarePortable(w, x, n);
}
