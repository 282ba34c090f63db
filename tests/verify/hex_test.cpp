// Hexadecimal digits of the text-form block, against answers worked out by hand: every
// character is one digit, '0'-'9', 'A'-'F' or 'a'-'f', and any other character the digit 0.
// Unlike the script trailer's reading, blanks, signs and "0x" are not special here.
#include "verify/hex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(HexPairToByte, ReadsBothCasesAndZeroForOtherCharacters) {
  const struct {
    const char* text;
    uint8_t value;
  } cases[] = {{"00", 0x00}, {"09", 0x09}, {"A0", 0xA0}, {"af", 0xAF}, {"Ff", 0xFF}, {"7e", 0x7E},
               {"G1", 0x01}, {"1g", 0x10}, {" 5", 0x05}, {"-1", 0x01}, {"/:", 0x00}, {"@`", 0x00}};
  for (const auto& c : cases) {
    EXPECT_EQ(HexPairToByte(c.text), c.value) << c.text;
  }
}

TEST(HexToU32, FirstPairIsTheMostSignificant) {
  const struct {
    const char* name;
    const char* text;
    uint32_t value;
  } cases[] = {
      {"BlockOffsetOfTheTextBlock", "00000292", 0x292},
      {"OneDigitEach", "12345678", 0x12345678},
      {"LowerCase", "deadbeef", 0xDEADBEEF},
      {"MixedCase", "deadBEEF", 0xDEADBEEF},
      {"AllOnes", "FFFFFFFF", 0xFFFFFFFF},
      {"NonDigitInTheMiddle", "12Z45678", 0x12045678},
      {"NonDigitFirst", "z2345678", 0x02345678},
      {"NonDigitLast", "1234567g", 0x12345670},
      // strtoul would read "-1000000" as 0xFF000000 and stop at the blank in "12 45678".
      {"MinusIsZero", "-1000000", 0x01000000},
      {"BlankIsZero", "12 45678", 0x12045678},
      {"PrefixIsZeros", "0x000012", 0x00000012},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexToU32(c.text), c.value) << c.name;
  }
}

TEST(HexDecode, TakesHalfTheCharacterCount) {
  const struct {
    const char* name;
    const char* text;
    uint32_t charCount;
    std::vector<uint8_t> expected;  // then the untouched guard octets
  } cases[] = {
      {"FirstOctetFirst", "0aFf", 4, {0x0A, 0xFF, 0xEE, 0xEE}},
      {"OddCountDropsTheLastCharacter", "0aFf7", 5, {0x0A, 0xFF, 0xEE, 0xEE}},
      {"NonDigitsAreZeros", "4bz5 3xa", 8, {0x4B, 0x05, 0x03, 0x0A}},
      {"OneCharacterIsNoOctet", "7", 1, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"Nothing", "", 0, {0xEE, 0xEE, 0xEE, 0xEE}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> out(4, 0xEE);
    HexDecode(out.data(), c.text, c.charCount);
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

}  // namespace
