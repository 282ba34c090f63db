// The helper's one command, taken from the split command line.
#ifndef KT_APP_DISPATCH_H
#define KT_APP_DISPATCH_H

#include <cstdint>

#include "app/exit_code.h"
#include "app/system_services.h"

// `argv` as the shell's splitter gives it: the program, then the command. Exactly one of
// "/install", "/remove" or "/start", in any ASCII letter case, runs its flow and yields the
// flow's code; anything else yields BadCommandLine and touches nothing. The flows' errors
// pass through.
ExitCode DispatchCommand(int32_t argc, wchar_t** argv, SystemServices& system);

#endif
