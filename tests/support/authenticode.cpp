// Authenticode signing for tests: openssl makes the certificate, osslsigncode signs.
#include "tests/support/authenticode.h"

#include "tests/support/run_program.h"
#include "tests/support/temp_directory.h"

namespace {

// A self-signed code-signing certificate and its unencrypted key, alive until the process
// ends.
class ThrowAwaySigner {
 public:
  ThrowAwaySigner() : certificate_(directory_.File("cert.pem")), key_(directory_.File("key.pem")) {
    RunProgramOrThrow({KT_OPENSSL, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                       "-subj", "/CN=Tamsweep test signer", "-keyout", key_, "-out", certificate_});
  }

  const std::string& Certificate() const { return certificate_; }
  const std::string& Key() const { return key_; }

 private:
  TempDirectory directory_;
  std::string certificate_;
  std::string key_;
};

const ThrowAwaySigner& Signer() {
  static const ThrowAwaySigner signer;
  return signer;
}

}  // namespace

void AddAuthenticodeSignature(const std::string& in, const std::string& out) {
  const ThrowAwaySigner& signer = Signer();
  RunProgramOrThrow({KT_OSSLSIGNCODE, "sign", "-certs", signer.Certificate(), "-key", signer.Key(),
                     "-in", in, "-out", out});
}
