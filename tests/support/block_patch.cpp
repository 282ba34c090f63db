// Field writes in either form of the block.
#include "tests/support/block_patch.h"

#include <cstdio>

void BlockPatch::U8(size_t offset, uint8_t value) {
  if (form_ == signing::Form::Binary) {
    Byte(offset, value);
    return;
  }
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", value);
  Byte(offset, static_cast<uint8_t>(digits[0]));
  Byte(offset + 1, static_cast<uint8_t>(digits[1]));
}

void BlockPatch::U32(size_t offset, uint32_t value) {
  if (form_ == signing::Form::Binary) {
    PutU32Le(&file_->bytes, offset, value);
  } else {
    PutHex8(&file_->bytes, offset, value);
  }
}
