// Reading and writing whole files for tests.
#include "tests/support/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path) {
  throw std::runtime_error(std::string(what) + " " + path + ": " + std::strerror(errno));
}

void PutLe(Bytes* bytes, size_t offset, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    bytes->at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
  }
}

}  // namespace

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Fail("cannot open", path);
  }
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    Fail("cannot read", path);
  }
  return bytes;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    Fail("cannot create", path);
  }
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    Fail("cannot write", path);
  }
}

void PutU16Le(Bytes* bytes, size_t offset, uint16_t value) {
  PutLe(bytes, offset, value, 2);
}

void PutU32Le(Bytes* bytes, size_t offset, uint32_t value) {
  PutLe(bytes, offset, value, 4);
}
