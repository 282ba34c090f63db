// Hexadecimal digits of the text-form block.
#include "verify/hex.h"

#include <gtest/gtest.h>

#include <cstdint>

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
  EXPECT_EQ(HexToU32("0000014A"), 0x14Au);
  EXPECT_EQ(HexToU32("deadBEEF"), 0xDEADBEEFu);
  EXPECT_EQ(HexToU32("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(HexToU32("12Z45678"), 0x12045678u);
}

TEST(HexDecode, TakesHalfTheCharacterCount) {
  uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  HexDecode(out, "0aFf7", 5);
  EXPECT_EQ(out[0], 0x0A);
  EXPECT_EQ(out[1], 0xFF);
  EXPECT_EQ(out[2], 0xEE);
}

}  // namespace
