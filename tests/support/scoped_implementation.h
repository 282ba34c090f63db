// Forces an implementation of crypto/ for the length of a scope and puts back the one that
// was in use before, so that a test that forces one leaves the next test the usual choice.
#ifndef KT_TESTS_SUPPORT_SCOPED_IMPLEMENTATION_H
#define KT_TESTS_SUPPORT_SCOPED_IMPLEMENTATION_H

#include <algorithm>
#include <string>

#include "crypto/implementation.h"

inline Sha256Implementation ImplementationInUse(Sha256Implementation /*kind*/) {
  return Sha256ImplementationInUse();
}

inline DigitRowsImplementation ImplementationInUse(DigitRowsImplementation /*kind*/) {
  return DigitRowsImplementationInUse();
}

template <typename Which>
class ScopedImplementation {
 public:
  explicit ScopedImplementation(Which which)
      : before_(ImplementationInUse(which)), used_(UseImplementation(which)) {}
  ScopedImplementation(const ScopedImplementation&) = delete;
  ScopedImplementation& operator=(const ScopedImplementation&) = delete;
  ~ScopedImplementation() { UseImplementation(before_); }

  // False when this processor does not run it; the one before then stays in use.
  bool Used() const { return used_; }

 private:
  Which before_;
  bool used_;
};

// For test names and traces.
template <typename Which>
std::string ImplementationLabel(Which which) {
  std::string label = ImplementationName(which);
  std::replace(label.begin(), label.end(), '-', '_');
  return label;
}

#endif
