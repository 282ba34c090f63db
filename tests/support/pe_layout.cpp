// PE header fields for the layout tests.
#include "tests/support/pe_layout.h"

#include <stdexcept>
#include <string>

namespace {

void RequireRange(const Bytes& bytes, uint32_t offset, uint32_t length) {
  if (offset > bytes.size() || bytes.size() - offset < length) {
    throw std::runtime_error("PE field at " + std::to_string(offset) + " (" +
                             std::to_string(length) + " bytes) lies beyond the file's " +
                             std::to_string(bytes.size()) + " bytes");
  }
}

}  // namespace

uint16_t ReadLe16(const Bytes& bytes, uint32_t offset) {
  RequireRange(bytes, offset, 2);
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t ReadLe32(const Bytes& bytes, uint32_t offset) {
  RequireRange(bytes, offset, 4);
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

PeLayout ReadPeLayout(const Bytes& file) {
  if (ReadLe16(file, 0) != 0x5A4D) {
    throw std::runtime_error("not a PE file: no \"MZ\" at offset 0");
  }
  PeLayout layout{};
  layout.e = ReadLe32(file, 60);
  if (ReadLe32(file, layout.e) != 0x00004550) {
    throw std::runtime_error("no \"PE\\0\\0\" at e = " + std::to_string(layout.e));
  }
  layout.magic = ReadLe16(file, layout.e + 24);
  layout.checksumOffset = layout.e + 88;
  layout.d = layout.e + (layout.magic == kPe32Magic ? 152 : 168);
  layout.c = ReadLe32(file, layout.d);
  layout.s = ReadLe32(file, layout.d + 4);
  return layout;
}

std::vector<PeSection> ReadPeSections(const Bytes& file) {
  const PeLayout layout = ReadPeLayout(file);
  const uint32_t table = layout.e + 24 + ReadLe16(file, layout.e + kOptionalHeaderSizeField);
  std::vector<PeSection> sections;
  for (uint32_t k = 0; k < ReadLe16(file, layout.e + kSectionCountField); ++k) {
    const uint32_t header = table + 40 * k;
    sections.push_back({header, ReadLe32(file, header + 20), ReadLe32(file, header + 16)});
  }
  return sections;
}

uint32_t PeChecksum(const Bytes& file, uint32_t checksumOffset) {
  if (checksumOffset % 2 != 0) {
    throw std::runtime_error("checksum field at odd offset " + std::to_string(checksumOffset));
  }
  uint32_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) {
    if (i == checksumOffset || i == checksumOffset + 2) {
      continue;
    }
    const uint32_t high = i + 1 < file.size() ? file[i + 1] : 0;
    sum += file[i] | (high << 8);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return static_cast<uint32_t>(sum + file.size());
}
