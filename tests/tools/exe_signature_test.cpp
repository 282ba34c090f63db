// What the signature of a signed executable says, checked against values worked out again
// from the output's bytes: OpenSSL's public operation opens the signature to the message, and
// its marker, signed length and digests match the file with the excluded ranges left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>

#include "tests/tools/expect_refusal.h"
#include "tests/tools/fixtures.h"
#include "tests/tools/signing_reference.h"
#include "tools/signing/exe_signer.h"

namespace {

using signing::Form;

struct SigningCase {
  const char* name;
  Octets input;
  const char* keyFile;
  std::optional<uint32_t> padAfter;
  uint32_t padBefore;
  Form form;
  char keyKind;
};
void PrintTo(const SigningCase& row, std::ostream* out) {
  *out << row.name;
}

class ExecutableSignature : public ::testing::TestWithParam<SigningCase> {};

Octets Slice(const Octets& bytes, size_t start, size_t length) {
  return Octets(bytes.begin() + static_cast<long>(start),
                bytes.begin() + static_cast<long>(start + length));
}

Octets SignatureOf(const signing::SignedExecutable& signedFile, Form form) {
  const size_t at = signedFile.layout.signatureData;
  if (form == Form::Binary) {
    return Slice(signedFile.bytes, at, 256);
  }
  const Octets digits = Slice(signedFile.bytes, at, 512);
  EXPECT_TRUE(std::all_of(digits.begin(), digits.end(), [](uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
  }));
  return reference::HexDecode(std::string(digits.begin(), digits.end()));
}

TEST_P(ExecutableSignature, OpensToTheFilesLengthAndDigests) {
  const SigningCase& c = GetParam();
  const signing::SigningKey key(DevKey(c.keyFile));
  const Octets& input = c.input;
  signing::ExecutableSigningOptions options;
  options.form = c.form;
  options.keyKind = c.keyKind;
  options.padBefore = c.padBefore;
  options.padAfter = c.padAfter;
  const signing::SignedExecutable signedFile = signing::SignExecutable(input, key, options);
  const Octets& out = signedFile.bytes;
  const signing::ExecutableLayout& layout = signedFile.layout;
  ASSERT_EQ(Slice(out, 0, input.size()), input);
  EXPECT_EQ(out[layout.firstEntry + (c.form == Form::Text ? 22 : 11)], c.keyKind);

  const Octets signature = SignatureOf(signedFile, c.form);
  const Octets modulus = reference::PemModulus(DevKey(c.keyFile));
  const Octets message = reference::RawPublic(signature, modulus);
  ASSERT_EQ(message.size(), 256u);

  const std::vector<reference::Range> ranges =
      reference::ExcludedRanges(out, static_cast<uint32_t>(input.size()), layout.excludedLength);
  const size_t headLimit = std::min<size_t>(out.size(), 4096);
  EXPECT_EQ(Slice(message, 0, 6), Octets({'K', 'T', 'S', 'I', 'G', 'N'}));
  EXPECT_EQ(reference::LoadU32Le(&message[6]), out.size() - reference::ExcludedTotal(ranges));
  EXPECT_EQ(reference::LoadU32Le(&message[10]), 0u);
  EXPECT_EQ(Slice(message, 14, 16), ReferenceMd5(reference::KeptBytes(out, ranges, headLimit)));
  EXPECT_EQ(Slice(message, 30, 16), ReferenceMd5(reference::KeptBytes(out, ranges, out.size())));
  EXPECT_EQ(Slice(message, 46, 32),
            reference::Sha256(reference::KeptBytes(out, ranges, out.size())));

  const reference::HelperDecoding helper = reference::DecodeAsTheHelper(signature, modulus);
  EXPECT_EQ(helper.length, 174u);
  EXPECT_EQ(helper.decoded, message);
}

// name, input, key file, padAfter (unset: default), padBefore, form, key kind
const SigningCase kSigningCases[] = {
    {"EmptyInput", {}, "key-p.pem", std::nullopt, 0, Form::Binary, 'P'},
    {"DataFileText", Filler(1000), "key-p.pem", std::nullopt, 0, Form::Text, 'P'},
    {"DataFileKeyD", Filler(5000), "key-d.pem", 0, 7, Form::Binary, 'D'},
    {"Pe32", MakeExecutable(6000, {0x80, 0x10B, 0, 0}), "key-p.pem", std::nullopt, 0, Form::Binary,
     'P'},
    {"Pe32PlusText", MakeExecutable(5000, {0x100, 0x20B, 0, 0}), "key-p.pem", 32, 32, Form::Text,
     'P'},
    {"Pe32CertificateTable", MakeExecutable(3000, {0x80, 0x10B, 2000, 600}), "key-p.pem",
     std::nullopt, 5, Form::Binary, 'P'},
    {"CertificateTableAtTheEnd", MakeExecutable(3000, {0x80, 0x20B, 2400, 600}), "key-d.pem",
     std::nullopt, 0, Form::Text, 'D'},
    {"EmptyCertificateTable", MakeExecutable(3000, {0x80, 0x10B, 1500, 0}), "key-p.pem",
     std::nullopt, 0, Form::Binary, 'P'},
    {"HeaderFieldsPastTheHead", MakeExecutable(9000, {4090, 0x10B, 0, 0}), "key-p.pem",
     std::nullopt, 0, Form::Binary, 'P'},
    {"SmallerThanTheHead", MakeExecutable(300, {0x40, 0x10B, 0, 0}), "key-p.pem", std::nullopt, 1,
     Form::Text, 'X'},
};

INSTANTIATE_TEST_SUITE_P(Inputs, ExecutableSignature, ::testing::ValuesIn(kSigningCases),
                         ::testing::PrintToStringParamName());

struct RefusalCase {
  const char* name;
  Octets input;
  std::optional<uint32_t> padAfter;
  uint32_t padBefore;
  const char* reason;  // part of the message
};
void PrintTo(const RefusalCase& row, std::ostream* out) {
  *out << row.name;
}

class ExecutableRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ExecutableRefusal, ThrowsWithTheReason) {
  const RefusalCase& c = GetParam();
  const signing::SigningKey key(DevKey("key-p.pem"));
  signing::ExecutableSigningOptions options;
  options.padBefore = c.padBefore;
  options.padAfter = c.padAfter;
  ExpectRefusal([&] { signing::SignExecutable(c.input, key, options); }, {c.reason});
}

// An "MZ" file with only the header offset e set.
Octets MzOf(size_t length, uint32_t e) {
  Octets bytes = Filler(length);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  if (length >= 64) {
    PutU32Le(&bytes, 60, e);
  }
  return bytes;
}

// With e = 100 and the magic 0x10B, the certificate-table entry would lie at 252..259.
Octets EntryPastTheEnd() {
  Octets bytes = MzOf(250, 100);
  bytes[124] = 0x0B;
  bytes[125] = 0x01;
  return bytes;
}

// name, input, padAfter, padBefore, part of the message
const RefusalCase kRefusalCases[] = {
    {"PadBefore33", Filler(100), std::nullopt, 33, "pad-before"},
    {"PadAfter33", Filler(100), 33, 0, "pad-after"},
    {"MzShorterThanItsDosHeader", MzOf(63, 0), std::nullopt, 0, "DOS header"},
    {"HeaderOffsetPastTheEnd", MzOf(500, 600), std::nullopt, 0, "magic"},
    {"HeaderOffsetWrapsAround", MzOf(500, 0xFFFFFFF0), std::nullopt, 0, "magic"},
    {"DirectoryEntryPastTheEnd", EntryPastTheEnd(), std::nullopt, 0, "certificate-table entry"},
    {"CertificateTableOverHeaderFields", MakeExecutable(1000, {0x80, 0x10B, 0x80 + 80, 16}),
     std::nullopt, 0, "overlap"},
    {"CertificateTableIntoTheBlock", MakeExecutable(1000, {0x80, 0x10B, 990, 100}), std::nullopt, 0,
     "overlap"},
    {"CertificateTablePastTheEnd", MakeExecutable(1000, {0x80, 0x10B, 5000, 4}), std::nullopt, 0,
     "past the end"},
};

INSTANTIATE_TEST_SUITE_P(Inputs, ExecutableRefusal, ::testing::ValuesIn(kRefusalCases),
                         ::testing::PrintToStringParamName());

}  // namespace
