// Whether a file may be started, from signed files to damaged ones: each row gives what
// VerifyFileSignature answers (result and status) and how CheckFileSignature maps it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <string>

#include "tests/support/block_patch.h"
#include "tests/support/signed_files.h"
#include "verify/embedded_signature.h"
#include "verify/keys.h"
#include "verify/script_signature.h"
#include "verify/status.h"
#include "verify/verify.h"

namespace {

using signing::Form;
using signing::SignedExecutable;

SignedExecutable SignedWith(Form form, char signingKey, char entryKind,
                            const Bytes& content = SampleExecutable(3000)) {
  return signing::SignExecutable(content, DevKey(signingKey), {form, entryKind, 0, {}});
}

// A signed file with one change made after signing.
std::function<Bytes()> Changed(Form form,
                               const std::function<void(SignedExecutable*, BlockPatch*)>& change) {
  return [form, change] {
    SignedExecutable file = SignedWith(form, 'P', 'P');
    BlockPatch patch(&file, form);
    change(&file, &patch);
    return file.bytes;
  };
}

// A path where something exists that cannot be opened for reading: a listening socket.
class SocketFile {
 public:
  explicit SocketFile(const std::string& path) : socket_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bound_ = ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  SocketFile(const SocketFile&) = delete;
  SocketFile& operator=(const SocketFile&) = delete;
  ~SocketFile() { ::close(socket_); }
  bool bound() const { return bound_; }

 private:
  int socket_;
  bool bound_ = false;
};

struct FileCase {
  const char* name;
  std::function<Bytes()> make;  // null: no file at all
  int result;
  VerifyStatus status;
  int32_t checkResult;
  int32_t detail;
};

void PrintTo(const FileCase& value, std::ostream* out) {
  *out << value.name;
}

const FileCase kFileCases[] = {
    {"BinaryBlockKeyP", [] { return SignedWith(Form::Binary, 'P', 'P').bytes; }, 1,
     StatusVerifiedWithKeyP, 0, 3},
    {"TextBlockKeyP", [] { return SignedWith(Form::Text, 'P', 'P').bytes; }, 1,
     StatusVerifiedWithKeyP, 0, 3},
    {"BinaryBlockKeyD", [] { return SignedWith(Form::Binary, 'D', 'D').bytes; }, 0,
     StatusVerifiedWithKeyD, 0, 3},
    {"TextBlockKeyD", [] { return SignedWith(Form::Text, 'D', 'D').bytes; }, 0,
     StatusVerifiedWithKeyD, 0, 3},
    {"BinaryScript",
     [] { return signing::SignScript(SampleContent(700), DevKey('D'), Form::Binary); }, 1,
     StatusVerifiedByScript, 0, 2},
    {"TextScript", [] { return signing::SignScript(SampleContent(700), DevKey('D'), Form::Text); },
     1, StatusVerifiedByScript, 0, 2},
    {"PaddedBlock",
     [] {
       return signing::SignExecutable(SampleExecutable(3001), DevKey('P'),
                                      {Form::Binary, 'P', 32, 32})
           .bytes;
     },
     1, StatusVerifiedWithKeyP, 0, 3},
    {"BlockInsideASignedFile",
     [] {
       const SignedExecutable inner = SignedWith(Form::Text, 'D', 'D');
       return SignedWith(Form::Binary, 'P', 'P', inner.bytes).bytes;
     },
     1, StatusVerifiedWithKeyP, 0, 3},
    {"SignedPe32Executable",
     [] { return SignedWith(Form::Text, 'P', 'P', SampleExecutable(3000, 0x10B)).bytes; }, 1,
     StatusVerifiedWithKeyP, 0, 3},
    {"NoSuchFile", nullptr, 0, StatusFileNotFound, 2, 2},
    {"UnsignedFile", [] { return SampleContent(5000); }, 0, StatusNoSignatureBlock, 6, 6},
    // Shorter than the 64-byte header that every file is first read for.
    {"EmptyFile", [] { return Bytes(); }, 0, StatusPeLayoutUnreadable, 10, 10},
    {"ExecutableHeaderUnreadable", [] { return MinimalExecutable(0x10B, 0, 64); }, 0,
     StatusPeLayoutUnreadable, 10, 10},
    {"ContentChanged",
     [] {
       SignedExecutable file = SignedWith(Form::Binary, 'P', 'P');
       file.bytes[100] ^= 1;
       return file.bytes;
     },
     0, StatusDigestMismatch, 5, 5},
    {"ContentExtended",
     [] {
       SignedExecutable file = SignedWith(Form::Text, 'P', 'P');
       file.bytes.insert(file.bytes.begin() + 1000, 'x');
       return file.bytes;
     },
     0, StatusDigestMismatch, 5, 5},
    {"EntryNamesKeyDForKeyP", Changed(Form::Binary, [](auto*, BlockPatch* p) { p->KeyKind('D'); }),
     0, StatusMalformedBlock, 5, 5},
    {"EntryNamesKeyPForKeyD",
     [] {
       SignedExecutable file = SignedWith(Form::Text, 'D', 'D');
       BlockPatch(&file, Form::Text).KeyKind('P');
       return file.bytes;
     },
     0, StatusMalformedBlock, 5, 5},
    {"EntryNamesKeyX", Changed(Form::Text, [](auto*, BlockPatch* p) { p->KeyKind('X'); }), 0,
     StatusMalformedBlock, 5, 5},
    {"DataLength255", Changed(Form::Binary, [](auto*, BlockPatch* p) { p->DataLength(255); }), 0,
     StatusMalformedBlock, 5, 5},
    {"SignatureDamaged",
     Changed(Form::Binary, [](SignedExecutable* f,
                              BlockPatch*) { f->bytes[f->layout.signatureData + 100] ^= 0x40; }),
     0, StatusMalformedBlock, 5, 5},
    {"SignatureBeyondTheFile",
     Changed(Form::Binary,
             [](SignedExecutable* f, BlockPatch* p) {
               p->DataOffset(static_cast<uint32_t>(f->layout.blockLength));
             }),
     0, StatusReadError, 1, 1},
    {"NoSignatureEntry", Changed(Form::Binary, [](auto*, BlockPatch* p) { p->EntryType(4); }), 0,
     StatusNoSignatureEntry, 5, 5},
    {"NoEntries", Changed(Form::Text, [](auto*, BlockPatch* p) { p->EntryCount(0); }), 0,
     StatusBadArgument, 8, 8},
    {"BlockOffsetBeforeTheFile",
     Changed(Form::Binary,
             [](SignedExecutable* f, BlockPatch* p) {
               p->BlockOffset(static_cast<uint32_t>(f->bytes.size()));
             }),
     0, StatusReadError, 1, 1},
    // Changes inside the excluded region: the padding and the region's own length fields.
    {"PaddingAfterTheBlockChanged",
     [] {
       SignedExecutable file =
           signing::SignExecutable(SampleExecutable(3000), DevKey('P'), {Form::Binary, 'P', 4, 8});
       file.bytes.back() = 0x55;
       file.bytes[file.layout.blockStart - 1] = 0x66;
       return file.bytes;
     },
     1, StatusVerifiedWithKeyP, 0, 3},
    // A region that does not reach the end of the file leaves room for bytes after it.
    {"ExcludedRegionTooShort",
     Changed(Form::Binary, [](SignedExecutable* f,
                              BlockPatch* p) { p->ExcludedLength(f->layout.excludedLength - 1); }),
     0, StatusMalformedBlock, 5, 5},
    {"ByteAppended",
     [] {
       SignedExecutable file = SignedWith(Form::Binary, 'P', 'P');
       file.bytes.push_back(0);
       return file.bytes;
     },
     0, StatusMalformedBlock, 5, 5},
    // Regions that cannot be read as ascending, disjoint ranges.
    {"BlockRegionBeforeTheFile",
     Changed(Form::Binary,
             [](SignedExecutable* f, BlockPatch* p) {
               p->PadBefore(static_cast<uint32_t>(f->layout.blockStart) + 1);
             }),
     0, StatusMalformedBlock, 5, 5},
    {"BlockRegionPast4GiB",
     Changed(Form::Text, [](auto*, BlockPatch* p) { p->ExcludedLength(0xFFFFFFFF); }), 0,
     StatusMalformedBlock, 5, 5},
};

class VerifyFileTest : public ::testing::TestWithParam<FileCase> {
 protected:
  TempDirectory dir_;
};

// What the verifier answers for `path`, through both entries, with and without out-arguments.
void ExpectAnswer(const std::string& path, int result, VerifyStatus expectedStatus,
                  int32_t checkResult, int32_t expectedDetail) {
  const std::wstring wide = WidePath(path);
  VerifyStatus status = 0;
  EXPECT_EQ(VerifyFileSignature(wide.c_str(), &status, 2), result);
  EXPECT_EQ(status, expectedStatus);
  int32_t detail = -1;
  EXPECT_EQ(CheckFileSignature(wide.c_str(), &detail), checkResult);
  EXPECT_EQ(detail, expectedDetail);
  // A null status or detail changes nothing but what is written.
  EXPECT_EQ(VerifyFileSignature(wide.c_str(), nullptr, 2), result);
  EXPECT_EQ(CheckFileSignature(wide.c_str(), nullptr), checkResult);
}

TEST_P(VerifyFileTest, AnswersAsTheRowSays) {
  const FileCase& c = GetParam();
  const std::string path = dir_.File("file.bin");
  if (c.make) {
    WriteFileBytes(path, c.make());
  }
  ExpectAnswer(path, c.result, c.status, c.checkResult, c.detail);
}

INSTANTIATE_TEST_SUITE_P(Files, VerifyFileTest, ::testing::ValuesIn(kFileCases),
                         [](const ::testing::TestParamInfo<FileCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(VerifyFile, FileThatCannotBeOpened) {
  const TempDirectory dir;
  const std::string path = dir.File("socket");
  const SocketFile socket(path);
  ASSERT_TRUE(socket.bound());
  ExpectAnswer(path, 0, StatusOpenFailed, 4, 3);
}

TEST(VerifyFile, FilesOf4GiBCannotCarryASignature) {
  const TempDirectory dir;
  const std::string path = dir.File("huge.bin");
  // Sparse: no disk space is used. The lengths of both formats are 32-bit.
  for (const off_t size : {off_t{1} << 32, (off_t{1} << 32) + 1000}) {
    WriteFileBytes(path, SignedWith(Form::Binary, 'P', 'P').bytes);
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
    ExpectAnswer(path, 0, StatusReadError, 1, 1);
    EXPECT_EQ(VerifyScriptSignature(WidePath(path).c_str()), kScriptShortRead);
  }
}

TEST(MapFileSignatureOutcome, EveryRowOfTheMap) {
  const struct {
    int verified;
    VerifyStatus status;
    int32_t result;
    int32_t detail;
  } rows[] = {
      {1, StatusVerifiedWithKeyP, 0, 3},
      {1, StatusVerifiedByScript, 0, 2},
      {0, StatusVerifiedWithKeyD, 0, 3},
      {0, StatusFileNotFound, 2, 2},
      {0, StatusOpenFailed, 4, 3},
      {0, StatusNoMemory, 4, 4},
      {0, StatusBadArgument, 8, 8},
      {0, StatusNoSignatureBlock, 6, 6},
      {0, StatusMalformedBlock, 5, 5},
      {0, StatusDigestMismatch, 5, 5},
      {0, StatusNoSignatureEntry, 5, 5},
      {0, StatusReadError, 1, 1},
      {0, 0, 10, 10},
      {0, StatusPeLayoutUnreadable, 10, 10},
      {0, 6, 10, 10},
      {0, 12, 10, 10},
  };
  for (const auto& row : rows) {
    int32_t detail = -1;
    EXPECT_EQ(MapFileSignatureOutcome(row.verified, row.status, &detail), row.result)
        << row.verified << "/" << row.status;
    EXPECT_EQ(detail, row.detail) << row.verified << "/" << row.status;
    EXPECT_EQ(MapFileSignatureOutcome(row.verified, row.status, nullptr), row.result);
  }
}

TEST(VerifyFile, NullPath) {
  int32_t detail = 0;
  EXPECT_EQ(CheckFileSignature(nullptr, &detail), 8);
  EXPECT_EQ(detail, 8);
  VerifyStatus status = 0;
  EXPECT_EQ(VerifyFileSignature(nullptr, &status, 2), 0);
  EXPECT_EQ(status, StatusBadArgument);
}

TEST(VerifyFile, ModesDecideTheScriptFallback) {
  const TempDirectory dir;
  const std::string script = dir.File("Uninstall.vbs");
  WriteFileBytes(script, signing::SignScript(SampleContent(400), DevKey('D'), Form::Text));
  const std::string exe = dir.File("ktwebloader.exe");
  WriteFileBytes(exe, SignedWith(Form::Binary, 'P', 'P').bytes);
  for (uint32_t mode = 0; mode <= 3; ++mode) {
    SCOPED_TRACE(mode);
    const bool fallback = mode == 1 || mode == 2;
    VerifyStatus status = 0;
    EXPECT_EQ(VerifyFileSignature(WidePath(script).c_str(), &status, mode), fallback ? 1 : 0);
    EXPECT_EQ(status, fallback ? StatusVerifiedByScript : StatusNoSignatureBlock);
    status = 0;
    EXPECT_EQ(VerifyFileSignature(WidePath(exe).c_str(), &status, mode), 1);
    EXPECT_EQ(status, StatusVerifiedWithKeyP);
  }
}

TEST(VerifyFile, KeyPIsTheCallersKey) {
  const TempDirectory dir;
  const std::string path = dir.File("signed.bin");
  WriteFileBytes(path, SignedWith(Form::Binary, 'D', 'P').bytes);
  const std::wstring wide = WidePath(path);
  VerifyStatus status = 0;
  // Signed with the D key but marked 'P': only a caller handing KeyD as the P key accepts it.
  EXPECT_EQ(VerifyFileSignature(wide.c_str(), &status, 0), 0);
  EXPECT_EQ(status, StatusMalformedBlock);
  status = 0;
  EXPECT_EQ(VerifyFileSignatureWithKey(wide.c_str(), &status, 0, KeyD, 256), 1);
  EXPECT_EQ(status, StatusVerifiedWithKeyP);
  for (const uint32_t length : {0u, 255u, 257u}) {
    status = 0;
    EXPECT_EQ(VerifyFileSignatureWithKey(wide.c_str(), &status, 0, KeyD, length), 0);
    EXPECT_EQ(status, StatusBadArgument) << length;
  }
  status = 0;
  EXPECT_EQ(VerifyFileSignatureWithKey(wide.c_str(), &status, 0, nullptr, 256), 0);
  EXPECT_EQ(status, StatusBadArgument);
}

TEST(VerifyFile, HeadOnlyComparesTheFirst4096Bytes) {
  const TempDirectory dir;
  const std::string path = dir.File("signed.bin");
  SignedExecutable file = SignedWith(Form::Binary, 'P', 'P', SampleExecutable(10000));
  const std::wstring wide = WidePath(path);
  const struct {
    size_t changedOffset;
    int headOnly;
    int whole;
  } cases[] = {{5000, 1, 0}, {4095, 0, 0}, {10, 0, 0}};
  for (const auto& c : cases) {
    Bytes bytes = file.bytes;
    bytes[c.changedOffset] ^= 0x01;
    WriteFileBytes(path, bytes);
    VerifyStatus status = 0;
    EXPECT_EQ(VerifyEmbeddedSignature(wide.c_str(), &status, KeyP, 256, true), c.headOnly)
        << c.changedOffset;
    EXPECT_EQ(status, c.headOnly == 1 ? StatusVerifiedWithKeyP : StatusDigestMismatch);
    status = 0;
    EXPECT_EQ(VerifyEmbeddedSignature(wide.c_str(), &status, KeyP, 256, false), c.whole);
    EXPECT_EQ(status, StatusDigestMismatch);
  }
}

}  // namespace
