// The calling thread's COM apartment for one operation: CoInitialize when made, CoUninitialize
// when it goes, on every path. The helper's one thread never enters another apartment model,
// so CoInitialize always succeeds (S_OK or S_FALSE), and each success wants its
// uninitialisation.
#ifndef KT_APP_WIN32_COM_APARTMENT_H
#define KT_APP_WIN32_COM_APARTMENT_H

#include <objbase.h>

class ComApartment {
 public:
  ComApartment() noexcept { CoInitialize(nullptr); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() { CoUninitialize(); }
};

#endif
