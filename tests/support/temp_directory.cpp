// Scratch directories for tests.
#include "tests/support/temp_directory.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <stdexcept>

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

std::string TempDirectory::Write(const std::string& name, const Bytes& bytes) const {
  std::string path = File(name);
  WriteFileBytes(path, bytes);
  return path;
}

std::vector<std::string> TempDirectory::Names() const {
  const std::filesystem::directory_iterator entries(path_);
  std::vector<std::string> names;
  std::transform(begin(entries), end(entries), std::back_inserter(names),
                 [](const std::filesystem::directory_entry& entry) {
                   return entry.path().filename().string();
                 });
  std::sort(names.begin(), names.end());
  return names;
}
