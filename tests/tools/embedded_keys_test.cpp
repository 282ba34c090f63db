// The moduli that the configure step embedded are those of the configured key files, read
// here by OpenSSL's own PEM reader.
#include <gtest/gtest.h>

#include "tests/tools/signing_reference.h"
#include "verify/keys.h"

namespace {

TEST(EmbeddedKeys, AreTheModuliOfTheConfiguredKeyFiles) {
  EXPECT_EQ(Octets(KeyP, KeyP + 256), reference::PemModulus(KT_KEY_P_FILE));
  EXPECT_EQ(Octets(KeyD, KeyD + 256), reference::PemModulus(KT_KEY_D_FILE));
}

}  // namespace
