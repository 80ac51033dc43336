// One kind's measurement, run by a TPingThread on its worker thread. The
// thread keeps the object across restarts while the row's kind stays, so
// what a measurement adapts (block sizes, priority, a resolved address) is
// kept as before.
#pragma once

#include <cstdint>

namespace tw {

class TPingThread;

// The block sizes and timed priority class a measurement adapts as it goes.
struct TransferState {
  int32_t writeSize = 1024;
  int32_t readSize = 1024;
  int priorityClass = 3;
  int64_t classSum = 0;  // microseconds
  int32_t classCount = 0;
};

class Measurement {
 public:
  virtual ~Measurement() = default;
  // Measures cycle after cycle until the thread's loop must end.
  virtual void Run(TPingThread& thread) = 0;
  // Worker thread only, or the UI thread inside one of the worker's
  // hand-overs (the worker waits meanwhile).
  const TransferState& Transfer() const { return transfer_; }

 protected:
  TransferState transfer_;
};

}  // namespace tw
