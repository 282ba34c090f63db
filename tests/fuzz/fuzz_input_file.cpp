// One temporary file per fuzzing process, rewritten in place for every input: creating a file
// per input would cost more than most of the checks it feeds.
#include "tests/fuzz/fuzz_input_file.h"

#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/support/temp_name.h"

namespace {

class FuzzInputFile {
 public:
  FuzzInputFile() {
    std::vector<char> name = TempNameTemplate("kt-fuzz-");
    fd_ = ::mkstemp(name.data());
    FuzzCheck(fd_ >= 0, "mkstemp for the fuzz input file");
    path_ = name.data();
    // The verifier takes wide paths and converts them to UTF-8; widening byte by byte is
    // only that conversion's inverse for ASCII.
    for (const char c : path_) {
      FuzzCheck(static_cast<unsigned char>(c) < 0x80, "an ASCII path for the fuzz input file");
      widePath_.push_back(static_cast<wchar_t>(c));
    }
  }
  FuzzInputFile(const FuzzInputFile&) = delete;
  FuzzInputFile& operator=(const FuzzInputFile&) = delete;
  ~FuzzInputFile() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }

  const wchar_t* Write(const uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
      const ssize_t wrote = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      FuzzCheck(wrote > 0, "writing the fuzz input file");
      done += static_cast<size_t>(wrote);
    }
    FuzzCheck(::ftruncate(fd_, static_cast<off_t>(size)) == 0, "truncating the fuzz input file");
    return widePath_.c_str();
  }

 private:
  int fd_ = -1;
  std::string path_;
  std::wstring widePath_;
};

}  // namespace

const wchar_t* WriteFuzzInput(const uint8_t* data, size_t size) {
  static FuzzInputFile file;
  return file.Write(data, size);
}
