// Child processes for the test helpers: posix_spawn with standard output and standard error
// on pipes of their own, read together through poll() so that a child filling one pipe while
// we wait on the other cannot stall both.
#include "tests/support/run_program.h"

#include <fcntl.h>
#include <poll.h>
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
  UniqueFd() = default;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Close(); }

  int get() const { return fd_; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  void Close() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

 private:
  int fd_ = -1;
};

// Both ends close on exec, so a child keeps only the end that its file actions move onto
// stdout or stderr (dup2 clears the flag on the copy).
struct Pipe {
  UniqueFd read;
  UniqueFd write;
};

void OpenPipe(Pipe* pipe) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  pipe->read.Reset(ends[0]);
  pipe->write.Reset(ends[1]);
}

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

// Reads both pipes to their end, each into its own text.
void ReadBoth(const Pipe& out, const Pipe& err, ProgramResult* result) {
  pollfd fds[2] = {{out.read.get(), POLLIN, 0}, {err.read.get(), POLLIN, 0}};
  std::string* texts[2] = {&result->out, &result->err};
  char chunk[4096];
  // poll() skips an entry whose descriptor is negative: that is how a finished stream drops out.
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
    }
    for (size_t i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
      if (got > 0) {
        texts[i]->append(chunk, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        fds[i].fd = -1;
      }
    }
  }
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) {
    throw std::runtime_error("RunProgram: no program named");
  }
  Pipe out;
  Pipe err;
  OpenPipe(&out);
  OpenPipe(&err);

  SpawnActions actions;
  posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(actions.get(), err.write.get(), STDERR_FILENO);

  // posix_spawnp takes char* const[], though it writes nothing through them.
  std::vector<char*> words(argv.size() + 1, nullptr);
  std::transform(argv.begin(), argv.end(), words.begin(),
                 [](const std::string& word) { return const_cast<char*>(word.c_str()); });

  pid_t child = 0;
  const int spawned = posix_spawnp(&child, words[0], actions.get(), nullptr, words.data(), environ);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + Describe(argv) + ": " + std::strerror(spawned));
  }
  // Our copies of the write ends must go, or the reads never see the end of the output.
  out.write.Close();
  err.write.Close();

  ProgramResult result{0, {}, {}};
  ReadBoth(out, err, &result);

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
                             "\nstdout:\n" + result.out + "\nstderr:\n" + result.err);
  }
}
