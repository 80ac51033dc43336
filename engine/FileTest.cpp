// Kind '2': a read-only file (for example on a CD-ROM), read whole from its
// start in every cycle while it is held open and locked.
#include "engine/PingThread.h"
#include "engine/TransferMath.h"
#include "platform/ThreadPriority.h"

namespace tw {

void TPingThread::RunFileLoop() {
  DriveIo& io = services_.driveIo != nullptr ? *services_.driveIo : SystemDriveIo();
  testFile_.reset();
  TestFileName = Settings().address;
  testFile_ = io.OpenReadOnly(TestFileName);
  FileIsOpen = testFile_ != nullptr;
  PriorityClass = 4;
  for (;;) {
    SetCurrentThreadPriorityClass(1);
    const uint64_t startTick = services_.clock.TickMs();
    if (!FileCycle()) {
      SetStatusText("I/O error.");
      FileIsOpen = false;
      CallUpdateDisplay();
      SuspendSelf();
    }
    AddTrendSums(0, Snapshot().readSpeed, 0);
    CycleWait(startTick);
    HoldWhilePaused();
    if (LoopMustEnd()) break;
  }
  testFile_.reset();
  FileIsOpen = false;
}

// Reads the whole file, or up to the block during which Stop or close came;
// false on an I/O failure.
bool TPingThread::FileCycle() {
  if (!FileIsOpen) return false;  // "File not opened."
  Clock& clock = services_.clock;
  uint8_t* buffer = TransferBuffer();
  testFile_->DropCache();
  int64_t total = 0;
  bool failed = false;
  SetCurrentThreadPriorityClass(PriorityClass);
  const int64_t before = clock.CounterUs();
  for (;;) {
    const int32_t read = testFile_->Read(buffer, kTransferBufferSize, total);
    if (read < 0) {
      failed = true;
      break;
    }
    total += read;
    if (read < kTransferBufferSize || Paused || StopRequested) break;
  }
  const int64_t after = clock.CounterUs();
  SetCurrentThreadPriorityClass(1);
  if (failed) return false;
  const int64_t us = after - before;
  const double speed = us <= 0 ? 0 : static_cast<double>(total) * (1.0 / 1024) * 1000000 / us;
  SetReadSpeed(speed);
  UpdateReferenceSpeed(speed);
  CallUpdateDisplay();
  return true;
}

}  // namespace tw
