// The choice of implementation: what the processor offers (CPUID, and XGETBV for the vector
// state the operating system saves), the fastest of what it offers, and the one in use.
#include "crypto/implementation.h"

#include <atomic>
#include <cstddef>

#include "crypto/digits_multiply.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

// What this processor and operating system run, read once.
struct CpuFeatures {
  bool avx2Bmi2 = false;       // AVX2 with its registers saved by the system, and BMI2
  bool bmi2Adx = false;        // BMI2 and ADX
  bool shaExtensions = false;  // SHA with the SSSE3 and SSE4.1 shuffles it needs
};

#if defined(__x86_64__) || defined(__i386__)

constexpr unsigned Bit(unsigned n) {
  return 1u << n;
}

// Leaf 1, ECX.
constexpr unsigned kSsse3 = Bit(9);
constexpr unsigned kSse41 = Bit(19);
constexpr unsigned kOsXsave = Bit(27);
constexpr unsigned kAvx = Bit(28);
// Leaf 7, sub-leaf 0, EBX.
constexpr unsigned kAvx2 = Bit(5);
constexpr unsigned kBmi2 = Bit(8);
constexpr unsigned kAdx = Bit(19);
constexpr unsigned kSha = Bit(29);
// XCR0: the system saves the XMM and YMM registers on a task switch.
constexpr unsigned kXmmYmmState = Bit(1) | Bit(2);

bool Has(unsigned word, unsigned bits) {
  return (word & bits) == bits;
}

CpuFeatures ReadCpuFeatures() {
  unsigned eax = 0;
  unsigned ebx = 0;
  unsigned ecx1 = 0;
  unsigned edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx1, &edx) == 0) {
    return {};
  }
  unsigned ebx7 = 0;
  unsigned ecx = 0;
  if (__get_cpuid_count(7, 0, &eax, &ebx7, &ecx, &edx) == 0) {
    return {};
  }
  bool ymmSaved = false;
  if (Has(ecx1, kOsXsave | kAvx)) {
    unsigned xcr0 = 0;
    unsigned high = 0;
    __asm__("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
    ymmSaved = Has(xcr0, kXmmYmmState);
  }
  CpuFeatures features;
  features.avx2Bmi2 = ymmSaved && Has(ebx7, kAvx2 | kBmi2);
  features.bmi2Adx = Has(ebx7, kBmi2 | kAdx);
  features.shaExtensions = Has(ebx7, kSha) && Has(ecx1, kSsse3 | kSse41);
  return features;
}

#else

CpuFeatures ReadCpuFeatures() {
  return {};
}

#endif

const CpuFeatures& Features() {
  static const CpuFeatures features = ReadCpuFeatures();
  return features;
}

// The implementation in use for one routine, from its list of implementations (slowest
// first): unset until first asked, then the last supported one of the list, or whichever a
// test forced. Constant-initialised, so a routine that runs during another file's static
// initialisation still finds it in order.
template <typename Which, size_t kCount>
class Choice {
 public:
  constexpr explicit Choice(const Which (&implementations)[kCount])
      : implementations_(implementations) {}

  Which InUse() {
    int chosen = chosen_.load(std::memory_order_relaxed);
    if (chosen < 0) {
      chosen = static_cast<int>(Fastest());
      chosen_.store(chosen, std::memory_order_relaxed);
    }
    return static_cast<Which>(chosen);
  }

  void Use(Which which) { chosen_.store(static_cast<int>(which), std::memory_order_relaxed); }

 private:
  Which Fastest() const {
    Which fastest = implementations_[0];
    for (Which which : implementations_) {
      if (ImplementationSupported(which)) {
        fastest = which;
      }
    }
    return fastest;
  }

  const Which (&implementations_)[kCount];
  std::atomic<int> chosen_{-1};
};

Choice sha256Choice(kSha256Implementations);
Choice digitRowsChoice(kDigitRowsImplementations);

}  // namespace

bool ImplementationSupported(Sha256Implementation which) {
  switch (which) {
    case Sha256Implementation::kPortable:
      return true;
    case Sha256Implementation::kAvx2:
      return Features().avx2Bmi2;
    case Sha256Implementation::kShaExtensions:
      return Features().shaExtensions;
  }
  return false;
}

bool ImplementationSupported(DigitRowsImplementation which) {
  switch (which) {
    case DigitRowsImplementation::kPortable:
      return true;
    case DigitRowsImplementation::kAdx:
#ifdef KT_DIGITS_ADX
      return Features().bmi2Adx;
#else
      return false;
#endif
  }
  return false;
}

Sha256Implementation Sha256ImplementationInUse() {
  return sha256Choice.InUse();
}

DigitRowsImplementation DigitRowsImplementationInUse() {
  return digitRowsChoice.InUse();
}

bool UseImplementation(Sha256Implementation which) {
  if (!ImplementationSupported(which)) {
    return false;
  }
  sha256Choice.Use(which);
  return true;
}

bool UseImplementation(DigitRowsImplementation which) {
  if (!ImplementationSupported(which)) {
    return false;
  }
  digitRowsChoice.Use(which);
  return true;
}

const char* ImplementationName(Sha256Implementation which) {
  switch (which) {
    case Sha256Implementation::kPortable:
      return "portable";
    case Sha256Implementation::kAvx2:
      return "avx2";
    case Sha256Implementation::kShaExtensions:
      return "sha-extensions";
  }
  return "unknown";
}

const char* ImplementationName(DigitRowsImplementation which) {
  switch (which) {
    case DigitRowsImplementation::kPortable:
      return "portable";
    case DigitRowsImplementation::kAdx:
      return "adx";
  }
  return "unknown";
}
