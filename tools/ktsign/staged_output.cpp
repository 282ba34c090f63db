// The signal handler may only use async-signal-safe calls, so the pending path waits for it
// in a fixed buffer, written while the signals are held back.
#include "tools/ktsign/staged_output.h"

#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstring>

#include "tools/signing/signing_error.h"

namespace ktsign {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

char gPendingPath[PATH_MAX];
volatile sig_atomic_t gPathPending = 0;

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kEndingSignals) {
    sigaddset(&set, signal);
  }
  return set;
}

// The disposition is back at its default when this runs (SA_RESETHAND), and the signal is
// held until it returns; then it ends the process as if there had been no handler.
extern "C" void RemovePendingAndEnd(int signal) {
  if (gPathPending != 0) {
    unlink(gPendingPath);
  }
  raise(signal);
}

// Once per process; a signal that was ignored when ktsign started stays ignored.
void InstallHandlers() {
  static bool installed = false;
  if (installed) {
    return;
  }
  installed = true;
  struct sigaction action {};
  action.sa_handler = RemovePendingAndEnd;
  action.sa_mask = EndingSignals();
  action.sa_flags = SA_RESETHAND;
  for (const int signal : kEndingSignals) {
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
      sigaction(signal, &action, nullptr);
    }
  }
}

// Holds the ending signals back for its lifetime.
class HeldSignals {
 public:
  HeldSignals() {
    const sigset_t set = EndingSignals();
    sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
  ~HeldSignals() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }

 private:
  sigset_t saved_{};
};

}  // namespace

StagedOutput::StagedOutput(const std::string& target) {
  InstallHandlers();
  // The file never exists unknown to the handler.
  const HeldSignals held;
  file_.emplace(target);
  if (Path().size() >= sizeof gPendingPath) {
    file_.reset();
    throw signing::SigningError("the path " + target + " is too long");
  }
  std::memcpy(gPendingPath, Path().c_str(), Path().size() + 1);
  gPathPending = 1;
}

StagedOutput::~StagedOutput() {
  // Removed (or renamed over the target) first, forgotten after: a signal in between only
  // unlinks a name that is gone.
  file_.reset();
  gPathPending = 0;
}

}  // namespace ktsign
