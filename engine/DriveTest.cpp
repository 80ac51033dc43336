// Kind '1': a folder on a (network) drive. Each cycle writes a block to the
// test file "MRL.TST" in the folder and reads a block back from its start;
// the next write goes where the read ended, so the file stays within twice
// the largest block.
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

}  // namespace

void TPingThread::RunDriveLoop() {
  DriveIo& io = services_.driveIo != nullptr ? *services_.driveIo : SystemDriveIo();
  CloseTestFile();
  TestFileName = TestFilePath(Settings().address);
  testFile_ = io.CreateTestFile(TestFileName);
  FileIsOpen = testFile_ != nullptr;
  PriorityClass = 2;
  if (!AutoSize()) WriteSize = ReadSize = FixedBlockSize(Settings().blockSize, kTransferBufferSize);
  int64_t position = 0;
  for (;;) {
    SetCurrentThreadPriorityClass(2);
    const uint64_t startTick = services_.clock.TickMs();
    if (!DriveCycle(position)) {
      SetStatusText("I/O error.");
      FileIsOpen = false;
      CallUpdateDisplay();
      SuspendSelf();
    }
    const MeasurementSnapshot now = Snapshot();
    AddTrendSums(now.writeSpeed, now.readSpeed, 0);
    CycleWait(startTick);
    if (LoopMustEnd()) break;
  }
  CloseTestFile();
}

// One write and read back; false on an I/O failure (the protected block).
bool TPingThread::DriveCycle(int64_t& position) {
  if (!FileIsOpen) return false;  // "File not opened."
  Clock& clock = services_.clock;
  uint8_t* buffer = TransferBuffer();

  SetCurrentThreadPriorityClass(PriorityClass);
  int64_t before = clock.CounterUs();
  const bool written = testFile_->Write(buffer, WriteSize, position);
  int64_t after = clock.CounterUs();
  SetCurrentThreadPriorityClass(1);
  if (!written) return false;
  const int64_t writeUs = after - before;
  SetWriteSpeed(BlockSpeed(WriteSize, 1000000, writeUs));

  position = 0;
  testFile_->DropCache();
  SetCurrentThreadPriorityClass(PriorityClass);
  before = clock.CounterUs();
  const int32_t read = testFile_->Read(buffer, ReadSize, position);
  after = clock.CounterUs();
  SetCurrentThreadPriorityClass(1);
  if (read < 0) return false;
  position = read;
  const int64_t readUs = after - before;
  const double readSpeed = BlockSpeed(ReadSize, 1000000, readUs);
  SetReadSpeed(readSpeed);
  UpdateReferenceSpeed(readSpeed);
  CallUpdateDisplay();
  if (AutoSize()) AdaptDriveSizes(writeUs, readUs);

  ClassSum += (writeUs + readUs) / 2;
  if (++ClassCount >= 20) {
    PriorityClass = DrivePriorityClass(ClassSum / 20);
    ClassSum = 0;
    ClassCount = 0;
  }
  return true;
}

// Keeps a timed transfer between 10 and 40 ms; the read block never grows
// past the write block.
void TPingThread::AdaptDriveSizes(int64_t writeUs, int64_t readUs) {
  if (writeUs < 10000 && WriteSize < kTransferBufferSize) WriteSize += 1024;
  if (readUs < 10000 && ReadSize < kTransferBufferSize && ReadSize < WriteSize) ReadSize += 1024;
  if (writeUs > 40000 && WriteSize > kMinAdaptedBlock) WriteSize -= 1024;
  if (readUs > 40000 && ReadSize > kMinAdaptedBlock) ReadSize -= 1024;
}

// Closes the test file and deletes it, provided the name is still ours.
void TPingThread::CloseTestFile() {
  if (testFile_ == nullptr) return;
  DriveIo& io = services_.driveIo != nullptr ? *services_.driveIo : SystemDriveIo();
  io.RemoveTestFile(TestFileName, *testFile_);
  testFile_.reset();
  FileIsOpen = false;
}

}  // namespace tw
