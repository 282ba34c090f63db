// Which implementation runs where crypto/ has more than one: SHA-256 compression and the rows
// of the digit products. Each starts at the fastest that this processor runs, chosen once,
// when it is first needed. Tests and benchmarks force another through UseImplementation;
// nothing else changes the choice, and nothing reads the environment.
#ifndef KT_CRYPTO_IMPLEMENTATION_H
#define KT_CRYPTO_IMPLEMENTATION_H

#include <cstdint>

enum class Sha256Implementation : uint8_t {
  kPortable,       // C++, every processor
  kAvx2,           // message schedule in AVX2 vectors, rounds with BMI2 rotates (x86)
  kShaExtensions,  // the SHA instructions (x86)
};

enum class DigitRowsImplementation : uint8_t {
  kPortable,  // C++, two digits at a time where the compiler has 128-bit integers
  kAdx,       // MULX, ADCX and ADOX in inline assembly (x86-64)
};

// Every implementation, slowest first, for tests that run each one.
constexpr Sha256Implementation kSha256Implementations[] = {Sha256Implementation::kPortable,
                                                           Sha256Implementation::kAvx2,
                                                           Sha256Implementation::kShaExtensions};
constexpr DigitRowsImplementation kDigitRowsImplementations[] = {DigitRowsImplementation::kPortable,
                                                                 DigitRowsImplementation::kAdx};

// Whether this build has it and this processor and operating system run it.
bool ImplementationSupported(Sha256Implementation which);
bool ImplementationSupported(DigitRowsImplementation which);

// The one in use now.
Sha256Implementation Sha256ImplementationInUse();
DigitRowsImplementation DigitRowsImplementationInUse();

// Makes `which` the one in use; false, and nothing changes, when it is not supported.
bool UseImplementation(Sha256Implementation which);
bool UseImplementation(DigitRowsImplementation which);

// A short name for messages: "portable", "avx2", "sha-extensions", "adx".
const char* ImplementationName(Sha256Implementation which);
const char* ImplementationName(DigitRowsImplementation which);

#endif
