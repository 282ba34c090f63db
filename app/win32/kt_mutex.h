// The helper's named mutex (CKTMutex) and the probe for a mutex of a given name.
#ifndef KT_APP_WIN32_KT_MUTEX_H
#define KT_APP_WIN32_KT_MUTEX_H

#include <windows.h>

#include <cstdint>

#include "app/sync_object.h"

namespace ktcplib {

// Creates, or opens when it exists, the named mutex, without owning it, and holds the handle
// until the object goes. The mutex carries a null access list, so a process with fewer rights
// in the same session can still open it: the probe of every other helper sees it. The
// attributes point at the descriptor inside the object, so the object never moves
// (CKTSyncObject is not copyable).
class CKTMutex : public CKTSyncObject {
 public:
  // Raises SystemError with GetLastError's code when no handle comes back.
  explicit CKTMutex(const wchar_t* name);
  // Releases (which fails harmlessly when the mutex is not owned), then closes.
  ~CKTMutex() override;
  bool Lock(uint32_t timeoutMs) override;
  bool Unlock() override;

 private:
  HANDLE handle_;
  SECURITY_ATTRIBUTES attributes_;
  SECURITY_DESCRIPTOR descriptor_;
};

}  // namespace ktcplib

// Whether a mutex of this name can be opened for waiting. One that exists but refuses that
// right, or a name that belongs to another kind of object, counts as absent. Never creates it.
bool IsMutexPresent(const wchar_t* name);

#endif
