// Opening a 2048-bit signature: VerifySignedDigest against OpenSSL's raw public operation
// (no padding) on the same key and signature.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "crypto/rsa.h"
#include "tests/support/openssl_reference.h"

namespace {

constexpr uint32_t kModulusBits = 2048;
constexpr size_t kBlockSize = kModulusBits / 8;

// One key and one signature of a well-formed block, made on first use.
struct SignedBlock {
  RsaTestKey key{kModulusBits};
  Octets modulus = key.Modulus();
  Octets signature;

  SignedBlock() {
    constexpr uint32_t kLength = 174;
    Octets block(kBlockSize, 0);
    for (size_t i = 0; i < block.size(); ++i) {
      block[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    const Octets digest = ReferenceMd5(Octets(block.begin(), block.begin() + kLength));
    std::copy(digest.begin(), digest.end(), block.begin() + 176);
    block[kBlockSize - 16] = kLength;
    block[kBlockSize - 15] = 0;
    block[kBlockSize - 14] = 0;
    block[kBlockSize - 13] = 0;
    signature = key.PrivateRaw(block);
  }
};

const SignedBlock& Fixture() {
  static const SignedBlock fixture;
  return fixture;
}

void BM_RsaVerifySignedDigest(benchmark::State& state) {
  const SignedBlock& fixture = Fixture();
  Octets decoded(kBlockSize);
  uint8_t scratch[16];
  for (auto iteration : state) {
    static_cast<void>(iteration);
    const uint32_t length = VerifySignedDigest(fixture.signature.data(), decoded.data(),
                                               fixture.modulus.data(), kModulusBits, scratch);
    benchmark::DoNotOptimize(length);
    if (length != 174) {
      state.SkipWithError("signature did not verify");
      break;
    }
  }
}
BENCHMARK(BM_RsaVerifySignedDigest)->Unit(benchmark::kMicrosecond);

void BM_RsaOpenSslPublicRaw(benchmark::State& state) {
  const SignedBlock& fixture = Fixture();
  const RsaPublicOperation operation(fixture.key);
  Octets decoded(kBlockSize);
  for (auto iteration : state) {
    static_cast<void>(iteration);
    const bool ok = operation.Run(fixture.signature.data(), fixture.signature.size(),
                                  decoded.data(), decoded.size());
    benchmark::DoNotOptimize(decoded.data());
    if (!ok) {
      state.SkipWithError("OpenSSL public operation failed");
      break;
    }
  }
}
BENCHMARK(BM_RsaOpenSslPublicRaw)->Unit(benchmark::kMicrosecond);

}  // namespace
