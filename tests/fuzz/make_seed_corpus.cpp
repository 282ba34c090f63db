// Writes the seed corpus of the fuzz targets: a folder per target under CORPUS_DIR, each with
// the same seeds (fuzz_verify_file's behind a mode byte of 2, as the helper calls it). Signed
// executables and scripts in both forms come from our signer; a few malformed files are built
// here by hand, so that the fuzzer starts next to the parser's early exits too.
//
//   make_seed_corpus CORPUS_DIR KEY_P_PEM KEY_D_PEM
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/fuzz/signed_seeds.h"
#include "tests/support/file_bytes.h"

namespace {

// Written out here rather than taken from the verifier, so that a wrong constant there shows.
constexpr char kHeadMagic[] = "KTCS4F3A4200C37O";
constexpr char kTailMagic[] = "62F3AB0132FKTCSE";
constexpr size_t kMagicLength = 16;
constexpr uint8_t kTag = 3;

struct Seed {
  std::string name;
  Bytes bytes;
};

void Append(Bytes* bytes, const char* text, size_t length) {
  bytes->insert(bytes->end(), text, text + length);
}

void AppendLe32(Bytes* bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    bytes->push_back(static_cast<uint8_t>(value >> shift));
  }
}

void PutLe32(Bytes* bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    (*bytes)[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

// The fields of a PE32+ header that the verifier reads, and nothing else: "MZ", e = 64,
// "PE\0\0", an optional header of 240 bytes with magic 0x20B, section alignment 4096, file
// alignment 512, 512 bytes of headers and 16 data directories (the certificate-table entry at
// e + 168 empty), and no sections.
constexpr size_t kPeHeader = 64;
constexpr size_t kOptionalHeader = kPeHeader + 24;
constexpr size_t kCertificateEntry = kPeHeader + 168;

Bytes MinimalExecutable() {
  Bytes file(512, 0);
  file[0] = 'M';
  file[1] = 'Z';
  PutLe32(&file, 60, kPeHeader);
  std::memcpy(&file[kPeHeader], "PE\0\0", 4);
  file[kPeHeader + 20] = 240;
  file[kOptionalHeader] = 0x0B;
  file[kOptionalHeader + 1] = 0x02;
  PutLe32(&file, kOptionalHeader + 32, 4096);
  PutLe32(&file, kOptionalHeader + 36, 512);
  PutLe32(&file, kOptionalHeader + 60, 512);
  PutLe32(&file, kOptionalHeader + 108, 16);
  return file;
}

// A signed executable with a certificate table after the block, as an Authenticode signer
// leaves it: the directory entry points at the table, whose header says its own length.
Bytes WithCertificateTable(Bytes file) {
  constexpr uint32_t kTableLength = 16;
  PutLe32(&file, kCertificateEntry, static_cast<uint32_t>(file.size()));
  PutLe32(&file, kCertificateEntry + 4, kTableLength);
  AppendLe32(&file, kTableLength);
  AppendLe32(&file, 0x00020200);  // revision 0x0200, type 2 (PKCS#7 signed data)
  AppendLe32(&file, 0x00008230);  // the start of a DER sequence, as a real table has
  AppendLe32(&file, 0);
  return file;
}

// A binary-form block that claims 255 entries but holds none: its trailer follows the
// 39-byte header at once.
Bytes BlockOf255Entries() {
  constexpr uint32_t kHeaderLength = 39;
  constexpr uint32_t kTrailerLength = 23;
  Bytes block;
  Append(&block, kHeadMagic, kMagicLength);
  block.push_back(kTag);
  AppendLe32(&block, 0);  // padBefore
  block.push_back(kTag);
  AppendLe32(&block, kHeaderLength + kTrailerLength + kMagicLength);  // excludedLength
  block.push_back(255);                                               // entryCount
  block.resize(kHeaderLength + 12, 0);                                // header and trailer reserved
  AppendLe32(&block, kHeaderLength + kTrailerLength);                 // blockOffset
  block.push_back(kTag);
  AppendLe32(&block, 0);  // padAfter
  block.push_back(kTag);
  block.push_back('B');
  Append(&block, kTailMagic, kMagicLength);
  return block;
}

Bytes ScriptText(size_t length, char last) {
  const std::string line = "WScript.Echo \"Tamsweep\"\r\n";
  Bytes script;
  while (script.size() + 1 < length) {
    script.push_back(static_cast<uint8_t>(line[script.size() % line.size()]));
  }
  script.push_back(static_cast<uint8_t>(last));
  return script;
}

std::vector<Seed> Seeds(const std::string& keyP, const std::string& keyD) {
  const Bytes executable = MinimalExecutable();
  const Bytes script = ScriptText(600, '\n');
  const Bytes signedBinary = SignedExecutableSeed(executable, keyP, SeedForm::Binary);
  return {
      {"exe-block-binary", signedBinary},
      {"exe-block-text", SignedExecutableSeed(executable, keyP, SeedForm::Text)},
      {"exe-block-binary-certificate-table", WithCertificateTable(signedBinary)},
      {"script-binary", SignedScriptSeed(script, keyD, SeedForm::Binary)},
      {"script-text", SignedScriptSeed(script, keyD, SeedForm::Text)},
      {"tail-magic-only", Bytes(kTailMagic, kTailMagic + kMagicLength)},
      {"ends-in-b", ScriptText(300, 'B')},
      {"block-255-entries", BlockOf255Entries()},
  };
}

void WriteCorpus(const std::filesystem::path& directory, const std::vector<Seed>& seeds,
                 const Bytes& prefix) {
  std::filesystem::create_directories(directory);
  for (const Seed& seed : seeds) {
    Bytes bytes = prefix;
    bytes.insert(bytes.end(), seed.bytes.begin(), seed.bytes.end());
    WriteFileBytes((directory / seed.name).string(), bytes);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR KEY_P_PEM KEY_D_PEM\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path corpus = argv[1];
    const std::vector<Seed> seeds = Seeds(argv[2], argv[3]);
    const Bytes helperMode{2};
    WriteCorpus(corpus / "fuzz_verify_file", seeds, helperMode);
    WriteCorpus(corpus / "fuzz_script_signature", seeds, {});
    WriteCorpus(corpus / "fuzz_signature_block", seeds, {});
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_seed_corpus: %s\n", error.what());
    return 1;
  }
  return 0;
}
