// Script signatures signed at test time with the development key D, in both trailer forms,
// and every way such a file can fail its check.
#include "verify/script_signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>

#include "tests/support/signed_files.h"
#include "tools/signing/evp_digest.h"
#include "tools/signing/rsa_block.h"
#include "tools/signing/size_keystream.h"
#include "verify/file_access.h"

namespace {

using signing::Form;

Bytes Script(Form form, size_t contentLength = 900, char key = 'D') {
  return signing::SignScript(SampleContent(contentLength), DevKey(key), form);
}

// The 512 digits of a text trailer, rewritten by `change`.
Bytes WithTrailerDigits(Bytes bytes, const std::function<char(char)>& change) {
  for (size_t i = bytes.size() - 513; i + 1 < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(change(static_cast<char>(bytes[i])));
  }
  return bytes;
}

// The binary trailer's signature written out as a text trailer of the same content.
Bytes BinarySignatureAsText(const Bytes& binary) {
  Bytes text(binary.begin(), binary.end() - 257);
  static const char kDigits[] = "0123456789ABCDEF";
  for (size_t i = binary.size() - 257; i + 1 < binary.size(); ++i) {
    text.push_back(static_cast<uint8_t>(kDigits[binary[i] >> 4]));
    text.push_back(static_cast<uint8_t>(kDigits[binary[i] & 15]));
  }
  text.push_back('T');
  return text;
}

struct ScriptCase {
  const char* name;
  std::function<Bytes()> make;
  int32_t result;
};

void PrintTo(const ScriptCase& value, std::ostream* out) {
  *out << value.name;
}

const ScriptCase kScriptCases[] = {
    {"Binary", [] { return Script(Form::Binary); }, kScriptValid},
    {"Text", [] { return Script(Form::Text); }, kScriptValid},
    {"EmptyContent", [] { return Script(Form::Binary, 0); }, kScriptHashFailed},
    {"EmptyContentText", [] { return Script(Form::Text, 0); }, kScriptHashFailed},
    {"OneByteOfContent", [] { return Script(Form::Text, 1); }, kScriptValid},
    {"LowerCaseDigits",
     [] {
       return WithTrailerDigits(Script(Form::Text),
                                [](char c) { return static_cast<char>(std::tolower(c)); });
     },
     kScriptValid},
    {"EmptyFile", [] { return Bytes(); }, kScriptShortRead},
    {"UnsignedScript", [] { return Bytes{'M', 's', 'g', 'B', 'o', 'x', '\r', '\n'}; },
     kScriptMismatch},
    {"TooShortForABinaryTrailer", [] { return Bytes(256, 'B'); }, kScriptShortRead},
    {"TooShortForATextTrailer", [] { return Bytes(300, 'T'); }, kScriptShortRead},
    {"ContentChanged",
     [] {
       Bytes bytes = Script(Form::Binary);
       bytes[10] ^= 0x20;
       return bytes;
     },
     kScriptMismatch},
    {"CutByOneByte",
     [] {
       Bytes bytes = Script(Form::Text);
       bytes.erase(bytes.begin());
       return bytes;
     },
     kScriptMismatch},
    {"ExtendedByOneByte",
     [] {
       Bytes bytes = Script(Form::Binary);
       bytes.insert(bytes.begin(), 'x');
       return bytes;
     },
     kScriptMismatch},
    {"BinarySignatureInTextForm", [] { return BinarySignatureAsText(Script(Form::Binary)); },
     kScriptMismatch},
    {"NonHexadecimalDigit",
     [] {
       Bytes bytes = Script(Form::Text);
       bytes[bytes.size() - 513 + 40] = 'x';
       return bytes;
     },
     kScriptMismatch},
    {"SignedWithKeyP", [] { return Script(Form::Binary, 900, 'P'); }, kScriptMismatch},
};

class ScriptCaseTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptCaseTest, GivesTheStatedResult) {
  const TempDirectory dir;
  const std::string path = dir.File("Uninstall.vbs");
  WriteFileBytes(path, GetParam().make());
  EXPECT_EQ(VerifyScriptSignature(WidePath(path).c_str()), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptCaseTest, ::testing::ValuesIn(kScriptCases),
                         [](const ::testing::TestParamInfo<ScriptCase>& info) {
                           return std::string(info.param.name);
                         });

// Groups of the text trailer spelled by hand, each so that the helper's reading of it gives,
// or on purpose does not give, the four signature octets o0 o1 o2 o3 that the group holds.
// The helper puts a group's four character pairs in reverse order, reads the eight characters
// with strtoul in base 16 and stores the value least significant octet first: "o0o1o2o3"
// becomes "o3o2o1o0", the value 0xo3o2o1o0, stored back as o0 o1 o2 o3. strtoul also skips
// leading blanks, takes a sign and a "0x" prefix, and stops at the first non-digit; a reader
// that took every character as a digit, with non-digits as 0, would differ in these rows.
struct GroupSpelling {
  const char* name;
  bool (*fits)(const uint8_t* octets);          // whether the spelling can stand for these octets
  std::string (*spell)(const uint8_t* octets);  // the group's eight characters
  int32_t result;
};

void PrintTo(const GroupSpelling& value, std::ostream* out) {
  *out << value.name;
}

char Digit(uint32_t value) {
  return "0123456789ABCDEF"[value & 15];
}

std::string Hex2(uint8_t octet) {
  return {Digit(octet >> 4), Digit(octet)};
}

uint32_t GroupValue(const uint8_t* o) {
  return static_cast<uint32_t>(o[0]) | static_cast<uint32_t>(o[1]) << 8 |
         static_cast<uint32_t>(o[2]) << 16 | static_cast<uint32_t>(o[3]) << 24;
}

const GroupSpelling kGroupSpellings[] = {
    // Read as " d" o2 o1 o0: the blank is skipped, d stands for 0d.
    {"BlankForALastHighDigitOfZero", [](const uint8_t* o) { return o[3] < 0x10; },
     [](const uint8_t* o) { return Hex2(o[0]) + Hex2(o[1]) + Hex2(o[2]) + " " + Digit(o[3]); },
     kScriptValid},
    // Read as "+d" o2 o1 o0: a plus sign changes nothing.
    {"PlusSignForALastHighDigitOfZero", [](const uint8_t* o) { return o[3] < 0x10; },
     [](const uint8_t* o) { return Hex2(o[0]) + Hex2(o[1]) + Hex2(o[2]) + "+" + Digit(o[3]); },
     kScriptValid},
    // Read as "0x" o2 o1 o0: the prefix is skipped and the top octet is 0.
    {"HexPrefixForALastOctetOfZero", [](const uint8_t* o) { return o[3] == 0; },
     [](const uint8_t* o) { return Hex2(o[0]) + Hex2(o[1]) + Hex2(o[2]) + "0x"; }, kScriptValid},
    // Read as o2 o1 o0 "zz": reading stops at z, and the six digits before it are 0x00o2o1o0.
    {"ReadingStopsAtTheFirstNonDigit", [](const uint8_t* o) { return o[3] == 0; },
     [](const uint8_t* o) { return "zz" + Hex2(o[0]) + Hex2(o[1]) + Hex2(o[2]); }, kScriptValid},
    // Read as "-" and seven digits X = 2^32 - value: the negation keeps the low 32 bits,
    // 2^32 - X = value. X has seven digits for a value above 0xF0000000.
    {"MinusSignKeepsTheLow32Bits", [](const uint8_t* o) { return GroupValue(o) > 0xF0000000u; },
     [](const uint8_t* o) {
       char reversed[9];
       std::snprintf(reversed, sizeof reversed, "-%07X", 0u - GroupValue(o));
       const std::string r(reversed);
       return r.substr(6, 2) + r.substr(4, 2) + r.substr(2, 2) + r.substr(0, 2);
     },
     kScriptValid},
    // Read as o3 o2 o1 "z" d: reading stops at z, so the group gives o1 o2 o3 00, not o0 o1 o2
    // o3 (o3 is not 0). Taken as the digit 0, z would have made "zd" the octet o0.
    {"NonDigitIsNoZeroDigit", [](const uint8_t* o) { return o[0] < 0x10 && o[3] != 0; },
     [](const uint8_t* o) {
       return std::string("z") + Digit(o[0]) + Hex2(o[1]) + Hex2(o[2]) + Hex2(o[3]);
     },
     kScriptMismatch},
};

uint8_t DigitValue(uint8_t c) {
  return static_cast<uint8_t>(c <= '9' ? c - '0' : c - 'A' + 10);
}

class GroupSpellingTest : public ::testing::TestWithParam<GroupSpelling> {};

// The signature depends on the content, so contents are tried until one's signature has a
// group that the spelling fits; the development key D makes that the same content every run.
TEST_P(GroupSpellingTest, ReadsAsStrtoulReadsTheReversedPairs) {
  const GroupSpelling& spelling = GetParam();
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    Bytes file = signing::SignScript(SampleContent(64, seed), DevKey('D'), Form::Text);
    const size_t trailer = file.size() - 513;
    for (size_t group = 0; group < 64; ++group) {
      const size_t at = trailer + 8 * group;
      uint8_t octets[4];
      for (size_t i = 0; i < 4; ++i) {
        octets[i] = static_cast<uint8_t>(DigitValue(file[at + 2 * i]) << 4 |
                                         DigitValue(file[at + 2 * i + 1]));
      }
      if (!spelling.fits(octets)) {
        continue;
      }
      const std::string text = spelling.spell(octets);
      ASSERT_EQ(text.size(), 8u);
      std::copy(text.begin(), text.end(), file.begin() + static_cast<long>(at));
      const TempDirectory dir;
      const std::string path = dir.File("Uninstall.vbs");
      WriteFileBytes(path, file);
      EXPECT_EQ(VerifyScriptSignature(WidePath(path).c_str()), spelling.result)
          << "group " << group << " spelled \"" << text << "\"";
      return;
    }
  }
  FAIL() << "no signature with a group that the spelling fits";
}

INSTANTIATE_TEST_SUITE_P(TextTrailer, GroupSpellingTest, ::testing::ValuesIn(kGroupSpellings),
                         [](const ::testing::TestParamInfo<GroupSpelling>& info) {
                           return std::string(info.param.name);
                         });

// A content of 900 bytes signed in the binary form has the signed size 1157 = 0x485, 85 04 00
// 00 in little-endian; masked with the keystream from SizeMaskSeed, 75 86 E1 31 (worked out
// at ApplyKeystream's known answers), that is F0 82 E1 31.
constexpr uint8_t kMaskedSize1157[4] = {0xF0, 0x82, 0xE1, 0x31};

// A script whose signed message is laid out here, octet by octet, and signed raw with key D.
Bytes HandSignedScript(const Bytes& content, const std::function<void(signing::RsaBlock*)>& lay) {
  signing::RsaBlock message{};
  lay(&message);
  const signing::RsaBlock signature = DevKey('D').SignRaw(message);
  Bytes file = content;
  file.insert(file.end(), signature.begin(), signature.end());
  file.push_back('B');
  return file;
}

// The check reads the masked size at offset 20 and the content digest at 32 of the decoded
// block, and nothing else; the block is written without its leading zero octets.
TEST(VerifyScriptSignature, ReadsTheMessageAsLaidOut) {
  const Bytes content = SampleContent(900);
  const signing::Md5Digest digest = signing::Md5Of(content.data(), content.size());
  auto place = [](signing::RsaBlock* m, size_t at, const uint8_t* bytes, size_t count) {
    std::copy(bytes, bytes + count, m->begin() + static_cast<long>(at));
  };
  const struct {
    const char* name;
    std::function<void(signing::RsaBlock*)> lay;
    int32_t result;
  } cases[] = {
      // No marker, no self-checked digest or length: the RSA block's own check is not
      // consulted. A first octet of 1 keeps the decoded block from losing a leading zero.
      {"OnlyTheTwoFields",
       [&](signing::RsaBlock* m) {
         (*m)[0] = 1;
         place(m, 20, kMaskedSize1157, 4);
         place(m, 32, digest.data(), 16);
       },
       kScriptValid},
      {"SizeUnmasked",
       [&](signing::RsaBlock* m) {
         (*m)[0] = 1;
         const uint8_t size[4] = {0x85, 0x04, 0x00, 0x00};
         place(m, 20, size, 4);
         place(m, 32, digest.data(), 16);
       },
       kScriptMismatch},
      {"DigestOneOctetLater",
       [&](signing::RsaBlock* m) {
         (*m)[0] = 1;
         place(m, 20, kMaskedSize1157, 4);
         place(m, 33, digest.data(), 16);
       },
       kScriptMismatch},
      // The value has one octet fewer than the block, so every field moves one octet down.
      {"LeadingZeroOctet",
       [&](signing::RsaBlock* m) {
         place(m, 20, kMaskedSize1157, 4);
         place(m, 32, digest.data(), 16);
       },
       kScriptMismatch},
  };
  const TempDirectory dir;
  const std::string path = dir.File("Uninstall.vbs");
  for (const auto& c : cases) {
    WriteFileBytes(path, HandSignedScript(content, c.lay));
    EXPECT_EQ(VerifyScriptSignature(WidePath(path).c_str()), c.result) << c.name;
  }
}

TEST(VerifyScriptSignature, MissingFile) {
  const TempDirectory dir;
  EXPECT_EQ(VerifyScriptSignature(WidePath(dir.File("absent.vbs")).c_str()), kScriptNotFound);
  EXPECT_EQ(VerifyScriptSignature(nullptr), kScriptNotFound);
}

// Worked out by hand from the rule k = (a mod 255) + 1, byte ^= k, a = a + (a div 255) + k
// modulo 2^32. As 256 = 1 (mod 255), a mod 255 is the sum of a's four octets mod 255.
//   a = 0x5E1C47B2 = 1578911666: 5E + 1C + 47 + B2 = 371 = 116 (mod 255), k = 117 = 0x75;
//       a div 255 = 6191810, next a = 1578911666 + 6191810 + 117 = 1585103593 = 0x5E7AC2E9
//   a = 0x5E7AC2E9: 5E + 7A + C2 + E9 = 643 = 133 (mod 255), k = 134 = 0x86;
//       a div 255 = 6216092, next a = 1585103593 + 6216092 + 134 = 1591319819 = 0x5ED99D0B
//   a = 0x5ED99D0B: 5E + D9 + 9D + 0B = 479 = 224 (mod 255), k = 225 = 0xE1;
//       a div 255 = 6240469, next a = 1591319819 + 6240469 + 225 = 1597560513 = 0x5F38D6C1
//   a = 0x5F38D6C1: 5F + 38 + D6 + C1 = 558 = 48 (mod 255), k = 49 = 0x31;
//       a div 255 = 6264943, next a = 1597560513 + 6264943 + 49 = 1603825505 = 0x5F986F61
// So the stream from SizeMaskSeed starts 75 86 E1 31. Edges: a = 0xFFFFFFFF has the octet sum
// 4 x 255, k = 1, a div 255 = 0x01010101, next a = 0x101010101 modulo 2^32 = 0x01010101;
// a = 254 gives the largest k, 255, and next a = 254 + 0 + 255 = 509; a = 255 gives k = 1 and
// next a = 255 + 1 + 1 = 257. (That both sides start from 0x5E1C47B2 shows in the masked sizes
// of ReadsTheMessageAsLaidOut and of the signing library's message test.)
TEST(ApplyKeystream, KnownAnswersInBothCopies) {
  const struct {
    const char* name;
    uint32_t start;  // the state before
    uint32_t end;    // and after
    Bytes input;
    Bytes output;
  } cases[] = {
      {"ZerosFromTheSeed", 0x5E1C47B2u, 0x5F986F61u, {0, 0, 0, 0}, {0x75, 0x86, 0xE1, 0x31}},
      // A signed size of 1413 (0x585): 900 bytes of content and a text trailer.
      {"SignedSize1413", 0x5E1C47B2u, 0x5F986F61u, {0x85, 0x05, 0, 0}, {0xF0, 0x83, 0xE1, 0x31}},
      {"StateWrapsModulo2To32", 0xFFFFFFFFu, 0x01010101u, {0x00}, {0x01}},
      {"LargestKey", 254, 509, {0x00}, {0xFF}},
      {"SmallestKey", 255, 257, {0xFF}, {0xFE}},
  };
  for (const auto& c : cases) {
    Bytes ours = c.input;
    uint32_t ourState = c.start;
    ApplyKeystream(ours.data(), static_cast<int32_t>(ours.size()), &ourState);
    EXPECT_EQ(ours, c.output) << c.name;
    EXPECT_EQ(ourState, c.end) << c.name;

    Bytes signers = c.input;
    uint32_t signerState = c.start;
    signing::ApplyKeystream(signers.data(), signers.size(), &signerState);
    EXPECT_EQ(signers, c.output) << "signing library, " << c.name;
    EXPECT_EQ(signerState, c.end) << "signing library, " << c.name;
  }
}

TEST(ApplyKeystream, MasksAsTheSignerDoes) {
  Bytes original = SampleContent(300, 7);
  for (const uint32_t start : {SizeMaskSeed, 0u, 254u, 255u, 0xFFFFFFFFu}) {
    Bytes ours = original;
    Bytes theirs = original;
    uint32_t ourState = start;
    uint32_t theirState = start;
    ApplyKeystream(ours.data(), static_cast<int32_t>(ours.size()), &ourState);
    signing::ApplyKeystream(theirs.data(), theirs.size(), &theirState);
    EXPECT_EQ(ours, theirs) << start;
    EXPECT_EQ(ourState, theirState) << start;
    EXPECT_NE(ours, original) << start;
    uint32_t again = start;
    ApplyKeystream(ours.data(), static_cast<int32_t>(ours.size()), &again);
    EXPECT_EQ(ours, original) << "masking twice restores, start " << start;
  }
}

TEST(ApplyKeystream, MasksNothingWithoutBytesStateOrCount) {
  Bytes bytes = SampleContent(8);
  const Bytes before = bytes;
  uint32_t state = SizeMaskSeed;
  ApplyKeystream(bytes.data(), 8, nullptr);
  ApplyKeystream(bytes.data(), 0, &state);
  ApplyKeystream(bytes.data(), -1, &state);
  ApplyKeystream(nullptr, 8, &state);
  EXPECT_EQ(bytes, before);
  EXPECT_EQ(state, SizeMaskSeed);
}

TEST(HashSignedContent, RefusesBadArguments) {
  const TempDirectory dir;
  WriteFileBytes(dir.File("f"), SampleContent(100));
  const int file = FileOpenRead(WidePath(dir.File("f")).c_str());
  uint8_t digest[16];
  EXPECT_EQ(HashSignedContent(file, 100, digest, 16), kHashBadArgument);
  EXPECT_EQ(HashSignedContent(file, 10, nullptr, 16), kHashBadArgument);
  EXPECT_EQ(HashSignedContent(file, 10, digest, 17), kHashBadArgument);
  EXPECT_EQ(HashSignedContent(kFileNotOpen, 10, digest, 16), kHashBadArgument);
  // Read from position 50: only 50 bytes remain of the 90 asked for.
  FileSeek(file, 50, FileOrigin::Start);
  EXPECT_EQ(HashSignedContent(file, 10, digest, 16), kHashShortRead);
  FileClose(file);
}

}  // namespace
