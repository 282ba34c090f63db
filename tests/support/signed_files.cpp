// Scratch folders, file writing and the development keys for verifier tests.
#include "tests/support/signed_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kt-verify-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    throw std::runtime_error("cannot create a scratch folder from " + pattern);
  }
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::wstring WidePath(const std::string& path) {
  return std::wstring(path.begin(), path.end());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
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

void PutU32Le(Bytes* bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) {
    bytes->at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
  }
}

void PutHex8(Bytes* bytes, size_t offset, uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", value);
  for (size_t i = 0; i < 8; ++i) {
    bytes->at(offset + i) = static_cast<uint8_t>(digits[i]);
  }
}
