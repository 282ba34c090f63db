// Without a window manager the boxes have no title bar, but their X windows still carry the
// caption as their name. A box stays on the screen for a moment after its answer, so the
// windows already answered are left out when the next one is looked for.
#include "tests/wine/message_boxes.h"

#include <chrono>
#include <sstream>
#include <stdexcept>

#include "tests/wine/helper_texts.h"
#include "tests/wine/wine_test.h"

namespace {

constexpr std::chrono::milliseconds kPollInterval(50);
constexpr std::chrono::milliseconds kXdotoolLimit(10000);

}  // namespace

MessageBoxes::MessageBoxes(const std::string& display) : display_(display) {}

std::vector<std::string> MessageBoxes::Shown() const {
  const std::string caption = "^" + Utf8(HelperTexts().at(101)) + "$";
  const std::optional<ProgramResult> search = RunWithin(
      {"env", "DISPLAY=" + display_, "xdotool", "search", "--onlyvisible", "--name", caption},
      kXdotoolLimit);
  if (!search) {
    throw std::runtime_error("xdotool search did not end within " +
                             std::to_string(kXdotoolLimit.count()) + " ms");
  }
  // Exit code 1 with no output means no window matched.
  if (search->exitCode != 0 && !(search->exitCode == 1 && search->out.empty())) {
    throw std::runtime_error("xdotool search failed (install-deps installs it): " + search->out +
                             search->err);
  }
  std::istringstream lines(search->out);
  std::vector<std::string> windows;
  for (std::string window; lines >> window;) {
    windows.push_back(window);
  }
  return windows;
}

void MessageBoxes::Xdotool(const std::vector<std::string>& args) const {
  std::vector<std::string> argv{"env", "DISPLAY=" + display_, "xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::optional<ProgramResult> run = RunWithin(argv, kXdotoolLimit);
  if (!run || run->exitCode != 0) {
    throw std::runtime_error("xdotool " + args.front() + " failed" +
                             (run ? ": " + run->out + run->err : std::string(" to end in time")));
  }
}

void MessageBoxes::Answer(const std::string& key, ChildProcess& program) {
  const auto deadline = std::chrono::steady_clock::now() + kProgramLimit;
  for (;;) {
    for (const std::string& window : Shown()) {
      if (answered_.insert(window).second) {
        Xdotool({"windowfocus", "--sync", window, "key", key});
        return;
      }
    }
    const std::optional<ProgramResult> ended = program.WaitForEnd(kPollInterval);
    if (ended) {
      throw std::runtime_error("the program ended with " + std::to_string(ended->exitCode) +
                               " before a box to answer with " + key + " appeared");
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("no box to answer with " + key + " appeared within " +
                               std::to_string(kProgramLimit.count()) + " ms");
    }
  }
}
