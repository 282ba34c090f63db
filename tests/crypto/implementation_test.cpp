// The choice of implementation: it starts at the fastest one this processor runs, a forced
// one stays in use until the next is forced, and one the processor does not run is refused
// without changing the choice.
#include "crypto/implementation.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "tests/support/scoped_implementation.h"

namespace {

// The one in use at the start runs here, and none after it in the list (slowest first) does.
template <typename Which, size_t kCount>
void CheckChoice(const Which (&implementations)[kCount]) {
  const Which fastest = ImplementationInUse(implementations[0]);
  ASSERT_TRUE(ImplementationSupported(fastest)) << ImplementationName(fastest);
  bool pastFastest = false;
  for (Which which : implementations) {
    EXPECT_FALSE(pastFastest && ImplementationSupported(which))
        << ImplementationName(which) << " runs here and is faster than "
        << ImplementationName(fastest);
    pastFastest = pastFastest || which == fastest;
  }
  EXPECT_TRUE(ImplementationSupported(implementations[0])) << "the portable one runs anywhere";
  for (Which which : implementations) {
    SCOPED_TRACE(ImplementationName(which));
    {
      const ScopedImplementation<Which> use(which);
      EXPECT_EQ(use.Used(), ImplementationSupported(which));
      EXPECT_EQ(ImplementationInUse(which), use.Used() ? which : fastest);
    }
    EXPECT_EQ(ImplementationInUse(which), fastest);
  }
}

TEST(Implementation, Sha256StartsAtTheFastestAndTakesOnlySupportedOnes) {
  CheckChoice(kSha256Implementations);
}

TEST(Implementation, DigitRowsStartAtTheFastestAndTakeOnlySupportedOnes) {
  CheckChoice(kDigitRowsImplementations);
}

}  // namespace
