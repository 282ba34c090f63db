// Our MD5 and SHA-256 one-shot routines against OpenSSL's, side by side on one 64 MiB buffer
// of random bytes. Compare SHA-256 with OpenSSL's SHA extensions off:
// OPENSSL_ia32cap=":~0x20000000".
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "crypto/md5.h"
#include "crypto/sha256.h"

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

}  // namespace

BENCHMARK(BM_Ours<Md5Digest, 16>)->Name("BM_Md5/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSsl, Md5, "MD5")->Name("BM_Md5/OpenSSL")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours<Sha256Digest, 32>)->Name("BM_Sha256/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenSsl, Sha256, "SHA256")
    ->Name("BM_Sha256/OpenSSL")
    ->Unit(benchmark::kMillisecond);
