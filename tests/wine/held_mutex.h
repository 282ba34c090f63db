// A named mutex held by another process in the prefix (programs/mutex_holder.cpp), as a
// running helper or the running product holds it, for as long as the object lives; or an
// event under that name, which keeps every mutex from taking it.
#ifndef KT_TESTS_WINE_HELD_MUTEX_H
#define KT_TESTS_WINE_HELD_MUTEX_H

#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/wine/wine_prefix.h"

enum class HeldKind { Mutex, Event };

class HeldMutex {
 public:
  // Starts the holder of `name`, its signal files named after `label` in `folder` (a Windows
  // path), and returns once it holds the object. Throws std::runtime_error when it does not
  // within the time a program may take.
  HeldMutex(const WinePrefix& prefix, const std::string& name, const std::string& folder,
            const std::string& label, HeldKind kind = HeldKind::Mutex);
  HeldMutex(const HeldMutex&) = delete;
  HeldMutex& operator=(const HeldMutex&) = delete;
  // Releases the mutex if Release() has not.
  ~HeldMutex();

  // Tells the holder to release the mutex and end; its exit code, 0 when it held the mutex
  // until now, or -1 when it did not end in time.
  int Release();

 private:
  std::string stopFile_;  // Unix path
  std::unique_ptr<ChildProcess> holder_;
  bool released_ = false;
};

#endif
