// Opening the RSA signature a block entry points to and taking the signed message from it.
#include <cstring>

#include "crypto/common.h"
#include "crypto/memory.h"
#include "crypto/rsa.h"
#include "verify/check_resources.h"
#include "verify/embedded_signature.h"
#include "verify/file_access.h"
#include "verify/hex.h"

namespace {

// Reads the signature at the current position into `signature` (256 bytes): the bytes
// themselves in a binary block, 512 hexadecimal digits in a text block.
int ReadSignatureBytes(CheckResources* resources, int file, char kind, uint8_t* signature,
                       VerifyStatus* status) {
  if (kind == 'B') {
    return FileRead(file, signature, kRsaOctets) == kRsaOctets
               ? 1
               : ReportStatus(status, StatusReadError);
  }
  if (kind != 'T') {
    return ReportStatus(status, StatusMalformedBlock);
  }
  ByteBufferHolder* text = AddByteBufferHolder(resources, kRsaHexLength);
  if (text == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  if (FileRead(file, text->buffer, kRsaHexLength) != kRsaHexLength) {
    return ReportStatus(status, StatusReadError);
  }
  HexDecode(signature, reinterpret_cast<const char*>(text->buffer), kRsaHexLength);
  return 1;
}

// Field by field from the decoded message into the record.
void CopySignedMessage(SignedDigests* expected, const uint8_t* message) {
  std::memcpy(expected->marker, message, kMarkerLength);
  expected->signedLengthLow = LoadLe32(message + 6);
  expected->signedLengthHigh = LoadLe32(message + 10);
  std::memcpy(expected->headMd5, message + 14, sizeof expected->headMd5);
  std::memcpy(expected->md5, message + 30, sizeof expected->md5);
  std::memcpy(expected->sha256, message + 46, sizeof expected->sha256);
  std::memcpy(expected->carried32, message + 78, sizeof expected->carried32);
  std::memcpy(expected->carried64, message + 110, sizeof expected->carried64);
}

}  // namespace

int ReadBlockSignature(SignedDigests* expected, int file, uint32_t blockDistance, char kind,
                       const SignatureEntry* entry, const uint8_t* key, uint32_t keyLength,
                       VerifyStatus* status) {
  // The signature is always 256 bytes, so only a key of that size can open it.
  if (expected == nullptr || entry == nullptr || key == nullptr || file < 0 ||
      keyLength != kRsaOctets) {
    return ReportStatus(status, StatusBadArgument);
  }
  if (entry->dataLength != kRsaOctets) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  const int64_t fromEnd = static_cast<int64_t>(entry->dataOffset) - blockDistance;
  if (FileSeek(file, fromEnd, FileOrigin::End) < 0) {
    return ReportStatus(status, StatusNoMemory);
  }
  ScopedCheckResources resources;
  ByteBufferHolder* signature = AddByteBufferHolder(resources.get(), kRsaOctets);
  if (signature == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  if (ReadSignatureBytes(resources.get(), file, kind, signature->buffer, status) == 0) {
    return 0;
  }
  auto* scratch = static_cast<uint8_t*>(MemoryAllocate(8 * static_cast<size_t>(keyLength)));
  resources->buffers[0] = scratch;
  auto* decoded = static_cast<uint8_t*>(MemoryAllocate(keyLength));
  resources->buffers[1] = decoded;
  if (scratch == nullptr || decoded == nullptr) {
    return ReportStatus(status, StatusNoMemory);
  }
  // Its own digest check is not what accepts the file: the marker and the digests are.
  VerifySignedDigest(signature->buffer, decoded, key, 8 * keyLength, scratch);
  if (std::memcmp(decoded, kSignedMessageMarker, kMarkerLength) != 0) {
    return ReportStatus(status, StatusMalformedBlock);
  }
  CopySignedMessage(expected, decoded);
  return 1;
}
