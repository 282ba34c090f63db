// Forged executables made from real signed programs as an attacker would make them, and the
// layouts of the unsigned tail: a signed file passes and each forgery fails, side by side.
#include "tests/support/forgery.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>

#include "tests/support/authenticode.h"
#include "tests/support/pe_fixtures.h"
#include "tests/support/pe_layout.h"
#include "tests/support/signed_files.h"
#include "tools/signing/file_digests.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::Form;
using signing::SignedExecutable;

SignedExecutable SignFixture(const PeFixture& executable, Form form) {
  return signing::SignExecutable(ReadFileBytes(executable.path), DevKey('P'), {form, 'P', 0, {}});
}

struct Answer {
  int verified;
  VerifyStatus status;
  int32_t result;
  int32_t detail;
};

Answer AnswerFor(const std::string& path) {
  const std::wstring wide = WidePath(path);
  Answer answer{};
  answer.verified = VerifyFileSignature(wide.c_str(), &answer.status, 2);
  answer.result = CheckFileSignature(wide.c_str(), &answer.detail);
  return answer;
}

void ExpectAccepted(const std::string& path) {
  const Answer answer = AnswerFor(path);
  EXPECT_EQ(answer.verified, 1);
  EXPECT_EQ(answer.status, StatusVerifiedWithKeyP);
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.detail, 3);
}

void ExpectMalformed(const std::string& path) {
  const Answer answer = AnswerFor(path);
  EXPECT_EQ(answer.verified, 0);
  EXPECT_EQ(answer.status, StatusMalformedBlock);
  EXPECT_EQ(answer.result, 5);
  EXPECT_EQ(answer.detail, 5);
}

struct ForgeryCase {
  const char* name;
  Form form;
  std::function<Forgery(const SignedExecutable&)> forge;
};

void PrintTo(const ForgeryCase& value, std::ostream* out) {
  *out << value.name;
}

const ForgeryCase kForgeries[] = {
    {"CertificateEntryBinary", Form::Binary, ForgeThroughCertificateEntry},
    {"CertificateEntryText", Form::Text, ForgeThroughCertificateEntry},
    {"MovedBlock", Form::Binary, ForgeThroughMovedBlock},
};

class ForgeryTest : public ::testing::TestWithParam<std::tuple<PeFixture, ForgeryCase>> {
 protected:
  TempDirectory dir_;
};

TEST_P(ForgeryTest, SignedFilePassesForgedCopyFails) {
  const auto& [executable, forgeryCase] = GetParam();
  const SignedExecutable file = SignFixture(executable, forgeryCase.form);
  const Forgery forgery = forgeryCase.forge(file);

  // The forgery keeps everything the signature covers...
  const signing::FileDigests signedDigests = DigestFileExcluding(file.bytes, SignedRanges(file));
  const signing::FileDigests forgedDigests = DigestFileExcluding(forgery.bytes, forgery.ranges);
  EXPECT_EQ(forgedDigests.signedLength, signedDigests.signedLength);
  EXPECT_EQ(forgedDigests.md5, signedDigests.md5);
  EXPECT_EQ(forgedDigests.sha256, signedDigests.sha256);
  // ...while the loader, following the covered section table, maps the changed copy.
  const std::vector<PeSection> sections = ReadPeSections(forgery.bytes);
  const uint32_t firstRaw = sections.front().rawOffset;
  ASSERT_LE(firstRaw + forgery.mappedSections.size(), forgery.bytes.size());
  EXPECT_TRUE(std::equal(forgery.mappedSections.begin(), forgery.mappedSections.end(),
                         forgery.bytes.begin() + firstRaw));
  EXPECT_FALSE(std::equal(forgery.mappedSections.begin(), forgery.mappedSections.end(),
                          file.bytes.begin() + firstRaw));

  ExpectAccepted(dir_.Write("signed.exe", file.bytes));
  ExpectMalformed(dir_.Write("forged.exe", forgery.bytes));
}

INSTANTIATE_TEST_SUITE_P(RealExecutables, ForgeryTest,
                         ::testing::Combine(::testing::ValuesIn(kPeFixtures),
                                            ::testing::ValuesIn(kForgeries)),
                         [](const ::testing::TestParamInfo<ForgeryTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  std::get<1>(info.param).name;
                         });

// The unsigned tail: the block region and the certificate table named by the directory
// entry, adjacent in either order up to the last byte, and nothing else.
struct TailCase {
  const char* name;
  // Changes a signed file whose region ends at `regionEnd`; the directory entry is at d.
  std::function<void(Bytes* file, uint32_t regionEnd, uint32_t d)> change;
  bool accepted;
};

void PrintTo(const TailCase& value, std::ostream* out) {
  *out << value.name;
}

// A table of `size` bytes of 0x5A appended at the end, after `gap` zero bytes.
void AppendTable(Bytes* file, uint32_t gap, uint32_t size) {
  file->insert(file->end(), gap, 0);
  file->insert(file->end(), size, 0x5A);
}

void NameTable(Bytes* file, uint32_t d, uint32_t offset, uint32_t size) {
  PutU32Le(file, d, offset);
  PutU32Le(file, d + 4, size);
}

const TailCase kTails[] = {
    {"TableRightAfterTheRegion",
     [](Bytes* f, uint32_t end, uint32_t d) {
       AppendTable(f, 0, 64);
       NameTable(f, d, end, 64);
     },
     true},
    {"OneByteGapBeforeTheTable",
     [](Bytes* f, uint32_t end, uint32_t d) {
       AppendTable(f, 1, 64);
       NameTable(f, d, end + 1, 64);
     },
     false},
    {"TableEndsOneByteBeforeTheEnd",
     [](Bytes* f, uint32_t end, uint32_t d) {
       AppendTable(f, 0, 65);
       NameTable(f, d, end, 64);
     },
     false},
    {"TableStartsInsideTheRegion",
     [](Bytes* f, uint32_t end, uint32_t d) {
       AppendTable(f, 0, 64);
       NameTable(f, d, end - 1, 65);
     },
     false},
    {"TableRunsPastTheEnd",
     [](Bytes* f, uint32_t end, uint32_t d) {
       AppendTable(f, 0, 64);
       NameTable(f, d, end, 65);
     },
     false},
    {"ByteAfterTheRegion", [](Bytes* f, uint32_t, uint32_t) { f->push_back(0); }, false},
    {"ByteAfterTheTable",
     [](Bytes* f, uint32_t end, uint32_t d) {
       AppendTable(f, 0, 64);
       NameTable(f, d, end, 64);
       f->push_back(0);
     },
     false},
    {"TableInFrontOfCoveredBytes",
     [](Bytes* f, uint32_t, uint32_t d) { NameTable(f, d, 0x400, 16); }, false},
};

class TailLayoutTest : public ::testing::TestWithParam<std::tuple<PeFixture, TailCase>> {
 protected:
  TempDirectory dir_;
};

TEST_P(TailLayoutTest, OnlyAnAdjacentTailEndingTheFile) {
  const auto& [executable, tail] = GetParam();
  const SignedExecutable file = SignFixture(executable, Form::Binary);
  const auto regionEnd = static_cast<uint32_t>(file.layout.blockStart - file.layout.padBefore +
                                               file.layout.excludedLength);
  ASSERT_EQ(regionEnd, file.bytes.size());
  Bytes changed = file.bytes;
  tail.change(&changed, regionEnd, ReadPeLayout(file.bytes).d);
  const std::string path = dir_.Write("file.exe", changed);
  if (tail.accepted) {
    ExpectAccepted(path);
  } else {
    ExpectMalformed(path);
  }
}

INSTANTIATE_TEST_SUITE_P(RealExecutables, TailLayoutTest,
                         ::testing::Combine(::testing::ValuesIn(kPeFixtures),
                                            ::testing::ValuesIn(kTails)),
                         [](const ::testing::TestParamInfo<TailLayoutTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  std::get<1>(info.param).name;
                         });

// Both orders of a real Authenticode table and our block are accepted.
class AuthenticodeOrderTest : public ::testing::TestWithParam<PeFixture> {
 protected:
  TempDirectory dir_;
};

TEST_P(AuthenticodeOrderTest, BlockAfterTheTable) {
  const std::string withTable = dir_.File("table.exe");
  AddAuthenticodeSignature(GetParam().path, withTable);
  const SignedExecutable file = signing::SignExecutable(ReadFileBytes(withTable), DevKey('P'), {});
  const PeLayout pe = ReadPeLayout(file.bytes);
  ASSERT_NE(pe.c, 0u);
  ASSERT_EQ(size_t{pe.c} + pe.s, file.layout.blockStart - file.layout.padBefore);
  ExpectAccepted(dir_.Write("both.exe", file.bytes));
}

TEST_P(AuthenticodeOrderTest, TableAfterTheBlock) {
  const std::string blockSigned =
      dir_.Write("block.exe", SignFixture(GetParam(), Form::Text).bytes);
  const std::string bothSigned = dir_.File("both.exe");
  AddAuthenticodeSignature(blockSigned, bothSigned);
  ExpectAccepted(bothSigned);
}

INSTANTIATE_TEST_SUITE_P(RealExecutables, AuthenticodeOrderTest, ::testing::ValuesIn(kPeFixtures),
                         [](const ::testing::TestParamInfo<PeFixture>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
