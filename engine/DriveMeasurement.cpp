// A folder on a (network) drive. Each cycle writes a block to the test file
// "MRL.TST" in the folder and reads a block back from its start; the next
// write goes where the read ended, so the file stays within twice the
// largest block.
#include <memory>
#include <string>

#include "engine/Measurement.h"
#include "engine/PingThread.h"
#include "engine/TransferMath.h"
#include "platform/ThreadPriority.h"

namespace tw {

namespace {

constexpr int32_t kMinAdaptedBlock = 10240;

std::string TestFilePath(const std::string& folder) {
  const bool hasSeparator = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  return folder + (hasSeparator ? "" : "/") + "MRL.TST";
}

class DriveMeasurement final : public Measurement {
 public:
  void Run(TPingThread& thread) override;

 private:
  bool Cycle(TPingThread& thread, int64_t& position);
  void AdaptSizes(int64_t writeUs, int64_t readUs);
  void CloseTestFile(TPingThread& thread);

  std::unique_ptr<DriveFile> testFile_;
  std::string testFileName_;
  bool fileIsOpen_ = false;
};

DriveIo& IoOf(const TPingThread& thread) {
  return thread.Services().DriveFacility();
}

void DriveMeasurement::Run(TPingThread& thread) {
  DriveIo& io = IoOf(thread);
  CloseTestFile(thread);
  testFileName_ = TestFilePath(thread.Settings().address);
  {
    BlockingCall call(thread);
    testFile_ = io.CreateTestFile(testFileName_);
  }
  fileIsOpen_ = testFile_ != nullptr;
  transfer_.priorityClass = 2;
  if (!thread.AutoSize()) {
    transfer_.writeSize = transfer_.readSize =
        FixedBlockSize(thread.Settings().blockSize, kTransferBufferSize);
  }
  int64_t position = 0;
  for (;;) {
    SetCurrentThreadPriorityClass(2);
    const uint64_t startTick = thread.Services().clock.TickMs();
    if (!Cycle(thread, position)) {
      thread.SetStatusText("I/O error.");
      fileIsOpen_ = false;
      thread.CallUpdateDisplay();
      thread.SuspendSelf();
    }
    const MeasurementSnapshot now = thread.Snapshot();
    thread.AddTrendSums(now.writeSpeed, now.readSpeed, 0);
    thread.CycleWait(startTick);
    if (thread.LoopMustEnd()) break;
  }
  CloseTestFile(thread);
}

// One write and read back; false on an I/O failure (the protected block).
bool DriveMeasurement::Cycle(TPingThread& thread, int64_t& position) {
  if (!fileIsOpen_) return false;  // "File not opened."
  Clock& clock = thread.Services().clock;
  uint8_t* buffer = thread.TransferBuffer();
  TransferState& t = transfer_;

  SetCurrentThreadPriorityClass(t.priorityClass);
  thread.BeginBlockingCall();
  int64_t before = clock.CounterUs();
  const bool written = testFile_->Write(buffer, t.writeSize, position);
  int64_t after = clock.CounterUs();
  thread.EndBlockingCall();
  SetCurrentThreadPriorityClass(1);
  if (!written) return false;
  const int64_t writeUs = after - before;
  thread.SetWriteSpeed(BlockSpeed(t.writeSize, 1000000, writeUs));

  position = 0;
  thread.BeginBlockingCall();
  testFile_->DropCache();
  SetCurrentThreadPriorityClass(t.priorityClass);
  before = clock.CounterUs();
  const int32_t read = testFile_->Read(buffer, t.readSize, position);
  after = clock.CounterUs();
  thread.EndBlockingCall();
  SetCurrentThreadPriorityClass(1);
  if (read < 0) return false;
  position = read;
  const int64_t readUs = after - before;
  const double readSpeed = BlockSpeed(t.readSize, 1000000, readUs);
  thread.SetReadSpeed(readSpeed);
  thread.UpdateReferenceSpeed(readSpeed);
  thread.CallUpdateDisplay();
  if (thread.AutoSize()) AdaptSizes(writeUs, readUs);

  t.classSum += (writeUs + readUs) / 2;
  if (++t.classCount >= 20) {
    t.priorityClass = DrivePriorityClass(t.classSum / 20);
    t.classSum = 0;
    t.classCount = 0;
  }
  return true;
}

// Keeps a timed transfer between 10 and 40 ms; the read block never grows
// past the write block.
void DriveMeasurement::AdaptSizes(int64_t writeUs, int64_t readUs) {
  TransferState& t = transfer_;
  if (writeUs < 10000 && t.writeSize < kTransferBufferSize) t.writeSize += 1024;
  if (readUs < 10000 && t.readSize < kTransferBufferSize && t.readSize < t.writeSize)
    t.readSize += 1024;
  if (writeUs > 40000 && t.writeSize > kMinAdaptedBlock) t.writeSize -= 1024;
  if (readUs > 40000 && t.readSize > kMinAdaptedBlock) t.readSize -= 1024;
}

// Closes the test file and deletes it, provided the name is still ours.
void DriveMeasurement::CloseTestFile(TPingThread& thread) {
  if (testFile_ == nullptr) return;
  BlockingCall call(thread);
  IoOf(thread).RemoveTestFile(testFileName_, *testFile_);
  testFile_.reset();
  fileIsOpen_ = false;
}

}  // namespace

std::unique_ptr<Measurement> NewDriveMeasurement() {
  return std::make_unique<DriveMeasurement>();
}

}  // namespace tw
