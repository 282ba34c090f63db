// Xvfb picks the display number itself (-displayfd) and writes it once it accepts clients, so
// two runs on one machine never race for a number and nothing guesses when it is ready.
#include "tests/wine/xvfb_display.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr std::chrono::milliseconds kReadyLimit(20000);
constexpr std::chrono::milliseconds kEndLimit(10000);
constexpr std::chrono::milliseconds kPollInterval(10);

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace

XvfbDisplay::XvfbDisplay() {
  const std::string numberFile = scratch_.File("display");
  // The shell only opens descriptor 3 on the file and is then replaced by Xvfb itself, so the
  // child's signals reach the server.
  server_ = std::make_unique<ChildProcess>(std::vector<std::string>{
      "sh", "-c", "exec Xvfb -displayfd 3 -nolisten tcp 3>\"$0\"", numberFile});
  const auto deadline = std::chrono::steady_clock::now() + kReadyLimit;
  for (;;) {
    const std::string text = ReadText(numberFile);
    if (text.find('\n') != std::string::npos) {
      name_ = ":" + text.substr(0, text.find('\n'));
      return;
    }
    const std::optional<ProgramResult> ended = server_->WaitForEnd(kPollInterval);
    if (ended) {
      throw std::runtime_error(
          "Xvfb ended with " + std::to_string(ended->exitCode) +
          " before it accepted clients (install-deps installs it): " + ended->out + ended->err);
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("Xvfb did not accept clients within " +
                               std::to_string(kReadyLimit.count()) + " ms");
    }
  }
}

XvfbDisplay::~XvfbDisplay() {
  server_->Signal(SIGTERM);
  server_->WaitForEnd(kEndLimit);
}
