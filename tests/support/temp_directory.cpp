// Scratch directories for tests.
#include "tests/support/temp_directory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "tests/support/temp_name.h"

TempDirectory::TempDirectory() {
  std::vector<char> name = TempNameTemplate("kt-");
  if (::mkdtemp(name.data()) == nullptr) {
    throw std::runtime_error(std::string("mkdtemp ") + name.data() + ": " + std::strerror(errno));
  }
  path_ = name.data();
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDirectory::File(const std::string& name) const {
  return path_ + "/" + name;
}
