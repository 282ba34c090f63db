// Script signatures signed at test time with the development key D, in both trailer forms,
// and every way such a file can fail its check.
#include "verify/script_signature.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>

#include "tests/support/signed_files.h"
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

TEST(VerifyScriptSignature, MissingFile) {
  const TempDirectory dir;
  EXPECT_EQ(VerifyScriptSignature(WidePath(dir.File("absent.vbs")).c_str()), kScriptNotFound);
  EXPECT_EQ(VerifyScriptSignature(nullptr), kScriptNotFound);
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
