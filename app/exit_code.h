// The helper's whole answer to the process that started it.
#ifndef KT_APP_EXIT_CODE_H
#define KT_APP_EXIT_CODE_H

#include <cstdint>

// The values are an external interface: installers and the removal shortcut read them.
enum class ExitCode : int32_t {
  Done = 0,              // the command ran to its end
  BadCommandLine = 1,    // not exactly one argument, or none of the three commands
  RemovalDeclined = 2,   // any answer but Yes to the removal question
  AlreadyRunning = 3,    // the helper's own mutex exists
  ProductInUse = 4,      // the product's mutex exists (remove flow only)
  SignatureInvalid = 5,  // the file to be started failed its check
};

#endif
