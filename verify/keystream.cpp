// The keystream that masks the signed size of a script signature.
#include "verify/script_signature.h"

void ApplyKeystream(uint8_t* bytes, int32_t count, uint32_t* state) {
  if (bytes == nullptr || state == nullptr || count <= 0) {
    return;
  }
  uint32_t a = *state;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t k = a % 255 + 1;
    bytes[i] = static_cast<uint8_t>(bytes[i] ^ k);
    a = a + a / 255 + k;
  }
  *state = a;
}
