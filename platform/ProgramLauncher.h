// Starting programs detached through a small launcher process.
//
// Why a separate process: starting a program forks this one, and the forked
// child holds copies of every open file. While a measuring thread keeps a
// file open on a network share whose server no longer answers, the child
// cannot close that file on its way into the new program (the file system
// waits for the server), so the start - and the caller with it - hangs
// until the share answers. The launcher is forked at start-up, before any
// thread or share file exists, so the programs it starts hold none of them.
//
// Where there is no launcher (a system that does not need one, or it could
// not be started or has died), LaunchProgram says so and the caller starts
// the program its own way.
#pragma once

#include <string>
#include <vector>

namespace tw {

struct ProgramStart {
  std::string program;  // a name without '/' is looked up in the PATH of `environment`
  std::vector<std::string> arguments;
  // The first of these folders that can be entered becomes the program's
  // working folder; it does not start when none can.
  std::vector<std::string> folders;
  std::vector<std::string> environment;  // the program's whole environment, "NAME=value"
};

enum class LaunchOutcome {
  Started,      // the program runs
  Failed,       // it could not be started (no such program, no folder)
  NoAnswer,     // it had not started within the bounded wait; it may still start later
  Unavailable,  // no launcher: the caller starts the program its own way
};

// Forks the launcher. Call once, early, from the main thread before any
// other thread or file exists (the launcher also ends when the thread that
// forked it ends). False where there is none afterwards.
bool StartProgramLauncher();

// Ends the launcher and waits (briefly) for it to exit.
void StopProgramLauncher();

// The launcher's process id, or -1 when there is none.
int ProgramLauncherPid();

// Starts a program detached (it outlives this program and is not its child)
// through the launcher. Never waits more than a few seconds.
LaunchOutcome LaunchProgram(const ProgramStart& start);

}  // namespace tw
