// Seeds for randomised tests: taken from KT_TEST_SEED when set, else fresh, and always printed
// so that a failing run can be replayed with the same inputs.
#ifndef KT_TESTS_TEST_SEED_H
#define KT_TESTS_TEST_SEED_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

// The seed for the calling test; printed and recorded in the test's XML properties.
inline uint64_t TestSeed() {
  uint64_t seed = 0;
  if (const char* fixed = std::getenv("KT_TEST_SEED"); fixed != nullptr && *fixed != '\0') {
    seed = std::strtoull(fixed, nullptr, 0);
  } else {
    std::random_device device;
    seed = (static_cast<uint64_t>(device()) << 32) | device();
  }
  std::printf("KT_TEST_SEED=%llu\n", static_cast<unsigned long long>(seed));
  ::testing::Test::RecordProperty("KT_TEST_SEED", std::to_string(seed));
  return seed;
}

#endif
