// The file through which a fuzz input reaches the verifier's path-based entry points.
#ifndef KT_TESTS_FUZZ_INPUT_FILE_H
#define KT_TESTS_FUZZ_INPUT_FILE_H

#include <cstddef>
#include <cstdint>

// Makes the process's input file hold exactly `size` bytes of `data` and returns its wide
// path. The file is created once per process with mkstemp in $TMPDIR (or /tmp), rewritten
// for every input and removed when the process exits normally.
const wchar_t* WriteFuzzInput(const uint8_t* data, size_t size);

#endif
