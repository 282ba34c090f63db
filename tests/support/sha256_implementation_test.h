// A parameterised test that runs once per SHA-256 implementation, with that implementation in
// use for the whole test, and is skipped where the processor does not run it.
#ifndef KT_TESTS_SUPPORT_SHA256_IMPLEMENTATION_TEST_H
#define KT_TESTS_SUPPORT_SHA256_IMPLEMENTATION_TEST_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "crypto/implementation.h"
#include "tests/support/scoped_implementation.h"

class Sha256ImplementationTest : public ::testing::TestWithParam<Sha256Implementation> {
 protected:
  void SetUp() override {
    use_ = std::make_unique<ScopedImplementation<Sha256Implementation>>(GetParam());
    if (!use_->Used()) {
      GTEST_SKIP() << "this processor does not run " << ImplementationName(GetParam());
    }
  }

 private:
  std::unique_ptr<ScopedImplementation<Sha256Implementation>> use_;
};

// Instantiates `suite` (derived from Sha256ImplementationTest) for every implementation,
// each test named after it.
#define KT_INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(suite)                                   \
  INSTANTIATE_TEST_SUITE_P(Implementations, suite, ::testing::ValuesIn(kSha256Implementations), \
                           [](const ::testing::TestParamInfo<Sha256Implementation>& info) {     \
                             return ImplementationLabel(info.param);                            \
                           })

#endif
