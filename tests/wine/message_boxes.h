// The helper's message boxes on an X display, found by their caption and answered with a key
// as a user would, one box after another.
#ifndef KT_TESTS_WINE_MESSAGE_BOXES_H
#define KT_TESTS_WINE_MESSAGE_BOXES_H

#include <set>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

class MessageBoxes {
 public:
  // The boxes on `display` (":N").
  explicit MessageBoxes(const std::string& display);

  // Waits, while `program` runs, for a box with the helper's caption that has not been
  // answered yet and presses `key` in it: "Return" for the default button (Yes, or OK), "n"
  // for No. Throws std::runtime_error when the program ends first or no box appears within
  // the time a program may take.
  void Answer(const std::string& key, ChildProcess& program);

 private:
  // The windows with the helper's caption that are on the screen now.
  std::vector<std::string> Shown() const;
  void Xdotool(const std::vector<std::string>& args) const;

  std::string display_;
  std::set<std::string> answered_;
};

#endif
