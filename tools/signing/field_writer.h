// Appends the fields of a signature block or a script trailer to a buffer, spelled in one of
// the two forms. Characters (magics, kind bytes) are copied as they are in both forms.
#ifndef KT_TOOLS_SIGNING_FIELD_WRITER_H
#define KT_TOOLS_SIGNING_FIELD_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/signing/bytes.h"
#include "tools/signing/form.h"

namespace signing {

class FieldWriter {
 public:
  FieldWriter(Form form, Bytes* out) : form_(form), out_(out) {}

  void Char(char c) { out_->push_back(static_cast<uint8_t>(c)); }
  void Chars(std::string_view chars);
  // Binary: 1 byte. Text: 2 hex digits.
  void U8(uint8_t value);
  // Binary: 4 bytes, little-endian. Text: 8 hex digits, most significant first.
  void U32(uint32_t value);
  // Binary: the octets. Text: 2 hex digits per octet, in order, high digit first.
  void Octets(const uint8_t* data, size_t count);
  // `count` zero octets in this form: zero bytes, or '0' digits.
  void Zeros(size_t count);

 private:
  void Digits(uint32_t value, int count);

  Form form_;
  Bytes* out_;
};

}  // namespace signing

#endif
