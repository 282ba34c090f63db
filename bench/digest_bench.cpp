// Our MD5 and SHA-256 one-shot routines against OpenSSL's, side by side on one 64 MiB buffer
// of random bytes; SHA-256 once per implementation this processor runs, and both digests in
// one pass against the two one-shot calls. OpenSSL uses the SHA extensions where the
// processor has them; OPENSSL_ia32cap=":~0x20000000" turns them off, for the comparison with
// our implementations without them.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "crypto/implementation.h"
#include "crypto/md5.h"
#include "crypto/md5_sha256.h"
#include "crypto/sha256.h"
#include "tests/support/scoped_implementation.h"

namespace {

const std::vector<uint8_t>& Buffer() {
  static const std::vector<uint8_t> buffer = [] {
    std::vector<uint8_t> bytes(64u << 20);
    std::mt19937_64 generator(1);
    std::generate(bytes.begin(), bytes.end(),
                  [&generator] { return static_cast<uint8_t>(generator()); });
    return bytes;
  }();
  return buffer;
}

template <void (*Digest)(const uint8_t*, uint32_t, uint8_t*), size_t kSize>
void BM_Ours(benchmark::State& state) {
  const std::vector<uint8_t>& buffer = Buffer();
  uint8_t digest[kSize];
  for (auto iteration : state) {
    static_cast<void>(iteration);
    Digest(buffer.data(), static_cast<uint32_t>(buffer.size()), digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}

void BM_OpenSsl(benchmark::State& state, const char* algorithm) {
  const std::vector<uint8_t>& buffer = Buffer();
  EVP_MD* md = EVP_MD_fetch(nullptr, algorithm, nullptr);
  if (md == nullptr) {
    state.SkipWithError("EVP_MD_fetch failed");
    return;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  bool ok = true;
  for (auto iteration : state) {
    static_cast<void>(iteration);
    ok = EVP_Digest(buffer.data(), buffer.size(), digest, nullptr, md, nullptr) == 1 && ok;
    benchmark::DoNotOptimize(digest);
  }
  EVP_MD_free(md);
  if (!ok) {
    state.SkipWithError("EVP_Digest failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}

BENCHMARK(BM_Ours<Md5Digest, 16>)->Name("BM_Md5/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSsl, Md5, "MD5")->Name("BM_Md5/OpenSSL")->Unit(benchmark::kMillisecond);

void BM_Sha256Ours(benchmark::State& state, Sha256Implementation which) {
  const ScopedImplementation<Sha256Implementation> use(which);
  if (!use.Used()) {
    state.SkipWithError("this processor does not run it");
    return;
  }
  BM_Ours<Sha256Digest, 32>(state);
}

// The gain of the one pass rests on the compiler spreading the SHA-256 rounds between the MD5
// steps: a change of compiler or flags shows here first.
void BM_Md5Sha256(benchmark::State& state, bool onePass) {
  const std::vector<uint8_t>& buffer = Buffer();
  const auto length = static_cast<uint32_t>(buffer.size());
  uint8_t md5[16];
  uint8_t sha256[32];
  for (auto iteration : state) {
    static_cast<void>(iteration);
    if (onePass) {
      Md5Sha256Digest(buffer.data(), length, md5, sha256);
    } else {
      Md5Digest(buffer.data(), length, md5);
      Sha256Digest(buffer.data(), length, sha256);
    }
    benchmark::DoNotOptimize(md5);
    benchmark::DoNotOptimize(sha256);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}

const int kRegistered = [] {
  for (Sha256Implementation which : kSha256Implementations) {
    if (ImplementationSupported(which)) {
      benchmark::RegisterBenchmark(
          (std::string("BM_Sha256/Ours/") + ImplementationLabel(which)).c_str(), BM_Sha256Ours,
          which)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return 0;
}();

}  // namespace

BENCHMARK_CAPTURE(BM_OpenSsl, Sha256, "SHA256")
    ->Name("BM_Sha256/OpenSSL")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Md5Sha256, OnePass, true)
    ->Name("BM_Md5Sha256/OnePass")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Md5Sha256, TwoCalls, false)
    ->Name("BM_Md5Sha256/TwoCalls")
    ->Unit(benchmark::kMillisecond);
