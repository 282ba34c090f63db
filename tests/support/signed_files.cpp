// Wide paths, the development keys and sample files for verifier tests.
#include "tests/support/signed_files.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

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

Bytes SampleExecutable(size_t length, uint16_t magic, uint32_t seed) {
  constexpr uint32_t kE = 0x80;
  constexpr uint32_t kOptional = kE + 24;
  constexpr uint32_t kHeaders = 512;
  constexpr uint32_t kFileAlignment = 512;
  const bool pe32 = magic == 0x10B;
  const uint32_t optionalSize = pe32 ? 224 : 240;
  const uint32_t sectionTable = kOptional + optionalSize;
  if (length < 1024) {
    throw std::invalid_argument("SampleExecutable needs at least 1024 bytes");
  }
  const auto rawSize = static_cast<uint32_t>((length - kHeaders) / kFileAlignment * kFileAlignment);

  Bytes bytes = SampleContent(length, seed);
  std::fill(bytes.begin(), bytes.begin() + kHeaders, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  PutU32Le(&bytes, 60, kE);
  bytes[kE] = 'P';
  bytes[kE + 1] = 'E';
  PutU16Le(&bytes, kE + 4, pe32 ? 0x14C : 0x8664);  // machine
  PutU16Le(&bytes, kE + 6, 1);                      // one section
  PutU16Le(&bytes, kE + 20, static_cast<uint16_t>(optionalSize));
  PutU16Le(&bytes, kE + 22, 0x22);  // executable image, large-address aware
  PutU16Le(&bytes, kOptional, magic);
  PutU32Le(&bytes, kOptional + 16, 0x1000);  // entry point
  PutU32Le(&bytes, kOptional + 32, 0x1000);  // section alignment
  PutU32Le(&bytes, kOptional + 36, kFileAlignment);
  PutU32Le(&bytes, kOptional + 56, 0x1000 + (rawSize + 0xFFF) / 0x1000 * 0x1000);  // image size
  PutU32Le(&bytes, kOptional + 60, kHeaders);
  PutU16Le(&bytes, kOptional + 68, 2);                  // GUI subsystem
  PutU32Le(&bytes, kOptional + (pe32 ? 92 : 108), 16);  // data directories

  static const char kName[8] = {'.', 't', 'e', 'x', 't'};
  std::copy(kName, kName + 8, bytes.begin() + sectionTable);
  PutU32Le(&bytes, sectionTable + 8, rawSize);   // virtual size
  PutU32Le(&bytes, sectionTable + 12, 0x1000);   // virtual address
  PutU32Le(&bytes, sectionTable + 16, rawSize);  // raw size
  PutU32Le(&bytes, sectionTable + 20, kHeaders);
  PutU32Le(&bytes, sectionTable + 36, 0x60000020);  // code, executable, readable
  return bytes;
}

void PutHex8(Bytes* bytes, size_t offset, uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", value);
  for (size_t i = 0; i < 8; ++i) {
    bytes->at(offset + i) = static_cast<uint8_t>(digits[i]);
  }
}
