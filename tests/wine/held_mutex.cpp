// The holder signals through files: READY once it owns the mutex, and it ends when STOP
// appears, so neither side guesses how long the other takes.
#include "tests/wine/held_mutex.h"

#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/wine/wine_session.h"
#include "tests/wine/wine_test.h"

namespace {

constexpr std::chrono::milliseconds kPollInterval(10);

bool Exists(const std::string& path) {
  return std::ifstream(path).good();
}

std::string SignalFile(const std::string& folder, const std::string& label, const char* signal) {
  return folder + "\\" + label + "." + signal;
}

std::vector<std::string> HolderCommand(const std::string& name, const std::string& folder,
                                       const std::string& label, HeldKind kind) {
  std::vector<std::string> argv{std::string(kToolsFolder) + "\\kt_mutex_holder.exe", name,
                                SignalFile(folder, label, "ready"),
                                SignalFile(folder, label, "stop")};
  if (kind == HeldKind::Event) {
    argv.emplace_back("event");
  }
  return argv;
}

}  // namespace

HeldMutex::HeldMutex(const WinePrefix& prefix, const std::string& name, const std::string& folder,
                     const std::string& label, HeldKind kind)
    : stopFile_(prefix.UnixPath(SignalFile(folder, label, "stop"))),
      holder_(prefix.Start(HolderCommand(name, folder, label, kind))) {
  const std::string readyFile = prefix.UnixPath(SignalFile(folder, label, "ready"));
  const auto deadline = std::chrono::steady_clock::now() + kProgramLimit;
  while (!Exists(readyFile)) {
    const std::optional<ProgramResult> ended = holder_->WaitForEnd(kPollInterval);
    if (ended) {
      throw std::runtime_error("the holder of " + name + " ended with " +
                               std::to_string(ended->exitCode) +
                               " before it held the mutex: " + ended->out + ended->err);
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("the holder of " + name + " did not hold it within " +
                               std::to_string(kProgramLimit.count()) + " ms");
    }
  }
}

HeldMutex::~HeldMutex() {
  if (!released_) {
    Release();
  }
}

int HeldMutex::Release() {
  released_ = true;
  std::ofstream(stopFile_).put('\n');
  const std::optional<ProgramResult> ended = holder_->WaitForEnd(kProgramLimit);
  return ended ? ended->exitCode : -1;
}
