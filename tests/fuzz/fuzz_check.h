// The fuzz targets' own checks: a broken promise of the code under test, or a harness that
// cannot do its job, ends the process so that libFuzzer keeps the input that led there.
#ifndef KT_TESTS_FUZZ_CHECK_H
#define KT_TESTS_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

#endif
