// The excluded ranges: how the list is built and ordered, reading a file without them
// against a plain filter, the digests against the signer's own computation, and lists that
// must not be read at all.
#include "verify/excluded_ranges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/block_patch.h"
#include "tests/support/signed_files.h"
#include "tests/support/test_seed.h"
#include "tools/signing/excluded_ranges.h"
#include "tools/signing/file_digests.h"
#include "verify/file_access.h"
#include "verify/file_digests.h"
#include "verify/verify.h"

namespace {

using Span = std::pair<uint32_t, uint32_t>;  // start, end (inclusive)

// Owns a list built from spans, in the order given.
class RangeList {
 public:
  explicit RangeList(const std::vector<Span>& spans) {
    ExcludedRange** link = &head_;
    for (const auto& [start, end] : spans) {
      *link = CreateExcludedRange(start, end - start + 1);
      link = &(*link)->next;
    }
  }
  RangeList(const RangeList&) = delete;
  RangeList& operator=(const RangeList&) = delete;
  ~RangeList() { ReleaseExcludedRanges(&head_); }

  ExcludedRange** head() { return &head_; }
  std::vector<Span> Spans() const {
    std::vector<Span> spans;
    for (const ExcludedRange* r = head_; r != nullptr; r = r->next) {
      spans.emplace_back(r->start, r->end);
    }
    return spans;
  }

 private:
  ExcludedRange* head_ = nullptr;
};

// An open file holding `bytes`, closed and removed at the end.
class OpenFile {
 public:
  explicit OpenFile(const Bytes& bytes) {
    WriteFileBytes(dir_.File("data"), bytes);
    file_ = FileOpenRead(WidePath(dir_.File("data")).c_str());
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() { FileClose(file_); }
  int get() const { return file_; }

 private:
  TempDirectory dir_;
  int file_ = kFileNotOpen;
};

TEST(InsertExcludedRange, KeepsTheListInOrderAfterItsFirstNode) {
  const struct {
    const char* name;
    std::vector<Span> list;
    Span added;
    std::vector<Span> expected;
  } cases[] = {
      {"IntoAnEmptyList", {}, {5, 9}, {{5, 9}}},
      {"AtTheEnd", {{1, 2}, {10, 11}}, {20, 30}, {{1, 2}, {10, 11}, {20, 30}}},
      {"BetweenTwo", {{1, 2}, {100, 110}}, {20, 30}, {{1, 2}, {20, 30}, {100, 110}}},
      {"AdjacentToItsSuccessor", {{1, 2}, {31, 40}}, {20, 30}, {{1, 2}, {20, 30}, {31, 40}}},
      // Never before the first node, even when it belongs there; reading then refuses it.
      {"BeforeTheFirst", {{50, 60}}, {1, 2}, {{50, 60}, {1, 2}}},
  };
  for (const auto& c : cases) {
    RangeList list(c.list);
    InsertExcludedRange(list.head(),
                        CreateExcludedRange(c.added.first, c.added.second - c.added.first + 1));
    EXPECT_EQ(list.Spans(), c.expected) << c.name;
  }
}

TEST(ExcludedRangesOrdered, AcceptsOnlyAscendingDisjointRanges) {
  const struct {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> startAndSize;
    bool ordered;
  } cases[] = {
      {"Empty", {}, true},
      {"Adjacent", {{0, 4}, {4, 8}, {12, 1}}, true},
      {"EmptyRangeBetween", {{0, 4}, {4, 0}, {4, 2}}, true},
      {"Overlapping", {{0, 5}, {4, 8}}, false},
      {"Descending", {{100, 4}, {10, 4}}, false},
      {"EndWrapsPast4GiB", {{0xFFFFFF00u, 0x200}}, false},
      {"EndsAtTheLastOffset", {{0xFFFFFF00u, 0x100}}, true},
      // Its end wraps to 0xFFFFFFFF: it would stand for all 2^32 offsets, a size no node has.
      {"EmptyAtOffsetZero", {{0, 0}}, false},
      {"EmptyAtOffsetOne", {{1, 0}}, true},
      {"FromOffsetOneToTheLast", {{1, 0xFFFFFFFFu}}, true},
      {"FromOffsetZeroToTheLastButOne", {{0, 0xFFFFFFFFu}}, true},
  };
  for (const auto& c : cases) {
    RangeList list({});
    for (const auto& [start, size] : c.startAndSize) {
      ExcludedRange** link = list.head();
      while (*link != nullptr) {
        link = &(*link)->next;
      }
      *link = CreateExcludedRange(start, size);
    }
    EXPECT_EQ(ExcludedRangesOrdered(*list.head()), c.ordered) << c.name;
  }
}

// The bytes below `limit` that no span covers.
Bytes Filter(const Bytes& file, uint32_t limit, const std::vector<Span>& spans) {
  Bytes kept;
  for (uint32_t i = 0; i < limit; ++i) {
    const bool excluded = std::any_of(spans.begin(), spans.end(),
                                      [i](const Span& s) { return i >= s.first && i <= s.second; });
    if (!excluded) {
      kept.push_back(file[i]);
    }
  }
  return kept;
}

TEST(ReadFileExcluding, MatchesAPlainFilterOnRandomLists) {
  std::mt19937_64 random(TestSeed());
  for (int round = 0; round < 300; ++round) {
    const auto length = static_cast<uint32_t>(random() % 3000);
    const Bytes content = SampleContent(length, static_cast<uint32_t>(round));
    std::vector<Span> spans;
    uint32_t next = static_cast<uint32_t>(random() % 3);  // 0 puts a range at offset 0
    const int count = static_cast<int>(random() % 5);
    for (int k = 0; k < count && next < length + 100; ++k) {
      const auto size = static_cast<uint32_t>(1 + random() % 300);
      spans.emplace_back(next, next + size - 1);
      next += size + static_cast<uint32_t>(random() % 3 == 0 ? 0 : random() % 400);
    }
    const uint32_t limit = random() % 2 == 0 ? length : std::min<uint32_t>(length, 4096 / 4);
    RangeList list(spans);
    const OpenFile file(content);
    Bytes buffer(limit + 1, 0xEE);
    uint32_t count32 = 0;
    VerifyStatus status = 0;
    ASSERT_EQ(ReadFileExcluding(buffer.data(), file.get(), limit, *list.head(), &count32, &status),
              1)
        << "round " << round << " status " << status;
    const Bytes expected = Filter(content, limit, spans);
    ASSERT_EQ(count32, expected.size()) << "round " << round;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin())) << "round " << round;
    EXPECT_EQ(buffer[limit], 0xEE) << "wrote past the limit, round " << round;
  }
}

TEST(ReadFileExcluding, RefusesWhatItCannotRead) {
  const Bytes content = SampleContent(100);
  const OpenFile file(content);
  Bytes buffer(200);
  uint32_t count = 0;
  const struct {
    const char* name;
    std::vector<Span> spans;
    uint32_t limit;
    VerifyStatus status;
  } cases[] = {
      {"OverlappingRanges", {{10, 20}, {15, 30}}, 100, StatusMalformedBlock},
      {"RangeBeforeThePrevious", {{50, 60}, {10, 20}}, 100, StatusMalformedBlock},
      {"LimitBeyondTheFile", {}, 101, StatusReadError},
      {"RestBeyondTheFile", {{10, 20}}, 150, StatusReadError},
  };
  for (const auto& c : cases) {
    RangeList list(c.spans);
    VerifyStatus status = 0;
    EXPECT_EQ(ReadFileExcluding(buffer.data(), file.get(), c.limit, *list.head(), &count, &status),
              0)
        << c.name;
    EXPECT_EQ(status, c.status) << c.name;
  }
  VerifyStatus status = 0;
  EXPECT_EQ(ReadFileExcluding(buffer.data(), kFileNotOpen, 10, nullptr, &count, &status), 0);
  EXPECT_EQ(status, StatusBadArgument);
  status = 0;
  EXPECT_EQ(ReadFileExcluding(nullptr, file.get(), 10, nullptr, &count, &status), 0);
  EXPECT_EQ(status, StatusBadArgument);
}

TEST(CollectPeExclusions, ReadsTheHeaderFields) {
  auto withTable = [](uint16_t magic, uint32_t tableOffset, uint32_t tableSize) {
    Bytes bytes = MinimalExecutable(magic, 0x40, 2048);
    const size_t directory = 0x40 + (magic == 0x10B ? 152 : 168);
    PutU32Le(&bytes, directory, tableOffset);
    PutU32Le(&bytes, directory + 4, tableSize);
    return bytes;
  };
  const struct {
    const char* name;
    Bytes bytes;
    int result;
    std::vector<Span> spans;
  } cases[] = {
      {"NotAnExecutable", SampleContent(500), kNoCertificateTable, {}},
      {"ShorterThan64Bytes", Bytes{'M', 'Z', 0, 0}, kPeLayoutUnreadable, {}},
      {"HeaderBeyondTheFile", MinimalExecutable(0x10B, 0, 64), kPeLayoutUnreadable, {}},
      {"Pe32NoTable",
       MinimalExecutable(0x10B, 0x40, 1024),
       kNoCertificateTable,
       {{0x40 + 88, 0x40 + 91}, {0x40 + 152, 0x40 + 159}}},
      {"Pe32PlusNoTable",
       MinimalExecutable(0x20B, 0x40, 1024),
       kNoCertificateTable,
       {{0x40 + 88, 0x40 + 91}, {0x40 + 168, 0x40 + 175}}},
      {"OtherMagicReadsLikePe32Plus",
       MinimalExecutable(0x107, 0x40, 1024),
       kNoCertificateTable,
       {{0x40 + 88, 0x40 + 91}, {0x40 + 168, 0x40 + 175}}},
      {"Pe32WithTable",
       withTable(0x10B, 1536, 512),
       kCertificateTable,
       {{0x40 + 88, 0x40 + 91}, {0x40 + 152, 0x40 + 159}, {1536, 2047}}},
      {"Pe32PlusWithTable",
       withTable(0x20B, 1024, 1024),
       kCertificateTable,
       {{0x40 + 88, 0x40 + 91}, {0x40 + 168, 0x40 + 175}, {1024, 2047}}},
  };
  for (const auto& c : cases) {
    const OpenFile file(c.bytes);
    RangeList list({});
    EXPECT_EQ(CollectPeExclusions(file.get(), list.head()), c.result) << c.name;
    if (c.result != kPeLayoutUnreadable) {
      EXPECT_EQ(list.Spans(), c.spans) << c.name;
    }
  }
}

TEST(ComputeFileDigests, AgreesWithTheSigner) {
  std::mt19937_64 random(TestSeed());
  for (int round = 0; round < 40; ++round) {
    const auto length = static_cast<uint32_t>(random() % 12000);
    const Bytes content = SampleContent(length, static_cast<uint32_t>(round));
    signing::ExcludedRanges theirs;
    std::vector<Span> ours;
    uint64_t next = random() % 50;
    while (next + 64 < length && theirs.size() < 4) {
      // Empty ranges too, but not at offset 0, where no node can hold one.
      const uint64_t size = next == 0 ? 1 + random() % 63 : random() % 64;
      theirs.push_back({next, size});
      ours.emplace_back(static_cast<uint32_t>(next), static_cast<uint32_t>(next + size - 1));
      next += size + random() % 5000;
    }
    const signing::FileDigests expected = signing::DigestFileExcluding(content, theirs);
    RangeList list({});
    for (const auto& [start, end] : ours) {
      InsertExcludedRange(list.head(), CreateExcludedRange(start, end - start + 1));
    }
    const OpenFile file(content);
    for (const uint32_t selection : {kDigestWholeFile, kDigestHead}) {
      SignedDigests computed{};
      VerifyStatus status = 0;
      ASSERT_EQ(ComputeFileDigests(&computed, file.get(), *list.head(), selection, &status), 1);
      EXPECT_EQ(computed.signedLengthLow, expected.signedLength) << round;
      EXPECT_EQ(computed.signedLengthHigh, 0u);
      if (selection == kDigestWholeFile) {
        EXPECT_TRUE(std::equal(expected.md5.begin(), expected.md5.end(), computed.md5)) << round;
        EXPECT_TRUE(std::equal(expected.sha256.begin(), expected.sha256.end(), computed.sha256));
      } else {
        EXPECT_TRUE(std::equal(expected.headMd5.begin(), expected.headMd5.end(), computed.headMd5))
            << round;
      }
    }
  }
}

// Signed executables whose header fields, changed after signing, put the block's region
// out of order with the header's ranges: the verifier refuses to read such a list.
TEST(ExcludedRanges, ListsOutOfOrderAreMalformed) {
  constexpr uint32_t kHeader = 0x80;  // where SampleExecutable puts it
  constexpr size_t kDirectory = kHeader + 168;
  auto signedExecutable = [] {
    return signing::SignExecutable(SampleExecutable(2048), DevKey('P'),
                                   {signing::Form::Binary, 'P', 0, {}});
  };
  const struct {
    const char* name;
    std::function<void(signing::SignedExecutable*)> change;
  } cases[] = {
      {"TableOverlapsTheBlock",
       [](signing::SignedExecutable* f) {
         PutU32Le(&f->bytes, kDirectory, static_cast<uint32_t>(f->layout.blockStart));
         PutU32Le(&f->bytes, kDirectory + 4, 16);
       }},
      {"TableEndWrapsPast4GiB",
       [](signing::SignedExecutable* f) {
         PutU32Le(&f->bytes, kDirectory, 0xFFFFFF00u);
         PutU32Le(&f->bytes, kDirectory + 4, 0x200);
       }},
      {"TableBeforeTheHeaderFields",
       [](signing::SignedExecutable* f) {
         PutU32Le(&f->bytes, kDirectory, 8);
         PutU32Le(&f->bytes, kDirectory + 4, 8);
       }},
      // The header now lies after the block, so its fields follow the block's region.
      {"BlockBeforeTheChecksumField",
       [](signing::SignedExecutable* f) {
         const auto moved = static_cast<uint32_t>(f->bytes.size());
         f->bytes.resize(f->bytes.size() + 256, 0);
         f->bytes[moved] = 'P';
         f->bytes[moved + 1] = 'E';
         f->bytes[moved + 24] = 0x0B;
         f->bytes[moved + 25] = 0x02;
         PutU32Le(&f->bytes, 60, moved);
       }},
  };
  const TempDirectory dir;
  const std::string path = dir.File("signed.exe");
  for (const auto& c : cases) {
    signing::SignedExecutable file = signedExecutable();
    c.change(&file);
    WriteFileBytes(path, file.bytes);
    VerifyStatus status = 0;
    EXPECT_EQ(VerifyFileSignature(WidePath(path).c_str(), &status, 0), 0) << c.name;
    EXPECT_EQ(status, StatusMalformedBlock) << c.name;
  }
}

}  // namespace
