// Inputs for the signing tests, made at test time: filler bytes, minimal Windows executable
// headers, and the paths of the committed development keys.
#ifndef KT_TESTS_TOOLS_FIXTURES_H
#define KT_TESTS_TOOLS_FIXTURES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

using Octets = std::vector<uint8_t>;

// Deterministic filler for the signing tests, kept apart from SampleContent on purpose: its
// bytes are odd values across the whole range, so binary inputs carry high bytes; none is zero,
// so the zero padding around a block stands out from it; and none is 'Z', so a data file never
// starts with "MZ" and is never taken for an executable.
inline Octets Filler(size_t length, uint32_t seed = 1) {
  Octets bytes(length);
  uint32_t state = seed;
  for (uint8_t& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>((state >> 24) | 1);
  }
  return bytes;
}

// The executable header fields the excluded ranges come from; everything else is filler,
// including the checksum, so that leaving it out changes the digests.
struct PeShape {
  uint32_t e;  // offset of the executable header
  uint16_t magic;
  uint32_t certificateOffset;
  uint32_t certificateSize;
};

inline Octets MakeExecutable(size_t length, const PeShape& shape) {
  Octets bytes = Filler(length, shape.e);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  PutU32Le(&bytes, 60, shape.e);
  bytes[shape.e + 24] = static_cast<uint8_t>(shape.magic);
  bytes[shape.e + 25] = static_cast<uint8_t>(shape.magic >> 8);
  const uint32_t d = shape.e + (shape.magic == 0x10B ? 152 : 168);
  PutU32Le(&bytes, d, shape.certificateOffset);
  PutU32Le(&bytes, d + 4, shape.certificateSize);
  return bytes;
}

inline std::string DevKey(const char* name) {
  return std::string(KT_DEV_KEY_DIR) + "/" + name;
}

#endif
