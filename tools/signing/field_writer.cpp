// Field spellings of the binary and text forms.
#include "tools/signing/field_writer.h"

namespace signing {

void FieldWriter::Chars(std::string_view chars) {
  out_->insert(out_->end(), chars.begin(), chars.end());
}

void FieldWriter::U8(uint8_t value) {
  if (form_ == Form::Text) {
    Digits(value, 2);
  } else {
    out_->push_back(value);
  }
}

void FieldWriter::U32(uint32_t value) {
  if (form_ == Form::Text) {
    Digits(value, 8);
    return;
  }
  for (int i = 0; i < 4; ++i) {
    out_->push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
}

void FieldWriter::Octets(const uint8_t* data, size_t count) {
  if (form_ == Form::Binary) {
    out_->insert(out_->end(), data, data + count);
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    Digits(data[i], 2);
  }
}

void FieldWriter::Zeros(size_t count) {
  out_->insert(out_->end(), count * BytesPerOctet(form_), form_ == Form::Text ? '0' : 0);
}

void FieldWriter::Digits(uint32_t value, int count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 4 * (count - 1); shift >= 0; shift -= 4) {
    out_->push_back(static_cast<uint8_t>(kDigits[(value >> shift) & 0xF]));
  }
}

}  // namespace signing
