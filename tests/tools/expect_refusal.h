// Checks that a signing step refuses its input with a SigningError whose message names the
// reason.
#ifndef KT_TESTS_TOOLS_EXPECT_REFUSAL_H
#define KT_TESTS_TOOLS_EXPECT_REFUSAL_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tools/signing/signing_error.h"

// Every one of `parts` must occur in the message.
template <typename Action>
void ExpectRefusal(Action action, std::initializer_list<std::string> parts) {
  try {
    action();
    ADD_FAILURE() << "not refused";
  } catch (const signing::SigningError& error) {
    const std::string message = error.what();
    for (const std::string& part : parts) {
      EXPECT_NE(message.find(part), std::string::npos) << message;
    }
  }
}

#endif
