// CKTMutex and IsMutexPresent.
#include "app/win32/kt_mutex.h"

#include "app/raised_error.h"
#include "app/win32/scoped_handle.h"

#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(SECURITY_ATTRIBUTES) == 12, "the x86 record has 12 bytes");
#endif

namespace ktcplib {

CKTMutex::CKTMutex(const wchar_t* name) : handle_(nullptr), attributes_{}, descriptor_{} {
  // A present but null access list grants everyone every right. The set-up calls cannot fail
  // on a descriptor of our own at revision 1.
  InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor_, TRUE, nullptr, FALSE);
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = TRUE;
  handle_ = CreateMutexW(&attributes_, FALSE, name);
  if (handle_ == nullptr) {
    throw SystemError(GetLastError());
  }
}

CKTMutex::~CKTMutex() {
  ReleaseMutex(handle_);
  CloseHandle(handle_);
}

bool CKTMutex::Lock(uint32_t timeoutMs) {
  return WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

bool CKTMutex::Unlock() {
  return ReleaseMutex(handle_) != FALSE;
}

}  // namespace ktcplib

bool IsMutexPresent(const wchar_t* name) {
  const ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, name));
  return mutex.IsValid();
}
