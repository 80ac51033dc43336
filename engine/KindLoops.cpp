// Inner loops of the three kinds of resource. Until their transfers are
// built, each kind idles and shows "Testing...".
#include "engine/PingThread.h"

namespace tw {

void TPingThread::RunDriveLoop() {
  RunIdleLoop();
}
void TPingThread::RunFileLoop() {
  RunIdleLoop();
}
void TPingThread::RunEchoLoop() {
  RunIdleLoop();
}

}  // namespace tw
