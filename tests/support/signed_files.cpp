// Wide paths, the development keys and sample files for verifier tests.
#include "tests/support/signed_files.h"

#include <cstdio>

std::wstring WidePath(const std::string& path) {
  return std::wstring(path.begin(), path.end());
}

const signing::SigningKey& DevKey(char kind) {
  static const signing::SigningKey keyP(KT_DEV_KEY_DIR "/key-p.pem");
  static const signing::SigningKey keyD(KT_DEV_KEY_DIR "/key-d.pem");
  return kind == 'D' ? keyD : keyP;
}

Bytes SampleContent(size_t n, uint32_t seed) {
  Bytes bytes(n);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& byte : bytes) {
    state = state * 1103515245u + 12345u;
    // Lower-case letters only: no magic (all upper case and digits) can appear by chance.
    byte = static_cast<uint8_t>('a' + (state >> 16) % 26);
  }
  return bytes;
}

Bytes MinimalExecutable(uint16_t magic, uint32_t headerOffset, size_t length) {
  Bytes bytes(length, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  PutU32Le(&bytes, 60, headerOffset);
  bytes[headerOffset + 24] = static_cast<uint8_t>(magic);
  bytes[headerOffset + 25] = static_cast<uint8_t>(magic >> 8);
  return bytes;
}

void PutHex8(Bytes* bytes, size_t offset, uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", value);
  for (size_t i = 0; i < 8; ++i) {
    bytes->at(offset + i) = static_cast<uint8_t>(digits[i]);
  }
}
