// Each keystream byte k lies in 1..255 and is drawn from the state a before a moves on.
#include "tools/signing/size_keystream.h"

namespace signing {

void ApplyKeystream(uint8_t* bytes, size_t count, uint32_t* state) {
  uint32_t a = *state;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t k = a % 255 + 1;
    bytes[i] = static_cast<uint8_t>(bytes[i] ^ k);
    a = a + a / 255 + k;  // modulo 2^32 by the type
  }
  *state = a;
}

}  // namespace signing
