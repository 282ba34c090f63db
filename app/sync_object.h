// The synchronisation classes' common bases. The named mutex itself (CKTMutex) is Windows
// code; the flows hold it through CKTSyncObject, which the host tests' fake implements too.
#ifndef KT_APP_SYNC_OBJECT_H
#define KT_APP_SYNC_OBJECT_H

#include <cstdint>

namespace ktcplib {

// Objects that own a system resource are neither copied nor assigned.
class noncopyable {
 protected:
  noncopyable() = default;
  ~noncopyable() = default;

 public:
  noncopyable(const noncopyable&) = delete;
  noncopyable& operator=(const noncopyable&) = delete;
};

// A synchronisation object without data of its own. The destructor releases whatever the
// object holds and never throws.
class CKTSyncObject : private noncopyable {
 public:
  virtual ~CKTSyncObject() = default;
  // True when the wait ends with the object acquired within `timeoutMs` milliseconds.
  virtual bool Lock(uint32_t timeoutMs) = 0;
  // True when the release succeeds.
  virtual bool Unlock() = 0;
};

}  // namespace ktcplib

#endif
