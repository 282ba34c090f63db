// Authenticode signatures on test files, made by osslsigncode with a throw-away self-signed
// certificate: the real certificate table that a release pipeline adds after our own block.
#ifndef KT_TESTS_AUTHENTICODE_H
#define KT_TESTS_AUTHENTICODE_H

#include <string>

// Signs the PE file `in` into `out` (no time stamp, no network). The certificate and key are
// made once per test process, in a temporary directory removed at exit. Throws
// std::runtime_error quoting the tool's standard output and standard error when a step fails.
void AddAuthenticodeSignature(const std::string& in, const std::string& out);

#endif
