// A read-only file (for example on a CD-ROM), read whole from its start in
// every cycle while it is held open and locked.
#include <memory>
#include <string>

#include "engine/Measurement.h"
#include "engine/PingThread.h"
#include "engine/TransferMath.h"
#include "platform/ThreadPriority.h"

namespace tw {

namespace {

class FileMeasurement final : public Measurement {
 public:
  void Run(TPingThread& thread) override;

 private:
  bool Cycle(TPingThread& thread);
  void CloseFile(TPingThread& thread);

  std::unique_ptr<DriveFile> file_;
  bool fileIsOpen_ = false;
};

void FileMeasurement::Run(TPingThread& thread) {
  const EngineServices& services = thread.Services();
  DriveIo& io = services.DriveFacility();
  CloseFile(thread);
  {
    BlockingCall call(thread);
    file_ = io.OpenReadOnly(thread.Settings().address);
  }
  fileIsOpen_ = file_ != nullptr;
  transfer_.priorityClass = 4;
  for (;;) {
    SetCurrentThreadPriorityClass(1);
    const uint64_t startTick = services.clock.TickMs();
    if (!Cycle(thread)) {
      thread.SetStatusText("I/O error.");
      fileIsOpen_ = false;
      thread.CallUpdateDisplay();
      thread.SuspendSelf();
    }
    thread.AddTrendSums(0, thread.Snapshot().readSpeed, 0);
    thread.CycleWait(startTick);
    thread.HoldWhilePaused();
    if (thread.LoopMustEnd()) break;
  }
  CloseFile(thread);
}

// Closing a file on a share asks its server too.
void FileMeasurement::CloseFile(TPingThread& thread) {
  BlockingCall call(thread);
  file_.reset();
  fileIsOpen_ = false;
}

// Reads the whole file, or up to the block during which Stop or close came;
// false on an I/O failure.
bool FileMeasurement::Cycle(TPingThread& thread) {
  if (!fileIsOpen_) return false;  // "File not opened."
  Clock& clock = thread.Services().clock;
  uint8_t* buffer = thread.TransferBuffer();
  thread.BeginBlockingCall();
  file_->DropCache();
  thread.EndBlockingCall();
  int64_t total = 0;
  bool failed = false;
  SetCurrentThreadPriorityClass(transfer_.priorityClass);
  const int64_t before = clock.CounterUs();
  for (;;) {
    // Each block is a call of its own: a large file on a slow share makes
    // progress, only a call that does not return means no answer.
    thread.BeginBlockingCall();
    const int32_t read = file_->Read(buffer, kTransferBufferSize, total);
    thread.EndBlockingCall();
    if (read < 0) {
      failed = true;
      break;
    }
    total += read;
    if (read < kTransferBufferSize || thread.Paused || thread.StopRequested) break;
  }
  const int64_t after = clock.CounterUs();
  SetCurrentThreadPriorityClass(1);
  if (failed) return false;
  const int64_t us = after - before;
  const double speed = us <= 0 ? 0 : static_cast<double>(total) * (1.0 / 1024) * 1000000 / us;
  thread.SetReadSpeed(speed);
  thread.UpdateReferenceSpeed(speed);
  thread.CallUpdateDisplay();
  return true;
}

}  // namespace

std::unique_ptr<Measurement> NewFileMeasurement() {
  return std::make_unique<FileMeasurement>();
}

}  // namespace tw
