// The bytes around the signature that SignExecutable writes: the block of a 1000-byte input
// in both forms, field by field, and the padding that puts the end of the excluded region on
// an 8-byte boundary.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "tests/tools/fixtures.h"
#include "tools/signing/exe_signer.h"

namespace {

using signing::ExecutableSigningOptions;
using signing::Form;
using signing::SignExecutable;

constexpr size_t kBinaryBlock = 354;
constexpr size_t kTextBlock = 674;

const signing::SigningKey& KeyP() {
  static const signing::SigningKey key(DevKey("key-p.pem"));
  return key;
}

Octets Chars(const std::string& text) {
  return Octets(text.begin(), text.end());
}

Octets Join(std::initializer_list<Octets> parts) {
  Octets joined;
  for (const Octets& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

Octets Slice(const Octets& bytes, size_t start, size_t length) {
  return Octets(bytes.begin() + static_cast<long>(start),
                bytes.begin() + static_cast<long>(start + length));
}

// A binary block with padBefore 0 behind an input whose length is a multiple of 8: 354
// bytes, padAfter 6, excludedLength 360, the signature at 59, blockOffset 338.
TEST(BlockLayout, BinaryBlockOfAnAlignedInput) {
  const Octets input = Filler(1000);
  const signing::SignedExecutable signedFile = SignExecutable(input, KeyP(), {});
  const Octets& out = signedFile.bytes;

  const Octets head = Join({Chars("KTCS4F3A4200C37O"),
                            {3, 0, 0, 0, 0},
                            {3, 0x68, 0x01, 0, 0},
                            {1},
                            Octets(12, 0),
                            {3, 3, 59, 0, 0, 0, 3, 0x00, 0x01, 0, 0, 'P'},
                            Octets(8, 0)});
  const Octets tail = Join({Octets(12, 0),
                            {0x52, 0x01, 0, 0},
                            {3, 6, 0, 0, 0},
                            {3, 'B'},
                            Chars("62F3AB0132FKTCSE"),
                            Octets(6, 0)});

  ASSERT_EQ(out.size(), 1360u);
  EXPECT_EQ(Slice(out, 0, 1000), input);
  EXPECT_EQ(Slice(out, 1000, 59), head);
  EXPECT_EQ(Slice(out, 1000 + 59 + 256, 39 + 6), tail);

  const signing::ExecutableLayout& layout = signedFile.layout;
  EXPECT_EQ(layout.blockStart, 1000u);
  EXPECT_EQ(layout.blockLength, kBinaryBlock);
  EXPECT_EQ(layout.tailMagicOffset, 338u);
  EXPECT_EQ(layout.firstEntry, 1039u);
  EXPECT_EQ(layout.signatureData, 1059u);
  EXPECT_EQ(layout.padBefore, 0u);
  EXPECT_EQ(layout.padAfter, 6u);
  EXPECT_EQ(layout.excludedLength, 360u);
}

// The same fields as uppercase hex digits: 674 bytes, the signature's 512 digits at 101,
// blockOffset 658 (0x292), padAfter 6, excludedLength 680 (0x2A8).
TEST(BlockLayout, TextBlockOfAnAlignedInput) {
  ExecutableSigningOptions options;
  options.form = Form::Text;
  const signing::SignedExecutable signedFile = SignExecutable(Filler(1000), KeyP(), options);
  const Octets& out = signedFile.bytes;

  const std::string head =
      "KTCS4F3A4200C37O"
      "03"
      "00000000"
      "03"
      "000002A8"
      "01" +
      std::string(24, '0') +
      "03"
      "03"
      "00000065"
      "03"
      "00000200"
      "P" +
      std::string(16, '0');
  const std::string tail = std::string(24, '0') +
                           "00000292"
                           "03"
                           "00000006"
                           "03"
                           "T" +
                           "62F3AB0132FKTCSE" + std::string(6, '\0');

  ASSERT_EQ(out.size(), 1680u);
  EXPECT_EQ(Slice(out, 1000, 101), Chars(head));
  EXPECT_EQ(Slice(out, 1000 + 101 + 512, 61 + 6), Chars(tail));
  const Octets digits = Slice(out, 1101, 512);
  EXPECT_TRUE(std::all_of(digits.begin(), digits.end(), [](uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
  }));

  const signing::ExecutableLayout& layout = signedFile.layout;
  EXPECT_EQ(layout.blockLength, kTextBlock);
  EXPECT_EQ(layout.tailMagicOffset, 658u);
  EXPECT_EQ(layout.firstEntry, 1062u);
  EXPECT_EQ(layout.signatureData, 1101u);
  EXPECT_EQ(layout.excludedLength, 680u);
}

using PaddingCase = std::tuple<size_t, Form, uint32_t>;  // input length, form, padBefore

class DefaultPadAfter : public ::testing::TestWithParam<PaddingCase> {};

// Without a pad-after the file ends on a multiple of 8, with the fewest zero bytes.
TEST_P(DefaultPadAfter, EndsTheFileOnAnEightByteBoundary) {
  const auto [inputLength, form, padBefore] = GetParam();
  ExecutableSigningOptions options;
  options.form = form;
  options.padBefore = padBefore;
  const signing::SignedExecutable signedFile = SignExecutable(Filler(inputLength), KeyP(), options);
  const signing::ExecutableLayout& layout = signedFile.layout;
  const size_t block = form == Form::Text ? kTextBlock : kBinaryBlock;
  const size_t unpadded = inputLength + padBefore + block;
  const size_t expected = (8 - unpadded % 8) % 8;

  EXPECT_EQ(layout.padAfter, expected);
  EXPECT_EQ(layout.excludedLength, padBefore + block + expected);
  ASSERT_EQ(signedFile.bytes.size(), unpadded + expected);
  EXPECT_EQ(signedFile.bytes.size() % 8, 0u);
  EXPECT_EQ(layout.blockStart, inputLength + padBefore);
  const Octets& out = signedFile.bytes;
  EXPECT_EQ(Slice(out, inputLength, padBefore), Octets(padBefore, 0));
  EXPECT_EQ(Slice(out, layout.blockStart, 16), Chars("KTCS4F3A4200C37O"));
  EXPECT_EQ(Slice(out, layout.blockStart + layout.tailMagicOffset, 16), Chars("62F3AB0132FKTCSE"));
  EXPECT_EQ(Slice(out, unpadded, expected), Octets(expected, 0));
}

std::string PaddingCaseName(const ::testing::TestParamInfo<PaddingCase>& info) {
  const auto [inputLength, form, padBefore] = info.param;
  return std::to_string(inputLength) + (form == Form::Text ? "Text" : "Binary") + "Before" +
         std::to_string(padBefore);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DefaultPadAfter,
                         ::testing::Combine(::testing::Values<size_t>(0, 1, 2, 3, 4, 5, 6, 7, 8,
                                                                      1001, 4093),
                                            ::testing::Values(Form::Binary, Form::Text),
                                            ::testing::Values<uint32_t>(0, 3, 32)),
                         PaddingCaseName);

// An explicit pad-after is written as given, also where it breaks the alignment.
TEST(BlockLayout, ExplicitPadAfterIsKept) {
  for (const uint32_t padAfter : {0u, 1u, 32u}) {
    ExecutableSigningOptions options;
    options.padAfter = padAfter;
    const signing::SignedExecutable signedFile = SignExecutable(Filler(1000), KeyP(), options);
    EXPECT_EQ(signedFile.layout.padAfter, padAfter);
    EXPECT_EQ(signedFile.layout.excludedLength, kBinaryBlock + padAfter);
    EXPECT_EQ(signedFile.bytes.size(), 1000 + kBinaryBlock + padAfter);
    EXPECT_EQ(signedFile.bytes[1000 + 338 - 6], padAfter);
  }
}

}  // namespace
