// Internal to the digit layer: the digit products in every implementation, exposed in a header
// so that the tests can compare them. DigitsMultiplySubtract, DigitsMultiply and DigitsSquare
// (crypto/bignum.h) run the one in use (DigitRowsImplementationInUse).
#ifndef KT_CRYPTO_DIGITS_MULTIPLY_H
#define KT_CRYPTO_DIGITS_MULTIPLY_H

#include <cstdint>

// Each has the contract of the public function of the same name without the suffix.

// Portable C++, always present.
uint32_t DigitsMultiplySubtractPortable(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                        uint32_t n);
void DigitsMultiplyPortable(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n);
void DigitsSquarePortable(uint32_t* w, const uint32_t* x, uint32_t n);

// Inline assembly with MULX, ADCX and ADOX for the rows of two-digit limbs, on x86-64 under
// GCC and Clang. Builds that keep to one digit at a time (KT_DIGITS_NARROW) leave it out.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(KT_DIGITS_NARROW)
#define KT_DIGITS_ADX 1

// Even digit counts take the assembly rows, odd ones the portable one-digit loops. These and
// the rows below need a processor with BMI2 and ADX (ImplementationSupported,
// crypto/implementation.h).
uint32_t DigitsMultiplySubtractAdx(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q,
                                   uint32_t n);
void DigitsMultiplyAdx(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n);
void DigitsSquareAdx(uint32_t* w, const uint32_t* x, uint32_t n);

// The rows themselves, over `count` limbs of two digits: w -= q * v, returning what is still
// to be subtracted above the top limb; row += u * factor, returning the carry out of it.
uint64_t LimbsMultiplySubtractAdx(uint32_t* w, const uint32_t* v, uint32_t q, uint32_t count);
uint64_t LimbsMultiplyAddAdx(uint32_t* row, const uint32_t* u, uint64_t factor, uint32_t count);
#endif

#endif
