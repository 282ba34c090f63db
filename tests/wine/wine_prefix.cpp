// The prefix's programs run through env(1), so the test process's own environment stays as it
// is and each command line shows exactly what Wine was given.
#include "tests/wine/wine_prefix.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace {

// A fresh prefix boots in about 15 s on a quiet machine.
constexpr std::chrono::milliseconds kBootLimit(180000);
constexpr std::chrono::milliseconds kServerLimit(60000);

// No display unless a test gives one: a message box returns at once instead of waiting for an
// answer. The XDG variables could point Wine's shell folders at the user's own; WINELOADER,
// WINESERVER and WINEARCH would choose other binaries or another layout than the tests ask for.
const char* const kUnset[] = {"DISPLAY",       "WAYLAND_DISPLAY", "XDG_CONFIG_HOME",
                              "XDG_DATA_HOME", "XDG_DESKTOP_DIR", "WINELOADER",
                              "WINESERVER",    "WINEARCH"};

// No menu entries or .desktop files in any home folder, no offer to install Mono or Gecko,
// and no diagnostics mixed into the programs' output. A wscript.exe in the system folder runs
// as the file it is (a test's stand-in) instead of Wine's built-in script host.
constexpr const char* kDllOverrides =
    "WINEDLLOVERRIDES=winemenubuilder.exe=d;mscoree=d;mshtml=d;wscript.exe=n";
constexpr const char* kDebug = "WINEDEBUG=-all";

void RunOrThrow(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  const std::optional<ProgramResult> run = RunWithin(argv, limit);
  std::string command;
  for (const std::string& word : argv) {
    command += (command.empty() ? "" : " ") + word;
  }
  if (!run) {
    throw std::runtime_error(command + " did not end within " + std::to_string(limit.count()) +
                             " ms");
  }
  if (run->exitCode != 0) {
    throw std::runtime_error(command + " exited with " + std::to_string(run->exitCode) + ":\n" +
                             run->out + run->err);
  }
}

}  // namespace

WinePrefix::WinePrefix(const std::string& root, const std::string& loader)
    : prefix_(root + "/prefix"),
      home_(root + "/home"),
      desktop_(home_ + "/Desktop"),
      loader_(loader) {
  // A server left by an interrupted run would keep serving the removed prefix's state.
  if (std::filesystem::exists(prefix_)) {
    KillAll();
  }
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(prefix_);
  std::filesystem::create_directories(desktop_);
  RunOrThrow(InPrefix({loader_, "wineboot", "-i"}), kBootLimit);
  if (!WaitUntilIdle(kServerLimit)) {
    throw std::runtime_error("the new Wine prefix " + prefix_ + " did not come to rest");
  }
}

WinePrefix::~WinePrefix() {
  KillAll();
}

std::vector<std::string> WinePrefix::InPrefix(const std::vector<std::string>& argv,
                                              const std::string& display) const {
  std::vector<std::string> command{"env"};
  for (const char* name : kUnset) {
    command.insert(command.end(), {"-u", name});
  }
  command.insert(command.end(), {"WINEPREFIX=" + prefix_, "HOME=" + home_, kDllOverrides, kDebug});
  if (!display.empty()) {
    command.push_back("DISPLAY=" + display);
  }
  command.insert(command.end(), argv.begin(), argv.end());
  return command;
}

std::string WinePrefix::UnixPath(const std::string& windowsPath) const {
  if (windowsPath.size() < 3 || windowsPath.compare(0, 3, "C:\\") != 0) {
    throw std::invalid_argument("not a path on drive C: " + windowsPath);
  }
  std::string path = prefix_ + "/drive_c/" + windowsPath.substr(3);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::optional<ProgramResult> WinePrefix::Run(const std::vector<std::string>& argv,
                                             std::chrono::milliseconds limit) const {
  std::vector<std::string> command{loader_};
  command.insert(command.end(), argv.begin(), argv.end());
  return RunWithin(InPrefix(command), limit);
}

std::unique_ptr<ChildProcess> WinePrefix::Start(const std::vector<std::string>& argv) const {
  std::vector<std::string> command{loader_};
  command.insert(command.end(), argv.begin(), argv.end());
  return std::make_unique<ChildProcess>(InPrefix(command));
}

std::unique_ptr<ChildProcess> WinePrefix::StartOnDisplay(const std::vector<std::string>& argv,
                                                         const std::string& display) const {
  std::vector<std::string> command{loader_};
  command.insert(command.end(), argv.begin(), argv.end());
  return std::make_unique<ChildProcess>(InPrefix(command, display));
}

// The wineserver lives as long as a program of the prefix runs (the system's own processes
// end with the last one); `wineserver -w` returns when it has gone.
bool WinePrefix::WaitUntilIdle(std::chrono::milliseconds limit) const {
  const std::optional<ProgramResult> wait = RunWithin(InPrefix({"wineserver", "-w"}), limit);
  return wait.has_value() && wait->exitCode == 0;
}

void WinePrefix::KillAll() const {
  RunWithin(InPrefix({"wineserver", "-k"}), kServerLimit);
}
