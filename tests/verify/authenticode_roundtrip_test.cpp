// Real executables (PE32+ and PE32, built by mingw-w64), signed by our signer and then given
// a real Authenticode certificate table by osslsigncode: the table lands right after our
// excluded region, and the file is still accepted through its block. Changes outside the
// excluded ranges are caught; changes inside them are not the verifier's business.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>

#include "tests/support/authenticode.h"
#include "tests/support/pe_fixtures.h"
#include "tests/support/pe_layout.h"
#include "tests/support/signed_files.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::Form;

// Where the signed parts of the file lie, for picking the bytes to change.
struct Signed {
  Bytes bytes;
  signing::ExecutableLayout layout;
  PeLayout pe;
};

struct Change {
  const char* name;
  std::function<size_t(const Signed&)> offset;
  VerifyStatus status;
};

void PrintTo(const Change& value, std::ostream* out) {
  *out << value.name;
}

const Change kChanges[] = {
    {"Unchanged", nullptr, StatusVerifiedWithKeyP},
    {"CodeByte", [](const Signed&) { return size_t{0x400}; }, StatusDigestMismatch},
    {"LastByteBeforeTheBlock",
     [](const Signed& s) { return s.layout.blockStart - s.layout.padBefore - 1; },
     StatusDigestMismatch},
    {"HeaderChecksum", [](const Signed& s) { return size_t{s.pe.checksumOffset}; },
     StatusVerifiedWithKeyP},
    {"PaddingBeforeTheBlock", [](const Signed& s) { return s.layout.blockStart - 1; },
     StatusVerifiedWithKeyP},
    {"CertificateTable", [](const Signed& s) { return s.bytes.size() - 1; },
     StatusVerifiedWithKeyP},
    {"CertificateTableStart", [](const Signed& s) { return size_t{s.pe.c} + 8; },
     StatusVerifiedWithKeyP},
};

class AuthenticodeRoundTrip : public ::testing::TestWithParam<std::tuple<PeFixture, Form, Change>> {
 protected:
  TempDirectory dir_;
};

TEST_P(AuthenticodeRoundTrip, AcceptsWhatTheSignatureCovers) {
  const auto& [executable, form, change] = GetParam();
  const signing::SignedExecutable ours =
      signing::SignExecutable(ReadFileBytes(executable.path), DevKey('P'), {form, 'P', 4, {}});
  const std::string blockSigned = dir_.File("block.exe");
  const std::string bothSigned = dir_.File("both.exe");
  WriteFileBytes(blockSigned, ours.bytes);
  AddAuthenticodeSignature(blockSigned, bothSigned);

  Signed file{ReadFileBytes(bothSigned), ours.layout, {}};
  file.pe = ReadPeLayout(file.bytes);
  // The certificate table follows our region directly and ends the file.
  ASSERT_EQ(file.pe.c, ours.bytes.size());
  ASSERT_EQ(size_t{file.pe.c} + file.pe.s, file.bytes.size());
  if (change.offset) {
    file.bytes.at(change.offset(file)) ^= 0x5A;
    WriteFileBytes(bothSigned, file.bytes);
  }
  const std::wstring path = WidePath(bothSigned);
  VerifyStatus status = 0;
  EXPECT_EQ(VerifyFileSignature(path.c_str(), &status, 2),
            change.status == StatusVerifiedWithKeyP ? 1 : 0);
  EXPECT_EQ(status, change.status);
  int32_t detail = 0;
  EXPECT_EQ(CheckFileSignature(path.c_str(), &detail),
            change.status == StatusVerifiedWithKeyP ? 0 : 5);
}

INSTANTIATE_TEST_SUITE_P(
    RealExecutables, AuthenticodeRoundTrip,
    ::testing::Combine(::testing::ValuesIn(kPeFixtures),
                       ::testing::Values(Form::Binary, Form::Text), ::testing::ValuesIn(kChanges)),
    [](const ::testing::TestParamInfo<AuthenticodeRoundTrip::ParamType>& info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) == Form::Binary ? "Binary" : "Text") +
             std::get<2>(info.param).name;
    });

}  // namespace
