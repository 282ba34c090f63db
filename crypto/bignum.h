// Unsigned multiple-precision arithmetic for 2048-bit RSA: a digit layer over plain arrays
// of 32-bit digits, and a number layer (BigNum) that owns a growable digit array.
//
// Digit arrays are least significant digit first; n is always a digit count passed by the
// caller. Leading zero digits are allowed. A double digit is uint32_t[2], low digit first.
// In the digit layer only DigitsModExp allocates; everything else works in the arrays it is
// given.
#ifndef KT_CRYPTO_BIGNUM_H
#define KT_CRYPTO_BIGNUM_H

#include <cstdint>

// ---- Digit layer ---------------------------------------------------------------------------

// out = a * b, the exact 64-bit product as (low, high).
void DigitMultiply(uint32_t out[2], uint32_t a, uint32_t b);

// Divides the double digit u = (low, high) by a normalised d (top bit set).
// quotient = (u div d) mod 2^32, remainder = u mod d; returns 1 when the quotient needs bit
// 32 (high >= d), else 0. A d with a clear top bit gives -1 with quotient and remainder 0.
int DigitDivide(uint32_t* quotient, uint32_t* remainder, const uint32_t u[2], uint32_t d);

// w = u + v over n digits; returns the carry (0 or 1). w may be u or v.
uint32_t DigitsAdd(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n);

// w = w - q * v over n digits; returns t minus the final borrow, modulo 2^32.
// q = 0 leaves w alone and returns t.
uint32_t DigitsMultiplySubtract(uint32_t t, uint32_t* w, const uint32_t* v, uint32_t q, uint32_t n);

// w (2n digits) = u * v; w must not overlap u or v.
void DigitsMultiply(uint32_t* w, const uint32_t* u, const uint32_t* v, uint32_t n);

// w (2n digits) = x * x, each cross product computed once; w must not overlap x.
void DigitsSquare(uint32_t* w, const uint32_t* x, uint32_t n);

// 1 if a > b, -1 if a < b, 0 if equal (also for n = 0).
int DigitsCompare(const uint32_t* a, const uint32_t* b, uint32_t n);

// Number of significant digits (up to the most significant non-zero one), 0 for zero.
uint32_t DigitsSignificant(const uint32_t* a, uint32_t n);

// Bit length of the value; 0 for zero, for n = 0 and for a null array.
uint32_t DigitsBitLength(const uint32_t* a, uint32_t n);

// dst = src over n digits.
void DigitsCopy(uint32_t* dst, const uint32_t* src, uint32_t n);

// Sets all n digits to zero in a way the optimiser cannot drop, also right before a release.
void DigitsWipe(uint32_t* a, uint32_t n);

// a = d: digit 0 is d, the other n - 1 digits zero.
void DigitsSetDigit(uint32_t* a, uint32_t d, uint32_t n);

// a = b * 2^s over n digits, 0 <= s < 32; returns the bits shifted out at the top
// (b[n-1] >> (32 - s), 0 when s = 0). a may be b.
uint32_t DigitsShiftLeft(uint32_t* a, const uint32_t* b, uint32_t s, uint32_t n);

// a = b >> s over n digits, 0 <= s < 32; returns the bits shifted out at the bottom, placed
// at the top of a digit ((b[0] mod 2^s) << (32 - s), 0 when s = 0). a may be b.
uint32_t DigitsShiftRight(uint32_t* a, const uint32_t* b, uint32_t s, uint32_t n);

// q = u div d over n digits; returns u mod d. u is not changed.
// n = 0 or d = 0: returns 0 and leaves q untouched.
uint32_t DigitsDivideShort(uint32_t* q, const uint32_t* u, uint32_t d, uint32_t n);

// Long division: q = u div v, r = u mod v; q and r need room for nu digits each.
// v (nv digits) is normalised in place and restored before returning, so it must be
// writable and must not overlap q or r. Returns 0, or -1 when v is zero (q and r zero).
int DigitsDivide(uint32_t* q, uint32_t* r, const uint32_t* u, uint32_t nu, uint32_t* v,
                 uint32_t nv);

// y = x^e mod m, all of n digits, by left-to-right square-and-multiply with a full long
// division after every step. Returns -1 when n = 0, else 0; when a working array cannot be
// allocated, *failed is set, y is untouched and the result is 0.
int DigitsModExp(uint32_t* y, const uint32_t* x, const uint32_t* e, const uint32_t* m, uint32_t n,
                 int* failed);

// Zeroes a (n digits) and loads the big-endian octets into it from the last octet backwards;
// octets beyond n digits are ignored. Returns the digits filled: min((count + 3) / 4, n).
uint32_t DigitsFromOctets(uint32_t* a, uint32_t n, const uint8_t* octets, uint32_t count);

// Writes a big-endian, right-aligned into out[0..length-1], zero-filling the front and
// dropping the most significant octets when out is too short. Returns the octets the value
// needs, (DigitsBitLength + 7) / 8, whatever length is.
uint32_t DigitsToOctets(const uint32_t* a, uint32_t n, uint8_t* out, uint32_t length);

// ---- Number layer --------------------------------------------------------------------------

// Invariants: length <= capacity, digits[length .. capacity-1] are zero.
struct BigNum {
  uint32_t* digits;   // owned heap array of `capacity` digits
  uint32_t length;    // digits that hold the value
  uint32_t capacity;  // digits allocated
};

// A new number of value zero (capacity 1, length 0), or nullptr when memory runs out.
BigNum* BigNumCreate();

// Wipes and frees the number and sets *handle to nullptr; a null *handle is accepted.
void BigNumRelease(BigNum** handle);

// Cuts the value to its low digitCount digits, or grows the array to digitCount digits
// keeping the value. Returns 0, or 1 when memory runs out (the number is then unchanged).
int BigNumResize(BigNum* number, uint32_t digitCount);

// Loads a big-endian octet string. Returns the digits filled, 0 when memory runs out.
uint32_t BigNumFromOctets(BigNum* number, const uint8_t* octets, uint32_t count);

// Returns the octets the value needs (no leading zeros); writes them with DigitsToOctets when
// out is given and length is not 0. Call once without a buffer, then with exactly that length.
uint32_t BigNumToOctets(const BigNum* number, uint8_t* out, uint32_t length);

// y = x^e mod m. Returns 0, or non-zero when memory runs out or x, e and m are all zero
// (y then keeps its value).
// x, e and m may be resized to a common length; their values do not change.
int BigNumModExp(BigNum* y, BigNum* x, BigNum* e, BigNum* m);

#endif
