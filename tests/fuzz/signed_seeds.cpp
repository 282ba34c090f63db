// Signed seeds through the signing library.
#include "tests/fuzz/signed_seeds.h"

#include "tools/signing/sign_executable.h"
#include "tools/signing/sign_script.h"
#include "tools/signing/signing_key.h"

Bytes SignedExecutableSeed(const Bytes& executable, const std::string& keyPemPath, SeedForm form) {
  const SigningKey key(keyPemPath);
  ExecutableSigningOptions options;
  options.blockForm = form == SeedForm::Binary ? BlockForm::Binary : BlockForm::Text;
  return SignExecutable(executable, key, options);
}

Bytes SignedScriptSeed(const Bytes& script, const std::string& keyPemPath, SeedForm form) {
  const SigningKey key(keyPemPath);
  return SignScript(script, key, form == SeedForm::Binary ? ScriptForm::Binary : ScriptForm::Text);
}
