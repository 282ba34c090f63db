// Child processes through posix_spawn, waited for by polling waitpid with WNOHANG until a
// deadline. Their output goes to files rather than pipes, so nothing needs reading while the
// child runs or stands stopped.
#include "tests/support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kPollInterval(1);

// Owns the posix_spawn attributes and file actions of one spawn.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_init(&actions_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }

  posix_spawnattr_t* Attributes() { return &attributes_; }
  posix_spawn_file_actions_t* Actions() { return &actions_; }

 private:
  posix_spawnattr_t attributes_{};
  posix_spawn_file_actions_t actions_{};
};

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Polls waitpid with `options` (WNOHANG added) until it reports or `limit` passes.
bool WaitFor(pid_t pid, int options, std::chrono::milliseconds limit, int* waitStatus) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const pid_t got = ::waitpid(pid, waitStatus, options | WNOHANG);
    if (got == pid) {
      return true;
    }
    if (got < 0 && errno != EINTR) {
      throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) {
    throw std::runtime_error("ChildProcess: no program named");
  }
  SpawnSetup setup;
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaddset(&defaults, signal);
  }
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(setup.Attributes(), &defaults);
  posix_spawnattr_setsigmask(setup.Attributes(), &none);
  posix_spawnattr_setflags(setup.Attributes(), POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  const std::string out = streams_.File("out");
  const std::string err = streams_.File("err");
  posix_spawn_file_actions_addopen(setup.Actions(), STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(setup.Actions(), STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);

  // posix_spawnp takes char* const[], though it writes nothing through them.
  std::vector<char*> words(argv.size() + 1, nullptr);
  std::transform(argv.begin(), argv.end(), words.begin(),
                 [](const std::string& word) { return const_cast<char*>(word.c_str()); });
  const int spawned =
      posix_spawnp(&pid_, words[0], setup.Actions(), setup.Attributes(), words.data(), environ);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawned));
  }
}

ChildProcess::~ChildProcess() {
  if (!result_) {
    ::kill(pid_, SIGKILL);
    int ignored = 0;
    while (::waitpid(pid_, &ignored, 0) < 0 && errno == EINTR) {
    }
  }
}

void ChildProcess::Signal(int signal) const {
  if (!result_) {
    ::kill(pid_, signal);
  }
}

void ChildProcess::NoteEnd(int waitStatus) {
  const int exitCode = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
  result_ = ProgramResult{exitCode, ReadText(streams_.File("out")), ReadText(streams_.File("err"))};
}

bool ChildProcess::WaitUntilStopped(std::chrono::milliseconds limit) {
  int waitStatus = 0;
  if (result_ || !WaitFor(pid_, WUNTRACED, limit, &waitStatus)) {
    return false;
  }
  if (WIFSTOPPED(waitStatus)) {
    return true;
  }
  NoteEnd(waitStatus);
  return false;
}

std::optional<ProgramResult> ChildProcess::WaitForEnd(std::chrono::milliseconds limit) {
  int waitStatus = 0;
  if (!result_ && WaitFor(pid_, 0, limit, &waitStatus)) {
    NoteEnd(waitStatus);
  }
  return result_;
}

std::optional<ProgramResult> RunWithin(const std::vector<std::string>& argv,
                                       std::chrono::milliseconds limit) {
  ChildProcess child(argv);
  return child.WaitForEnd(limit);
}
