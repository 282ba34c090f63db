// Freeing the records of a check, each kind by its own routine.
#include "verify/check_records.h"

#include "crypto/memory.h"
#include "verify/node_list.h"

void ReleaseExcludedRanges(ExcludedRange** list) {
  ReleaseNodes(*list);
  *list = nullptr;
}

void ReleaseSignatureBlock(SignatureBlockInfo* info) {
  if (info == nullptr) {
    return;
  }
  ReleaseNodes(info->entries);
  MemoryRelease(info);
}

void ReleaseTextBlockCharacters(TextBlockCharacters* text) {
  if (text == nullptr) {
    return;
  }
  ReleaseNodes(text->entries);
  MemoryRelease(text);
}

void ReleaseByteBufferHolders(ByteBufferHolder* holders) {
  while (holders != nullptr) {
    ByteBufferHolder* next = holders->next;
    MemoryRelease(holders->buffer);
    MemoryRelease(holders);
    holders = next;
  }
}
