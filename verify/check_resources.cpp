// Releasing everything one check holds, slot by slot; each slot is emptied as it goes.
#include "verify/check_resources.h"

#include "crypto/memory.h"

void ReleaseCheckResources(CheckResources* resources) {
  FileClose(resources->file);
  resources->file = kFileNotOpen;
  ReleaseExcludedRanges(&resources->ranges);
  ReleaseSignatureBlock(resources->block);
  resources->block = nullptr;
  ReleaseTextBlockCharacters(resources->textBlock);
  resources->textBlock = nullptr;
  for (void*& buffer : resources->buffers) {
    MemoryRelease(buffer);
    buffer = nullptr;
  }
  ReleaseByteBufferHolders(resources->holders);
  resources->holders = nullptr;
}

ByteBufferHolder* AddByteBufferHolder(CheckResources* resources, uint32_t length) {
  auto* holder = static_cast<ByteBufferHolder*>(MemoryAllocate(sizeof(ByteBufferHolder)));
  if (holder == nullptr) {
    return nullptr;
  }
  holder->next = resources->holders;
  resources->holders = holder;
  holder->buffer = static_cast<uint8_t*>(MemoryAllocate(length));
  if (holder->buffer == nullptr) {
    return nullptr;
  }
  holder->length = length;
  return holder;
}
