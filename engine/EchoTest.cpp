// Kind '3': an IP address or host name, measured by one ICMP echo with a
// data block per cycle. The echo data starts with a 9-byte marker (length 8
// and "IP speed"); a reply without it is a hardware error.
#include <algorithm>
#include <cstring>

#include "engine/Messages.h"
#include "engine/PingThread.h"
#include "engine/TransferMath.h"
#include "platform/ThreadPriority.h"

namespace tw {

namespace {

constexpr uint8_t kMarker[9] = {8, 'I', 'P', ' ', 's', 'p', 'e', 'e', 'd'};
constexpr int32_t kReplyRoom = 36;  // fixed reply part and room for options
constexpr uint32_t kNotResolved = 0xFFFFFFFFu;

std::string DottedText(uint32_t networkOrder) {
  const auto* b = reinterpret_cast<const uint8_t*>(&networkOrder);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
         std::to_string(b[3]);
}

// The next 8 pseudo-random bytes, each 0..254. A counter run through a
// mixing function (each word independent of the last, so the fill of a
// 63 KB block stays well under the echo's own time); a byte that came out
// as 255 is turned into 254 by bit tricks on the whole word.
uint64_t NextRandomWord(uint64_t& state) {
  uint64_t x = (state += 0x9E3779B97F4A7C15ULL);
  x = (x ^ (x >> 31)) * 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 29;
  const uint64_t allOnes =
      x & ((x & 0x7F7F7F7F7F7F7F7FULL) + 0x0101010101010101ULL) & 0x8080808080808080ULL;
  return x - (allOnes >> 7);
}

void FillRandom(uint8_t* data, int32_t size, uint64_t& state) {
  int32_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const uint64_t word = NextRandomWord(state);
    std::memcpy(data + i, &word, 8);
  }
  const uint64_t word = NextRandomWord(state);
  if (i < size) std::memcpy(data + i, &word, static_cast<size_t>(size - i));
}

}  // namespace

// Opens this thread's echo endpoint and lookup once, and lets Destroy cut
// their waits short.
bool TPingThread::PrepareEcho() {
  if (echoSocket_ == nullptr) {
    Echo& echo = services_.echo != nullptr ? *services_.echo : SystemEcho();
    echoSocket_ = echo.Open();
    if (echoSocket_ == nullptr) return false;
    hostLookup_ = NewDetachedLookup(services_.resolver != nullptr ? *services_.resolver
                                                                  : Resolver(SystemResolve));
    echoReplyData_.assign(kTransferBufferSize + kReplyRoom, 0);
    SetCancelHandler([socket = echoSocket_.get(), lookup = hostLookup_.get()] {
      socket->Cancel();
      lookup->Cancel();
    });
    // A close that came before the handler was in place cancels now.
    if (StopRequested) {
      echoSocket_->Cancel();
      hostLookup_->Cancel();
    }
  }
  return true;
}

void TPingThread::RunEchoLoop() {
  SetCurrentThreadPriorityClass(1);
  if (!PrepareEcho()) {
    // Every ICMP socket was refused for this thread: show it, try next run.
    SetStatusText(IcmpMessage(IpStatus::NoResources));
    CallUpdateDisplay();
    InterruptibleSleep(static_cast<uint64_t>(std::max(PeriodMs(), 0)));
    return;
  }
  if (IpAddress == -1) {
    Resolve();
    PriorityClass = 1;
  }
  if (!AutoSize()) ReadSize = FixedBlockSize(Settings().blockSize, kTransferBufferSize);
  if (IpAddress == -1) {
    CallUpdateDisplay();
    InterruptibleSleep(static_cast<uint64_t>(std::max(PeriodMs(), 0)));
    return;
  }
  do {
    EchoCycle();
  } while (!LoopMustEnd());
}

void TPingThread::EchoCycle() {
  Clock& clock = services_.clock;
  SetCurrentThreadPriorityClass(1);
  const uint64_t startTick = clock.TickMs();
  SetCurrentThreadPriorityClass(PriorityClass);
  const int64_t before = clock.CounterUs();
  EchoResult = SendEcho(ReadSize, TimeoutMs());
  if (EchoResult == 1) RestartRequested = true;
  const int64_t after = clock.CounterUs();
  SetCurrentThreadPriorityClass(1);

  int64_t t = after - before;
  // The timed section ends when the reply arrived, not when this thread was
  // woken for it: scheduling delays are not the network's.
  if (EchoResult == 0 && EchoReply.preparedToArrivalNs > 0) {
    t = std::min<int64_t>(t, (EchoReply.preparedToArrivalNs + 500) / 1000);
  }
  double speed = 0;
  if (t > 0 && EchoResult == 0) {
    // A long wait was mostly not the network's: take the reply's own time.
    if (t > 100000) t = static_cast<int64_t>(EchoReply.roundTripMs) * 1000;
    speed = BlockSpeed(ReadSize, 2000000, t);
  } else {
    t = static_cast<int64_t>(TimeoutMs()) * 1000;
  }
  SetPingSpeed(speed);
  UpdateReferenceSpeed(speed);
  CallUpdateDisplay();
  if (AutoSize()) {
    if (t < 10000 && ReadSize < kTransferBufferSize) ReadSize += 1024;
    if (t > 40000 && ReadSize > 1024) ReadSize -= 1024;
  }
  ClassSum += t < 10000 ? t : static_cast<int64_t>(EchoReply.roundTripMs) * 1000;
  if (++ClassCount >= 20) {
    PriorityClass = ClassSum / 20 < 20001 ? 5 : 1;
    ClassSum = 0;
    ClassCount = 0;
  }
  AddTrendSums(0, 0, speed);
  CycleWait(startTick);
  HoldWhilePaused();
}

// Turns the address text into IpAddress: a dotted address directly, else
// through the host lookup. True when no lookup error occurred.
bool TPingThread::Resolve() {
  SetStatusText("Get address...");
  CallUpdateDisplay();
  WsaError = 0;
  const std::string address = Settings().address;
  const uint32_t dotted = ParseDottedAddress(address);
  if (dotted != kNotResolved) {
    IpAddress = dotted;
    return true;
  }
  const LookupOutcome found = hostLookup_->Resolve(address);
  if (found.error == 0 && found.address != kNotResolved) {
    IpAddress = found.address;
    DottedAddress = DottedText(found.address);
    SetStatusText("");
  } else {
    WsaError = found.error != 0 ? found.error : WsaCode::NoData;
    SetStatusText(WinSockMessage(WsaError));
  }
  return WsaError == 0;
}

// One echo of `size` bytes of the transfer buffer; the result code, with
// its text left in the status on failure.
int32_t TPingThread::SendEcho(int32_t size, int32_t timeoutMs) {
  const int64_t preparing = services_.clock.CounterUs();
  std::fill(echoReplyData_.begin(), echoReplyData_.begin() + size + kReplyRoom, 0);
  uint8_t* data = TransferBuffer();
  FillRandom(data, size, randomState_);
  std::memcpy(data, kMarker, sizeof kMarker);
  IcmpReply reply;
  const int64_t prepared = services_.clock.CounterUs() - preparing;
  const int32_t result = echoSocket_->SendEcho(
      static_cast<uint32_t>(IpAddress.load()), data, static_cast<uint16_t>(size), EchoOptions,
      static_cast<uint32_t>(std::max(timeoutMs, 0)), reply, echoReplyData_.data(),
      static_cast<uint32_t>(size + kReplyRoom));
  if (result != IpStatus::Success) {
    SetStatusText(IcmpMessage(result));
    return result;
  }
  if (reply.dataSize < sizeof kMarker ||
      std::memcmp(echoReplyData_.data(), kMarker, sizeof kMarker) != 0) {
    SetStatusText(IcmpMessage(IpStatus::HardwareError));
    return IpStatus::HardwareError;
  }
  // The reply's timing starts with the preparation of the buffers above.
  if (reply.preparedToArrivalNs > 0) reply.preparedToArrivalNs += prepared * 1000;
  EchoReply = reply;
  return IpStatus::Success;
}

}  // namespace tw
