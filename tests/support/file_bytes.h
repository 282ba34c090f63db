// Whole files as byte vectors, for tests that build or inspect files.
#ifndef KT_TESTS_FILE_BYTES_H
#define KT_TESTS_FILE_BYTES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Both throw std::runtime_error naming the path and the reason.
Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// Write a 16- or 32-bit little-endian field at `offset`, which must lie inside the bytes.
void PutU16Le(Bytes* bytes, size_t offset, uint16_t value);
void PutU32Le(Bytes* bytes, size_t offset, uint32_t value);

#endif
