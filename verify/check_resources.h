// Internal to verify/: the owning slots of one verification routine, released together on
// every exit path.
#ifndef KT_VERIFY_CHECK_RESOURCES_H
#define KT_VERIFY_CHECK_RESOURCES_H

#include <cstdint>

#include "verify/check_records.h"
#include "verify/file_access.h"

constexpr uint32_t kCheckBufferSlots = 4;

// A slot is empty (kFileNotOpen, null) or owns one thing.
struct CheckResources {
  int file = kFileNotOpen;
  ExcludedRange* ranges = nullptr;
  SignatureBlockInfo* block = nullptr;
  TextBlockCharacters* textBlock = nullptr;
  void* buffers[kCheckBufferSlots] = {};
  ByteBufferHolder* holders = nullptr;
};

// Closes the file, frees every list, record, buffer and holder, and empties each slot, so
// releasing twice is harmless.
void ReleaseCheckResources(CheckResources* resources);

// A holder of `length` zeroed bytes pushed on the front of the resources' chain; null when
// memory runs out.
ByteBufferHolder* AddByteBufferHolder(CheckResources* resources, uint32_t length);

// Owns a CheckResources for one scope: every way out of the scope releases it.
class ScopedCheckResources {
 public:
  ScopedCheckResources() = default;
  ScopedCheckResources(const ScopedCheckResources&) = delete;
  ScopedCheckResources& operator=(const ScopedCheckResources&) = delete;
  ~ScopedCheckResources() { ReleaseCheckResources(&resources_); }

  CheckResources* operator->() { return &resources_; }
  CheckResources* get() { return &resources_; }

 private:
  CheckResources resources_;
};

#endif
