// Child processes for the test helpers: posix_spawn with both output streams on one pipe.
#include "tests/support/run_program.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

// One end of a pipe, closed when the owner goes.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Close(); }

  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

 private:
  int fd_;
};

// Owns posix_spawn_file_actions_t for one spawn.
class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }

  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
};

std::string Describe(const std::vector<std::string>& argv) {
  std::string text;
  for (const std::string& word : argv) {
    text += text.empty() ? "" : " ";
    text += word;
  }
  return text;
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) {
    throw std::runtime_error("RunProgram: no program named");
  }
  int ends[2];
  if (::pipe(ends) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);

  SpawnActions actions;
  posix_spawn_file_actions_addclose(actions.get(), readEnd.get());
  posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDERR_FILENO);
  posix_spawn_file_actions_addclose(actions.get(), writeEnd.get());

  // posix_spawnp takes char* const[], though it writes nothing through them.
  std::vector<char*> words(argv.size() + 1, nullptr);
  std::transform(argv.begin(), argv.end(), words.begin(),
                 [](const std::string& word) { return const_cast<char*>(word.c_str()); });

  pid_t child = 0;
  const int spawned = posix_spawnp(&child, words[0], actions.get(), nullptr, words.data(), environ);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + Describe(argv) + ": " + std::strerror(spawned));
  }
  // Our copy of the write end must go, or the read below never sees the end of the output.
  writeEnd.Close();

  ProgramResult result{0, {}};
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(readEnd.get(), chunk, sizeof chunk);
    if (got > 0) {
      result.output.append(chunk, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }

  int waitStatus = 0;
  while (::waitpid(child, &waitStatus, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("waitpid for " + Describe(argv) + ": " + std::strerror(errno));
    }
  }
  result.exitCode = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
  return result;
}

void RunProgramOrThrow(const std::vector<std::string>& argv) {
  const ProgramResult result = RunProgram(argv);
  if (result.exitCode != 0) {
    throw std::runtime_error(Describe(argv) + " exited with " + std::to_string(result.exitCode) +
                             ":\n" + result.output);
  }
}
