// ktsign and the helper are built from the same key configuration, so the moduli that this
// build embeds are the ones the helper will check with.
#include "tools/ktsign/built_in_keys.h"

#include <algorithm>
#include <cstdint>

#include "tools/ktsign/refusal.h"
#include "verify/keys.h"

namespace ktsign {
namespace {

struct BuiltInKey {
  const char* name;
  const uint8_t* modulus;
  const char* file;  // the key file the build took it from
  const char* keyKindOption;
};

const BuiltInKey kKeyP{"KeyP", KeyP, KT_KEY_P_FILE, "--key-kind P"};
const BuiltInKey kKeyD{"KeyD", KeyD, KT_KEY_D_FILE, "--key-kind D"};

bool Matches(const signing::RsaBlock& modulus, const BuiltInKey& key) {
  return std::equal(modulus.begin(), modulus.end(), key.modulus);
}

}  // namespace

void RequireBuiltInKey(const signing::RsaBlock& modulus, Opener opener,
                       const std::string& keyPath) {
  const BuiltInKey& expected = opener == Opener::BlockKindP ? kKeyP : kKeyD;
  if (Matches(modulus, expected)) {
    return;
  }
  const BuiltInKey& other = &expected == &kKeyP ? kKeyD : kKeyP;
  const bool isOther = Matches(modulus, other);
  std::string message =
      keyPath + " does not match " + expected.name + ", the built-in key that opens " +
      (opener == Opener::Script ? std::string("every script signature")
                                : std::string("blocks of ") + expected.keyKindOption);
  message +=
      isOther ? std::string(" (it is the private key of ") + other.name + ")" : std::string();
  message += std::string(": sign with the private half of ") + expected.name +
             " (this build embeds it from " + expected.file + ")";
  if (isOther && opener != Opener::Script) {
    message += std::string(", or pass ") + other.keyKindOption;
  }
  throw Refusal(message);
}

}  // namespace ktsign
