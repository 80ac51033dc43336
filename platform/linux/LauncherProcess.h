// The launcher process itself: it waits for requests on its socket and
// starts each program detached, until this program closes the socket or
// ends.
#pragma once

#include <sys/types.h>

#include <chrono>

#include "platform/ProgramLauncher.h"

namespace tw::launcher {

// How long the launcher waits for a started program to reach its exec.
constexpr std::chrono::milliseconds kExecWait{2000};

// The launcher's life in the forked child; `parent` is the forking program.
[[noreturn]] void RunLauncher(int socket, pid_t parent);

}  // namespace tw::launcher
