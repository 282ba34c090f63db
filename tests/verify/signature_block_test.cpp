// Locating and parsing signature blocks in files signed at test time, in both forms, with
// single fields changed afterwards.
#include "verify/signature_block.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>

#include "crypto/memory.h"
#include "tests/support/block_patch.h"
#include "tests/support/signed_files.h"
#include "verify/file_access.h"

namespace {

using signing::Form;
using signing::SignedExecutable;

struct ParseOutcome {
  int result = 0;
  VerifyStatus status = 0;
  uint32_t blockDistance = 0;
  uint32_t tailDistance = 0;
  SignatureBlockInfo info{};
  SignatureEntry firstEntry{};
  uint32_t entriesBuilt = 0;
  int findResult = 0;
  VerifyStatus findStatus = 0;
};

ParseOutcome Parse(const Bytes& bytes) {
  const TempDirectory dir;
  const std::string path = dir.File("signed.bin");
  WriteFileBytes(path, bytes);
  ParseOutcome outcome;
  const int file = FileOpenRead(WidePath(path).c_str());
  auto* info = static_cast<SignatureBlockInfo*>(MemoryAllocate(sizeof(SignatureBlockInfo)));
  outcome.result =
      ParseSignatureBlock(info, file, static_cast<uint32_t>(bytes.size()), 0,
                          &outcome.blockDistance, &outcome.tailDistance, &outcome.status);
  outcome.info = *info;
  for (const SignatureEntry* entry = info->entries; entry != nullptr; entry = entry->next) {
    if (outcome.entriesBuilt++ == 0) {
      outcome.firstEntry = *entry;
    }
  }
  if (outcome.result == 1) {
    SignatureEntry* found = nullptr;
    outcome.findResult = FindSignatureEntry(info->entries, &found, &outcome.findStatus);
  }
  ReleaseSignatureBlock(info);
  FileClose(file);
  return outcome;
}

SignedExecutable Signed(Form form, size_t contentLength = 1000) {
  return signing::SignExecutable(SampleContent(contentLength), DevKey('P'), {form, 'P', 0, {}});
}

const char* FormName(Form form) {
  return form == Form::Binary ? "Binary" : "Text";
}

TEST(ParseSignatureBlock, ReadsEveryFieldOfASignedBlock) {
  for (const Form form : {Form::Binary, Form::Text}) {
    SCOPED_TRACE(FormName(form));
    const SignedExecutable signedFile = Signed(form);
    const signing::ExecutableLayout& layout = signedFile.layout;
    const ParseOutcome outcome = Parse(signedFile.bytes);
    ASSERT_EQ(outcome.result, 1) << outcome.status;
    const size_t size = signedFile.bytes.size();
    EXPECT_EQ(outcome.blockDistance, size - layout.blockStart);
    EXPECT_EQ(outcome.tailDistance, size - layout.blockStart - layout.tailMagicOffset);
    EXPECT_EQ(outcome.info.kind, static_cast<char>(form));
    EXPECT_EQ(outcome.info.blockOffset, layout.tailMagicOffset);
    EXPECT_EQ(outcome.info.padBefore, layout.padBefore);
    EXPECT_EQ(outcome.info.padAfter, layout.padAfter);
    EXPECT_EQ(outcome.info.excludedLength, layout.excludedLength);
    EXPECT_EQ(outcome.info.entryCount, 1);
    EXPECT_EQ(outcome.entriesBuilt, 1u);
    for (const uint8_t tag : {outcome.info.padBeforeTag, outcome.info.excludedLengthTag,
                              outcome.info.padAfterTag, outcome.info.kindTag,
                              outcome.firstEntry.dataOffsetTag, outcome.firstEntry.dataLengthTag}) {
      EXPECT_EQ(tag, 3);
    }
    EXPECT_EQ(outcome.firstEntry.entryType, kSignatureEntryType);
    EXPECT_EQ(outcome.firstEntry.dataOffset, layout.signatureData - layout.blockStart);
    EXPECT_EQ(outcome.firstEntry.dataLength, 256u);
    EXPECT_EQ(outcome.firstEntry.keyKind, 'P');
    EXPECT_EQ(outcome.findResult, 1);
  }
}

TEST(ParseSignatureBlock, WorkedExampleOfTheBinaryForm) {
  // A content length that is a multiple of 8 leaves a 354-byte block needing 6 bytes of
  // padding up to the next 8-byte boundary.
  const SignedExecutable signedFile = Signed(Form::Binary, 4000);
  const ParseOutcome outcome = Parse(signedFile.bytes);
  ASSERT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.info.blockOffset, 338u);
  EXPECT_EQ(outcome.info.padBefore, 0u);
  EXPECT_EQ(outcome.info.padAfter, 6u);
  EXPECT_EQ(outcome.info.excludedLength, 360u);
  EXPECT_EQ(outcome.firstEntry.dataOffset, 59u);
  EXPECT_EQ(outcome.blockDistance, 360u);
}

struct ParseCase {
  const char* name;
  std::function<void(SignedExecutable*, BlockPatch*)> change;
  int result;
  VerifyStatus status;
};

void PrintTo(const ParseCase& value, std::ostream* out) {
  *out << value.name;
}

// Cases that apply to both forms alike.
const ParseCase kParseCases[] = {
    {"UnchangedBlock", [](SignedExecutable*, BlockPatch*) {}, 1, 0},
    {"KindNeitherBinaryNorText", [](SignedExecutable*, BlockPatch* p) { p->Kind('Q'); }, 0,
     StatusMalformedBlock},
    {"BlockOffsetBeforeTheFile",
     [](SignedExecutable* f, BlockPatch* p) {
       p->BlockOffset(static_cast<uint32_t>(f->bytes.size()));
     },
     0, StatusReadError},
    {"BlockOffsetMissingTheHeadMagic",
     [](SignedExecutable* f, BlockPatch* p) { p->BlockOffset(f->layout.tailMagicOffset - 1); }, 0,
     StatusMalformedBlock},
    {"PadBefore32", [](SignedExecutable*, BlockPatch* p) { p->PadBefore(32); }, 1, 0},
    {"PadBefore33", [](SignedExecutable*, BlockPatch* p) { p->PadBefore(33); }, 0,
     StatusMalformedBlock},
    {"PadAfter33", [](SignedExecutable*, BlockPatch* p) { p->PadAfter(33); }, 0,
     StatusMalformedBlock},
    {"PadAfterHuge", [](SignedExecutable*, BlockPatch* p) { p->PadAfter(0xFFFFFFFF); }, 0,
     StatusMalformedBlock},
    // 255 entries would run far past the bytes that the block holds.
    {"EntriesPastTheBytesRead", [](SignedExecutable*, BlockPatch* p) { p->EntryCount(255); }, 0,
     StatusMalformedBlock},
    // A second "entry" read from the signature bytes still lies inside the block.
    {"TwoEntriesInsideTheBlock", [](SignedExecutable*, BlockPatch* p) { p->EntryCount(2); }, 1, 0},
};

class ParseCaseTest : public ::testing::TestWithParam<std::tuple<ParseCase, Form>> {};

TEST_P(ParseCaseTest, GivesTheStatedResult) {
  const auto& [testCase, form] = GetParam();
  SignedExecutable signedFile = Signed(form);
  BlockPatch patch(&signedFile, form);
  testCase.change(&signedFile, &patch);
  const ParseOutcome outcome = Parse(signedFile.bytes);
  EXPECT_EQ(outcome.result, testCase.result);
  EXPECT_EQ(outcome.status, testCase.status);
}

INSTANTIATE_TEST_SUITE_P(BothForms, ParseCaseTest,
                         ::testing::Combine(::testing::ValuesIn(kParseCases),
                                            ::testing::Values(Form::Binary, Form::Text)),
                         [](const ::testing::TestParamInfo<ParseCaseTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  FormName(std::get<1>(info.param));
                         });

TEST(ParseSignatureBlock, EntryListsWithoutASignatureEntry) {
  for (const Form form : {Form::Binary, Form::Text}) {
    SCOPED_TRACE(FormName(form));
    SignedExecutable noEntries = Signed(form);
    BlockPatch(&noEntries, form).EntryCount(0);
    const ParseOutcome empty = Parse(noEntries.bytes);
    EXPECT_EQ(empty.result, 1);
    EXPECT_EQ(empty.entriesBuilt, 0u);
    EXPECT_EQ(empty.findResult, 0);
    EXPECT_EQ(empty.findStatus, StatusBadArgument);

    SignedExecutable otherType = Signed(form);
    BlockPatch(&otherType, form).EntryType(5);
    const ParseOutcome other = Parse(otherType.bytes);
    EXPECT_EQ(other.result, 1);
    EXPECT_EQ(other.findResult, 0);
    EXPECT_EQ(other.findStatus, StatusNoSignatureEntry);
  }
}

TEST(ParseSignatureBlock, TextLengthsCountCharacters) {
  for (const uint32_t characters : {512u, 513u}) {
    SignedExecutable signedFile = Signed(Form::Text);
    BlockPatch(&signedFile, Form::Text).DataLength(characters);
    const ParseOutcome outcome = Parse(signedFile.bytes);
    ASSERT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.firstEntry.dataLength, 256u) << characters;
  }
}

TEST(ParseSignatureBlock, LowerCaseDigitsParseLikeUpperCase) {
  SignedExecutable signedFile = Signed(Form::Text);
  const signing::ExecutableLayout& layout = signedFile.layout;
  const size_t keyKind = layout.firstEntry + 22;
  // Everything between the magics but the two kind characters is a hexadecimal digit.
  for (size_t i = layout.blockStart + kMagicLength;
       i + 1 < layout.blockStart + layout.tailMagicOffset; ++i) {
    if (i != keyKind) {
      signedFile.bytes[i] = static_cast<uint8_t>(std::tolower(signedFile.bytes[i]));
    }
  }
  const ParseOutcome lower = Parse(signedFile.bytes);
  const ParseOutcome upper = Parse(Signed(Form::Text).bytes);
  ASSERT_EQ(lower.result, 1);
  EXPECT_EQ(lower.info.blockOffset, upper.info.blockOffset);
  EXPECT_EQ(lower.info.excludedLength, upper.info.excludedLength);
  EXPECT_EQ(lower.firstEntry.dataOffset, upper.firstEntry.dataOffset);
  EXPECT_EQ(lower.firstEntry.dataLength, upper.firstEntry.dataLength);
}

TEST(ParseSignatureBlock, NonHexadecimalCharactersReadAsZero) {
  SignedExecutable signedFile = Signed(Form::Text);
  // padBefore "00000000" becomes "0000000G": still 0, so the block stays well formed.
  signedFile.bytes[signedFile.layout.blockStart + 18 + 7] = 'G';
  const ParseOutcome outcome = Parse(signedFile.bytes);
  ASSERT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.info.padBefore, 0u);
}

TEST(ParseSignatureBlock, WhereTheTailMagicIsLookedFor) {
  const Bytes tailMagic(SignatureTailMagic, SignatureTailMagic + kMagicLength);
  auto withMagicAt = [&](size_t position) {
    Bytes bytes = SampleContent(position);
    bytes.insert(bytes.end(), tailMagic.begin(), tailMagic.end());
    return bytes;
  };
  const struct {
    const char* name;
    Bytes bytes;
    VerifyStatus status;
  } cases[] = {
      {"EmptyFile", {}, StatusNoSignatureBlock},
      {"ShorterThanTheMagic", SampleContent(15), StatusNoSignatureBlock},
      {"NoMagic", SampleContent(5000), StatusNoSignatureBlock},
      {"MagicAtPosition20", withMagicAt(20), StatusMalformedBlock},
      {"MagicAtPosition21WithoutKind", withMagicAt(21), StatusMalformedBlock},
  };
  for (const auto& c : cases) {
    const ParseOutcome outcome = Parse(c.bytes);
    EXPECT_EQ(outcome.result, 0) << c.name;
    EXPECT_EQ(outcome.status, c.status) << c.name;
  }
}

TEST(ParseSignatureBlock, SearchesExactlyTheLast656536Bytes) {
  const SignedExecutable signedFile = Signed(Form::Binary);
  const uint32_t tailDistance = 16 + signedFile.layout.padAfter;
  // Filler after the block moves its tail magic away from the end of the file. Found at the
  // very start of the searched tail, it has no room for the trailer before it.
  const struct {
    uint32_t distance;
    int result;
    VerifyStatus status;
  } cases[] = {
      {TailSearchLimit - 21, 1, 0},
      {TailSearchLimit, 0, StatusMalformedBlock},
      {TailSearchLimit + 1, 0, StatusNoSignatureBlock},
  };
  for (const auto& c : cases) {
    Bytes bytes = signedFile.bytes;
    const Bytes filler = SampleContent(c.distance - tailDistance);
    bytes.insert(bytes.end(), filler.begin(), filler.end());
    const ParseOutcome outcome = Parse(bytes);
    EXPECT_EQ(outcome.result, c.result) << c.distance;
    EXPECT_EQ(outcome.status, c.status) << c.distance;
    if (outcome.result == 1) {
      EXPECT_EQ(outcome.tailDistance, c.distance);
    }
  }
}

TEST(ParseSignatureBlock, TakesTheLastOfTwoBlocks) {
  const SignedExecutable inner = Signed(Form::Text);
  const SignedExecutable outer =
      signing::SignExecutable(inner.bytes, DevKey('P'), {Form::Binary, 'P', 0, {}});
  const ParseOutcome outcome = Parse(outer.bytes);
  ASSERT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.info.kind, 'B');
  EXPECT_EQ(outcome.blockDistance, outer.bytes.size() - outer.layout.blockStart);
}

TEST(ParseSignatureBlock, RefusesMissingArguments) {
  SignatureBlockInfo info{};
  uint32_t distance = 0;
  VerifyStatus status = 0;
  EXPECT_EQ(ParseSignatureBlock(&info, kFileNotOpen, 100, 0, &distance, &distance, &status), 0);
  EXPECT_EQ(status, StatusBadArgument);
  status = 0;
  EXPECT_EQ(ParseSignatureBlock(nullptr, 0, 100, 0, &distance, &distance, &status), 0);
  EXPECT_EQ(status, StatusBadArgument);
  // A null status is allowed.
  EXPECT_EQ(ParseSignatureBlock(&info, 0, 100, 0, nullptr, &distance, nullptr), 0);
  SignatureEntry* found = nullptr;
  status = 0;
  SignatureEntry entry{};
  EXPECT_EQ(FindSignatureEntry(&entry, nullptr, &status), 0);
  EXPECT_EQ(status, StatusBadArgument);
  entry.entryType = kSignatureEntryType;
  EXPECT_EQ(FindSignatureEntry(&entry, &found, nullptr), 1);
  EXPECT_EQ(found, &entry);
}

}  // namespace
