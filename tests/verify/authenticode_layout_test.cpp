// Where an Authenticode signer puts its certificate table in a PE file that already ends in
// our signature block, and which bytes before the table it rewrites: the round trip that the
// verifier's excluded ranges rely on, checked on real PE32 and PE32+ files.
//
// What osslsigncode changes (diff of each fixture before and after signing):
//   e+88 .. e+91   header checksum: the PE checksum of the new file, table included
//   d .. d+7       certificate-table directory entry: c = old length rounded up to a multiple
//                  of 8, s = table size (a multiple of 8)
//   old length ..  zero bytes up to c when the old length is not a multiple of 8, then the
//                  table (WIN_CERTIFICATE: dwLength = s, revision 0x0200, type 2)
// No other byte of the old file changes. Our region must therefore end on an 8-byte boundary:
// otherwise the signer's zero bytes fall into no excluded range and the signed length no
// longer matches.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>

#include "tests/support/authenticode.h"
#include "tests/support/file_bytes.h"
#include "tests/support/pe_layout.h"
#include "tests/support/temp_directory.h"

namespace {

struct PeFixture {
  const char* name;
  const char* path;
  uint16_t magic;
  uint32_t directoryFromE;  // d - e
};

const PeFixture kFixtures[] = {
    {"Pe32Plus", KT_TINY64_EXE, kPe32PlusMagic, 168},
    {"Pe32", KT_TINY32_EXE, kPe32Magic, 152},
};

// A stand-in for our signature block and the padding after it: arbitrary block bytes, then
// padAfter zeros.
struct Tail {
  const char* name;
  uint32_t blockLength;
  uint32_t padAfter;
};

const Tail kTails[] = {
    {"BlockPaddedTo8", 354, 6},  // the signer's own layout: 354 + 6 = 360
    {"BlockUnpadded", 354, 0},   // ends 2 bytes past a multiple of 8
    {"NoBlock", 0, 0},
};

void PrintTo(const PeFixture& fixture, std::ostream* out) {
  *out << fixture.name;
}
void PrintTo(const Tail& tail, std::ostream* out) {
  *out << tail.name;
}

uint32_t RoundUpTo8(uint32_t n) {
  return (n + 7) & ~7u;
}

// The bytes our signer would hand to the Authenticode signer: the executable, zeros up to a
// multiple of 8, then the tail.
Bytes WithTail(Bytes file, const Tail& tail) {
  file.resize(RoundUpTo8(static_cast<uint32_t>(file.size())), 0);
  for (uint32_t i = 0; i < tail.blockLength; ++i) {
    file.push_back(static_cast<uint8_t>(0x5A ^ (i * 37)));
  }
  file.resize(file.size() + tail.padAfter, 0);
  return file;
}

bool InRange(uint32_t offset, uint32_t start, uint32_t length) {
  return offset >= start && offset - start < length;
}

TEST(PeFixtureTest, HeadersOfBothWidths) {
  for (const PeFixture& fixture : kFixtures) {
    SCOPED_TRACE(fixture.name);
    const Bytes file = ReadFileBytes(fixture.path);
    const PeLayout layout = ReadPeLayout(file);
    EXPECT_EQ(layout.magic, fixture.magic);
    EXPECT_EQ(layout.d - layout.e, fixture.directoryFromE);
    // A fresh link has no certificate table and a valid checksum.
    EXPECT_EQ(layout.c, 0u);
    EXPECT_EQ(layout.s, 0u);
    EXPECT_EQ(ReadLe32(file, layout.checksumOffset), PeChecksum(file, layout.checksumOffset));
  }
}

class AuthenticodeLayoutTest : public ::testing::TestWithParam<std::tuple<PeFixture, Tail>> {
 protected:
  TempDirectory directory_;
};

TEST_P(AuthenticodeLayoutTest, TableFollowsOurBytesAndOnlyTheExcludedFieldsChange) {
  const auto& [fixture, tail] = GetParam();
  const Bytes before = WithTail(ReadFileBytes(fixture.path), tail);
  const uint32_t oldLength = static_cast<uint32_t>(before.size());
  WriteFileBytes(directory_.File("in.exe"), before);

  AddAuthenticodeSignature(directory_.File("in.exe"), directory_.File("out.exe"));
  const Bytes after = ReadFileBytes(directory_.File("out.exe"));
  const PeLayout layout = ReadPeLayout(after);

  EXPECT_EQ(layout.magic, fixture.magic);
  EXPECT_EQ(layout.c, RoundUpTo8(oldLength));
  EXPECT_EQ(layout.s % 8, 0u);
  ASSERT_EQ(uint64_t{layout.c} + layout.s, after.size());

  EXPECT_EQ(ReadLe32(after, layout.c), layout.s);
  EXPECT_EQ(ReadLe16(after, layout.c + 4), 0x0200);
  EXPECT_EQ(ReadLe16(after, layout.c + 6), 2);
  EXPECT_EQ(ReadLe32(after, layout.checksumOffset), PeChecksum(after, layout.checksumOffset));

  for (uint32_t i = 0; i < oldLength; ++i) {
    if (!InRange(i, layout.checksumOffset, kChecksumLength) &&
        !InRange(i, layout.d, kDirectoryEntryLength)) {
      ASSERT_EQ(after[i], before[i]) << "byte " << i << " rewritten";
    }
  }
  for (uint32_t i = oldLength; i < layout.c; ++i) {
    ASSERT_EQ(after[i], 0) << "alignment byte " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    FixturesAndTails, AuthenticodeLayoutTest,
    ::testing::Combine(::testing::ValuesIn(kFixtures), ::testing::ValuesIn(kTails)),
    [](const ::testing::TestParamInfo<AuthenticodeLayoutTest::ParamType>& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

}  // namespace
