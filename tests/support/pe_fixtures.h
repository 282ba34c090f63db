// The real PE programs that the build makes from tests/fixtures/pe/tiny.c with mingw-w64, for
// tests that take each in turn. Only targets linking kt_pe_fixtures know their paths.
#ifndef KT_TESTS_PE_FIXTURES_H
#define KT_TESTS_PE_FIXTURES_H

#include <ostream>

struct PeFixture {
  const char* name;  // for test names
  const char* path;
};

inline void PrintTo(const PeFixture& value, std::ostream* out) {
  *out << value.name;
}

// PE32+ (x86-64) and PE32 (i686): the two places of the certificate-table entry.
inline constexpr PeFixture kPeFixtures[] = {{"Pe32Plus", KT_TINY64_EXE}, {"Pe32", KT_TINY32_EXE}};

#endif
