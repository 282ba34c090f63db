// Table-driven tests name each row by its `name` field, in test names and in failure output.
#ifndef KT_TESTS_TOOLS_NAMED_CASE_H
#define KT_TESTS_TOOLS_NAMED_CASE_H

#include <gtest/gtest.h>

#include <ostream>
#include <string>

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

// Declares how GoogleTest prints a row: by its name rather than as raw bytes.
#define KT_PRINT_CASE_BY_NAME(Case)                                   \
  [[maybe_unused]] void PrintTo(const Case& row, std::ostream* out) { \
    *out << row.name;                                                 \
  }

#endif
