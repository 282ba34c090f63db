// Seeds signed by our own signer, so that the fuzzer starts from files the verifier accepts.
// The only place where the seed corpus calls the signing library.
#ifndef KT_TESTS_FUZZ_SIGNED_SEEDS_H
#define KT_TESTS_FUZZ_SIGNED_SEEDS_H

#include <string>

#include "tests/support/file_bytes.h"

enum class SeedForm { Binary, Text };

// `executable` with a signature block of the form, key kind 'P', signed with the private key
// in keyPemPath.
Bytes SignedExecutableSeed(const Bytes& executable, const std::string& keyPemPath, SeedForm form);

// `script` with a script-signature trailer of the form, signed with the private key in
// keyPemPath.
Bytes SignedScriptSeed(const Bytes& script, const std::string& keyPemPath, SeedForm form);

#endif
