// The two encodings of a signature block and of a script trailer; the value is the kind byte
// that names the encoding in the file.
#ifndef KT_TOOLS_SIGNING_FORM_H
#define KT_TOOLS_SIGNING_FORM_H

#include <cstddef>

namespace signing {

enum class Form : char {
  Binary = 'B',  // numbers little-endian, octets as they are
  Text = 'T',    // numbers and octets as uppercase hexadecimal digits, most significant first
};

// Bytes of the file that one octet of a number or of octet data takes up.
inline size_t BytesPerOctet(Form form) {
  return form == Form::Text ? 2 : 1;
}

}  // namespace signing

#endif
