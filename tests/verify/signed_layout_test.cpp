// The layout rules of a block-signed file, rule by rule, and the unusual layouts that a maker
// could sign one day and an attacker could then change without touching a covered byte.
#include "verify/signed_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>

#include "tests/support/block_patch.h"
#include "tests/support/pe_layout.h"
#include "tests/support/signed_files.h"
#include "verify/file_access.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::Form;
using signing::SignedExecutable;

constexpr size_t kSampleLength = 3000;  // also where the tail starts: the block has no padBefore

struct RuleCase {
  const char* name;
  std::function<void(Bytes* file, const PeLayout& pe)> change;
  LayoutFault fault;
};

void PrintTo(const RuleCase& value, std::ostream* out) {
  *out << value.name;
}

void SetSectionTableField(Bytes* file, uint32_t field, uint32_t value) {
  PutU32Le(file, ReadPeSections(*file).front().header + field, value);
}

const RuleCase kRules[] = {
    {"WellFormed", [](Bytes*, const PeLayout&) {}, LayoutFault::None},
    {"NotAnExecutable", [](Bytes* f, const PeLayout&) { f->at(0) = 'X'; },
     LayoutFault::NotAnExecutable},
    {"HeaderBeyondTheFile",
     [](Bytes* f, const PeLayout&) { PutU32Le(f, 60, static_cast<uint32_t>(f->size() - 10)); },
     LayoutFault::HeaderOutsideFile},
    {"NoPeSignature", [](Bytes* f, const PeLayout& pe) { f->at(pe.e + 1) = 'X'; },
     LayoutFault::NotPortableExecutable},
    {"OptionalHeaderMagic0x107",
     [](Bytes* f, const PeLayout& pe) { PutU16Le(f, pe.e + 24, 0x107); },
     LayoutFault::OptionalHeaderMagic},
    {"OptionalHeaderEndsBeforeTheEntry",
     [](Bytes* f, const PeLayout& pe) {
       PutU16Le(f, pe.e + kOptionalHeaderSizeField, static_cast<uint16_t>(pe.d - pe.e - 24 + 7));
     },
     LayoutFault::OptionalHeaderTooShort},
    {"OptionalHeaderEndsWithTheEntry",
     [](Bytes* f, const PeLayout& pe) {
       PutU16Le(f, pe.e + kOptionalHeaderSizeField, static_cast<uint16_t>(pe.d - pe.e - 24 + 8));
     },
     LayoutFault::None},
    {"FourDirectories",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + DirectoryCountField(pe.magic), 4); },
     LayoutFault::TooFewDirectories},
    {"FiveDirectories",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + DirectoryCountField(pe.magic), 5); },
     LayoutFault::None},
    {"FileAlignment256",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kFileAlignmentField, 256); },
     LayoutFault::FileAlignment},
    {"FileAlignmentNotAPowerOfTwo",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kFileAlignmentField, 768); },
     LayoutFault::FileAlignment},
    {"FileAlignment128K",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kFileAlignmentField, 0x20000); },
     LayoutFault::FileAlignment},
    {"SectionAlignmentOfTheFile",  // mapped flat, bytes after the raw data included
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kSectionAlignmentField, 512); },
     LayoutFault::SectionAlignment},
    {"SectionAlignment2048",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kSectionAlignmentField, 2048); },
     LayoutFault::SectionAlignment},
    {"SectionAlignmentBelowTheFileAlignment",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kFileAlignmentField, 8192); },
     LayoutFault::SectionAlignment},
    {"HeadersSizeRoundsUpIntoTheTail",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kHeadersSizeField, 2561); },
     LayoutFault::HeadersInTail},
    {"HeadersSizeRoundsUpBeforeTheTail",
     [](Bytes* f, const PeLayout& pe) { PutU32Le(f, pe.e + kHeadersSizeField, 513); },
     LayoutFault::None},
    {"SectionTableReachesIntoTheTail",
     [](Bytes* f, const PeLayout& pe) { PutU16Le(f, pe.e + kSectionCountField, 70); },
     LayoutFault::HeadersInTail},
    {"RawSizeEndsAtTheTailBeforeRounding",
     [](Bytes* f, const PeLayout&) { SetSectionTableField(f, 16, kSampleLength - 512); },
     LayoutFault::SectionInTail},
    {"RawDataEndsExactlyAtTheTail",
     [](Bytes* f, const PeLayout&) { SetSectionTableField(f, 20, kSampleLength - 2048); },
     LayoutFault::None},
    {"RawDataOffsetFarBeyond",
     [](Bytes* f, const PeLayout&) { SetSectionTableField(f, 20, 0xFFFFFE00u); },
     LayoutFault::SectionInTail},
    {"ByteAfterTheRegion", [](Bytes* f, const PeLayout&) { f->push_back(0); },
     LayoutFault::TailNotAtEnd},
};

class SignedLayoutRuleTest : public ::testing::TestWithParam<std::tuple<uint16_t, RuleCase>> {
 protected:
  TempDirectory dir_;
};

TEST_P(SignedLayoutRuleTest, FindsTheBrokenRule) {
  const auto& [magic, rule] = GetParam();
  SignedExecutable file = signing::SignExecutable(SampleExecutable(kSampleLength, magic),
                                                  DevKey('P'), {Form::Binary, 'P', 0, 0});
  ASSERT_EQ(file.layout.blockStart, kSampleLength);
  rule.change(&file.bytes, ReadPeLayout(file.bytes));
  const std::wstring path = WidePath(dir_.Write("file.exe", file.bytes));
  const int handle = FileOpenRead(path.c_str());
  ASSERT_NE(handle, kFileNotOpen);
  LayoutFault fault = LayoutFault::OptionalHeaderMagic;
  VerifyStatus status = 0;
  const int result =
      CheckSignedLayout(handle, static_cast<uint32_t>(file.bytes.size()), file.layout.blockStart,
                        file.layout.excludedLength, &fault, &status);
  FileClose(handle);
  EXPECT_EQ(fault, rule.fault);
  EXPECT_EQ(result, rule.fault == LayoutFault::None ? 1 : 0);
  EXPECT_EQ(status, rule.fault == LayoutFault::None ? 0 : StatusMalformedBlock);
}

INSTANTIATE_TEST_SUITE_P(BothHeaderKinds, SignedLayoutRuleTest,
                         ::testing::Combine(::testing::Values(uint16_t{kPe32PlusMagic},
                                                              uint16_t{kPe32Magic}),
                                            ::testing::ValuesIn(kRules)),
                         [](const ::testing::TestParamInfo<SignedLayoutRuleTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param) == kPe32Magic ? "Pe32"
                                                                                    : "Pe32Plus") +
                                  std::get<1>(info.param).name;
                         });

TEST(SignedLayout, RefusesAFileThatIsNotOpen) {
  LayoutFault fault = LayoutFault::TailNotAtEnd;
  VerifyStatus status = 0;
  EXPECT_EQ(CheckSignedLayout(kFileNotOpen, 4096, 0, 10, &fault, &status), 0);
  EXPECT_EQ(status, StatusBadArgument);
  EXPECT_EQ(fault, LayoutFault::None);
}

// Layouts that a maker could sign, each with the change an attacker makes afterwards outside
// the signed bytes. The original and the changed copy are both refused.
struct UnusualLayout {
  const char* name;
  std::function<Bytes()> input;  // what the maker signs
  char key;
  std::function<void(SignedExecutable*)> change;
};

void PrintTo(const UnusualLayout& value, std::ostream* out) {
  *out << value.name;
}

Bytes Tiny64() {
  return ReadFileBytes(KT_TINY64_EXE);
}

// A script whose last line is an open comment: whatever follows on that line is ignored,
// and a line break in the unsigned part of a block would start new statements.
Bytes ScriptWithOpenComment() {
  const std::string text = "Set shell = CreateObject(\"WScript.Shell\")\r\n' the end ";
  return Bytes(text.begin(), text.end());
}

// Statements written into the block's reserved words, between the signature and the trailer.
void StatementsInTheFreeArea(SignedExecutable* file) {
  const std::string statements = "\r\nMsgBox 1\r\n";
  const size_t at = file->layout.blockStart + file->layout.tailMagicOffset - 23;
  std::copy(statements.begin(), statements.end(), &file->bytes.at(at));
}

// The optional header cut down to three data directories, the section table moved up behind
// it: the eight bytes where the certificate-table entry would be are now the first section's
// virtual size and address, and read as an entry they name part of the code.
Bytes ThreeDirectoriesOnly() {
  Bytes bytes = Tiny64();
  const PeLayout pe = ReadPeLayout(bytes);
  const uint32_t sizeField = pe.e + kOptionalHeaderSizeField;
  const uint32_t oldTable = pe.e + 24 + ReadLe16(bytes, sizeField);
  const uint32_t newSize = 112 + 3 * 8;
  const uint32_t tableLength = 40 * ReadLe16(bytes, pe.e + kSectionCountField);
  std::copy(bytes.begin() + oldTable, bytes.begin() + oldTable + tableLength,
            bytes.begin() + pe.e + 24 + newSize);
  PutU16Le(&bytes, sizeField, newSize);
  PutU32Le(&bytes, pe.e + DirectoryCountField(pe.magic), 3);
  return bytes;
}

// The last section's raw size no longer a multiple of the file alignment, and the file cut
// right after it: the loader reads the rounded size, into the block region.
Bytes LastRawSizeUnaligned() {
  Bytes bytes = Tiny64();
  const PeSection last = ReadPeSections(bytes).back();
  PutU32Le(&bytes, last.header + 16, 0x80);
  bytes.resize(last.rawOffset + 0x80);
  return bytes;
}

Bytes LastSectionPastTheEnd() {
  Bytes bytes = Tiny64();
  const PeSection last = ReadPeSections(bytes).back();
  PutU32Le(&bytes, last.header + 16, last.rawSize + 0x200);
  return bytes;
}

// Section alignment equal to the file alignment: the image is mapped flat, and a trailing
// section without raw data is filled from whatever follows the file's last section.
Bytes FlatMappedImage() {
  Bytes bytes = Tiny64();
  const PeLayout pe = ReadPeLayout(bytes);
  PutU32Le(&bytes, pe.e + kSectionAlignmentField, 0x200);
  return bytes;
}

void FlipFirstRegionByte(SignedExecutable* file) {
  file->bytes.at(file->layout.blockStart - file->layout.padBefore) ^= 0x5A;
}

void RewriteDirectoryEntry(SignedExecutable* file) {
  const uint32_t d = ReadPeLayout(file->bytes).d;
  PutU32Le(&file->bytes, d, 0x00001000);
  PutU32Le(&file->bytes, d + 4, 0x00000200);
}

const UnusualLayout kUnusualLayouts[] = {
    {"BlockOnAScriptKeyP", ScriptWithOpenComment, 'P', StatementsInTheFreeArea},
    {"BlockOnAScriptKeyD", ScriptWithOpenComment, 'D', StatementsInTheFreeArea},
    {"ThreeDirectoriesOnly", ThreeDirectoriesOnly, 'P', RewriteDirectoryEntry},
    {"LastRawSizeUnaligned", LastRawSizeUnaligned, 'P', FlipFirstRegionByte},
    {"LastSectionPastTheEnd", LastSectionPastTheEnd, 'P', FlipFirstRegionByte},
    {"FlatMappedImage", FlatMappedImage, 'P', FlipFirstRegionByte},
};

class UnusualLayoutTest : public ::testing::TestWithParam<UnusualLayout> {
 protected:
  TempDirectory dir_;
};

TEST_P(UnusualLayoutTest, OriginalAndChangedCopyAreRefused) {
  const UnusualLayout& c = GetParam();
  SignedExecutable file =
      signing::SignExecutable(c.input(), DevKey(c.key), {Form::Binary, c.key, 0, {}});
  const std::string original = dir_.Write("original", file.bytes);
  c.change(&file);
  const std::string changed = dir_.Write("changed", file.bytes);
  for (const std::string& path : {original, changed}) {
    SCOPED_TRACE(path);
    const std::wstring wide = WidePath(path);
    VerifyStatus status = 0;
    EXPECT_EQ(VerifyFileSignature(wide.c_str(), &status, 2), 0);
    EXPECT_EQ(status, StatusMalformedBlock);
    int32_t detail = 0;
    EXPECT_EQ(CheckFileSignature(wide.c_str(), &detail), 5);
    EXPECT_EQ(detail, 5);
  }
}

INSTANTIATE_TEST_SUITE_P(MakerSigned, UnusualLayoutTest, ::testing::ValuesIn(kUnusualLayouts),
                         [](const ::testing::TestParamInfo<UnusualLayout>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
