// Windows creates a process without copying this one, so a share that no
// longer answers cannot hold up a start: programs are started directly.
#include "platform/ProgramLauncher.h"

namespace tw {

bool StartProgramLauncher() {
  return false;
}

void StopProgramLauncher() {}

int ProgramLauncherPid() {
  return -1;
}

LaunchOutcome LaunchProgram(const ProgramStart&) {
  return LaunchOutcome::Unavailable;
}

}  // namespace tw
