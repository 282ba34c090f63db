// The MD5 of a script's signed content: everything before its trailer, read in one piece.
#include <cstring>

#include "crypto/common.h"
#include "crypto/md5.h"
#include "crypto/memory.h"
#include "verify/check_resources.h"
#include "verify/file_access.h"
#include "verify/script_signature.h"

int32_t HashSignedContent(int file, uint32_t trailerLength, uint8_t* digest,
                          uint32_t digestLength) {
  const int64_t length = FileLength(file);
  if (length <= 0 || length > UINT32_MAX || trailerLength >= length || digest == nullptr ||
      digestLength > kMd5Size) {
    return kHashBadArgument;
  }
  const auto contentLength = static_cast<uint32_t>(length - trailerLength);
  ScopedCheckResources resources;
  auto* content = static_cast<uint8_t*>(MemoryAllocate(contentLength));
  resources->buffers[0] = content;
  if (content == nullptr) {
    return kHashNoMemory;
  }
  if (FileRead(file, content, contentLength) != contentLength) {
    return kHashShortRead;
  }
  uint8_t computed[kMd5Size];
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, content, contentLength);
  Md5Final(computed, &context);
  std::memcpy(digest, computed, digestLength);
  return kHashDone;
}
