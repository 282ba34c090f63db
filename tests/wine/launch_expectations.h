// What a run of /start or /install that opened the loader leaves behind, checked the same way
// by every test that expects it.
#ifndef KT_TESTS_WINE_LAUNCH_EXPECTATIONS_H
#define KT_TESTS_WINE_LAUNCH_EXPECTATIONS_H

#include <string>
#include <vector>

#include "tests/wine/starts_record.h"

// The loader in `folder` was started exactly once, as the program alone (the quoted path,
// nothing after it), with `folder` as its current folder. Adds a failure otherwise.
void ExpectStartedOnceFrom(const std::string& folder, const std::vector<LoaderStart>& starts);

#endif
