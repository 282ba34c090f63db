// Writes a well-formed, unsigned Windows executable of SIZE bytes, for ktsign to sign:
//   kt_sample_exe SIZE OUT
// One header page and one section of lower-case filler, laid out as the helper's layout rules
// want it (scripts/bench.sh signs it and times the check). Exit codes: 0 written, 2 usage or
// a size out of range, 1 the file could not be written.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tests/support/file_bytes.h"
#include "tests/support/signed_files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kt_sample_exe SIZE OUT\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long long size = std::strtoull(argv[1], &end, 10);
  // Room below 4 GiB for the signature block that ktsign appends.
  if (*argv[1] == '\0' || *end != '\0' || size < 1024 || size > (3ull << 30)) {
    std::fprintf(stderr, "kt_sample_exe: SIZE must be a byte count from 1024 to 3 GiB\n");
    return 2;
  }
  try {
    WriteFileBytes(argv[2], SampleExecutable(static_cast<size_t>(size)));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kt_sample_exe: %s\n", error.what());
    return 1;
  }
  return 0;
}
