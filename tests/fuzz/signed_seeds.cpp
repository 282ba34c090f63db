// Signed seeds through the signing library.
#include "tests/fuzz/signed_seeds.h"

#include "tools/signing/exe_signer.h"
#include "tools/signing/script_signer.h"
#include "tools/signing/signing_key.h"

namespace {

signing::Form FormOf(SeedForm form) {
  return form == SeedForm::Binary ? signing::Form::Binary : signing::Form::Text;
}

}  // namespace

Bytes SignedExecutableSeed(const Bytes& executable, const std::string& keyPemPath, SeedForm form) {
  const signing::SigningKey key(keyPemPath);
  return signing::SignExecutable(executable, key, {FormOf(form), 'P', 0, {}}).bytes;
}

Bytes SignedScriptSeed(const Bytes& script, const std::string& keyPemPath, SeedForm form) {
  const signing::SigningKey key(keyPemPath);
  return signing::SignScript(script, key, FormOf(form));
}
