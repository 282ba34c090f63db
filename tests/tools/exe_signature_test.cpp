// What the signature of a signed executable says, checked against values worked out again
// from the output's bytes: OpenSSL's public operation opens the signature to the message, and
// its marker, signed length and digests match the file with the excluded ranges left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "crypto/rsa.h"
#include "tests/tools/fixtures.h"
#include "tests/tools/named_case.h"
#include "tests/tools/signing_reference.h"
#include "tools/signing/exe_signer.h"
#include "tools/signing/signing_error.h"

namespace {

using signing::Form;

struct SigningCase {
  const char* name;
  std::function<Octets()> input;
  Form form;
  char keyKind;
  const char* keyFile;
  uint32_t padBefore;
  std::optional<uint32_t> padAfter;
};
KT_PRINT_CASE_BY_NAME(SigningCase)

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
  const Octets input = c.input();
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

  Octets decoded(256, 0);
  Octets scratch(16, 0);
  EXPECT_EQ(
      VerifySignedDigest(signature.data(), decoded.data(), modulus.data(), 2048, scratch.data()),
      174u);
  EXPECT_EQ(decoded, message);
}

const SigningCase kSigningCases[] = {
    {"EmptyInput", [] { return Octets(); }, Form::Binary, 'P', "key-p.pem", 0, std::nullopt},
    {"DataFileText", [] { return Filler(1000); }, Form::Text, 'P', "key-p.pem", 0, std::nullopt},
    {"DataFileKeyD", [] { return Filler(5000); }, Form::Binary, 'D', "key-d.pem", 7, 0},
    {"Pe32",
     [] {
       return MakeExecutable(6000, {0x80, 0x10B, 0, 0});
     },
     Form::Binary, 'P', "key-p.pem", 0, std::nullopt},
    {"Pe32PlusText",
     [] {
       return MakeExecutable(5000, {0x100, 0x20B, 0, 0});
     },
     Form::Text, 'P', "key-p.pem", 32, 32},
    {"Pe32CertificateTable",
     [] {
       return MakeExecutable(3000, {0x80, 0x10B, 2000, 600});
     },
     Form::Binary, 'P', "key-p.pem", 5, std::nullopt},
    {"CertificateTableAtTheEnd",
     [] {
       return MakeExecutable(3000, {0x80, 0x20B, 2400, 600});
     },
     Form::Text, 'D', "key-d.pem", 0, std::nullopt},
    {"EmptyCertificateTable",
     [] {
       return MakeExecutable(3000, {0x80, 0x10B, 1500, 0});
     },
     Form::Binary, 'P', "key-p.pem", 0, std::nullopt},
    {"HeaderFieldsPastTheHead",
     [] {
       return MakeExecutable(9000, {4090, 0x10B, 0, 0});
     },
     Form::Binary, 'P', "key-p.pem", 0, std::nullopt},
    {"SmallerThanTheHead",
     [] {
       return MakeExecutable(300, {0x40, 0x10B, 0, 0});
     },
     Form::Text, 'X', "key-p.pem", 1, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Inputs, ExecutableSignature, ::testing::ValuesIn(kSigningCases),
                         CaseName<SigningCase>);

struct RefusalCase {
  const char* name;
  std::function<Octets()> input;
  uint32_t padBefore;
  std::optional<uint32_t> padAfter;
  const char* reason;  // part of the message
};
KT_PRINT_CASE_BY_NAME(RefusalCase)

class ExecutableRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ExecutableRefusal, ThrowsWithTheReason) {
  const RefusalCase& c = GetParam();
  const signing::SigningKey key(DevKey("key-p.pem"));
  signing::ExecutableSigningOptions options;
  options.padBefore = c.padBefore;
  options.padAfter = c.padAfter;
  try {
    signing::SignExecutable(c.input(), key, options);
    ADD_FAILURE() << "signed";
  } catch (const signing::SigningError& error) {
    EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
  }
}

Octets MzOf(size_t length, uint32_t e) {
  Octets bytes = Filler(length);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  if (length >= 64) {
    PutU32Le(&bytes, 60, e);
  }
  return bytes;
}

const RefusalCase kRefusalCases[] = {
    {"PadBefore33", [] { return Filler(100); }, 33, std::nullopt, "pad-before"},
    {"PadAfter33", [] { return Filler(100); }, 0, 33, "pad-after"},
    {"MzShorterThanItsDosHeader", [] { return MzOf(63, 0); }, 0, std::nullopt, "DOS header"},
    {"HeaderOffsetPastTheEnd", [] { return MzOf(500, 600); }, 0, std::nullopt, "magic"},
    {"HeaderOffsetWrapsAround", [] { return MzOf(500, 0xFFFFFFF0); }, 0, std::nullopt, "magic"},
    {"DirectoryEntryPastTheEnd",
     [] {
       Octets bytes = MzOf(250, 100);  // the entry would lie at 252..259
       bytes[124] = 0x0B;
       bytes[125] = 0x01;
       return bytes;
     },
     0, std::nullopt, "certificate-table entry"},
    {"CertificateTableOverHeaderFields",
     [] {
       return MakeExecutable(1000, {0x80, 0x10B, 0x80 + 80, 16});
     },
     0, std::nullopt, "overlap"},
    {"CertificateTableIntoTheBlock",
     [] {
       return MakeExecutable(1000, {0x80, 0x10B, 990, 100});
     },
     0, std::nullopt, "overlap"},
    {"CertificateTablePastTheEnd",
     [] {
       return MakeExecutable(1000, {0x80, 0x10B, 5000, 4});
     },
     0, std::nullopt, "past the end"},
};

INSTANTIATE_TEST_SUITE_P(Inputs, ExecutableRefusal, ::testing::ValuesIn(kRefusalCases),
                         CaseName<RefusalCase>);

}  // namespace
