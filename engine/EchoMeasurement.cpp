// An IP address or host name, measured by one ICMP echo with a data block
// per cycle (ICMPv6 for an IPv6 address). The echo data starts with a
// 9-byte marker (length 8 and "IP speed"); a reply without it is a hardware
// error.
//
// A host given by name may move: its name is looked up again every 5
// minutes and after 3 timeouts in a row. That lookup runs in the background
// while the echoes go on to the old address; when it answers with another
// address, the echoes go there from the next cycle on and that cycle's
// display update shows "Address changed: <old> -> <new>" once.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/Measurement.h"
#include "engine/Messages.h"
#include "engine/PingThread.h"
#include "engine/TransferMath.h"
#include "platform/ThreadPriority.h"

namespace tw {

namespace {

constexpr uint8_t kMarker[9] = {8, 'I', 'P', ' ', 's', 'p', 'e', 'e', 'd'};
constexpr int32_t kReplyRoom = 36;  // fixed reply part and room for options
constexpr uint64_t kLookUpAgainMs = 5 * 60 * 1000;
constexpr int kTimeoutsBeforeLookUp = 3;

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

class EchoMeasurement final : public Measurement {
 public:
  void Run(TPingThread& thread) override;

 private:
  bool Prepare(TPingThread& thread);
  bool Resolve(TPingThread& thread);
  void TakeAddress(TPingThread& thread);
  void FollowTheName(TPingThread& thread);
  void AdoptLookupAnswer(TPingThread& thread, const LookupOutcome& answer);
  int32_t SendEcho(TPingThread& thread, int32_t size, int32_t timeoutMs);
  void Cycle(TPingThread& thread);

  std::unique_ptr<EchoSocket> echoSocket_;  // this thread's ICMP endpoint
  std::unique_ptr<HostLookup> hostLookup_;
  std::string dottedAddress_;
  // What the echoes go to: the thread's IpAddress as this run began, or
  // what the name was last found to be.
  HostAddress address_;
  std::string name_;           // the address text, when it is a host name
  std::string lookingUp_;      // the name of the background lookup running
  uint64_t lookedUpAtMs_ = 0;  // clock ticks of the last lookup's start
  int timeoutsInARow_ = 0;
  std::string addressChange_;  // the note for the next display update
  int32_t wsaError_ = 0;
  IcmpOptions echoOptions_;  // time-to-live 32
  IcmpReply echoReply_;      // fixed part of the last good reply
  int32_t echoResult_ = 0;
  std::vector<uint8_t> echoReplyData_;
  uint64_t randomState_ = 0x9E3779B97F4A7C15ULL;
};

// Opens this thread's echo endpoint and lookup once, and lets Destroy cut
// their waits short.
bool EchoMeasurement::Prepare(TPingThread& thread) {
  if (echoSocket_ == nullptr) {
    const EngineServices& services = thread.Services();
    echoSocket_ = services.EchoFacility().Open();
    if (echoSocket_ == nullptr) return false;
    hostLookup_ = NewDetachedLookup(services.ResolverFacility());
    echoReplyData_.assign(kTransferBufferSize + kReplyRoom, 0);
    thread.SetCancelHandler([socket = echoSocket_.get(), lookup = hostLookup_.get()] {
      socket->Cancel();
      lookup->Cancel();
    });
    // A close that came before the handler was in place cancels now.
    if (thread.StopRequested) {
      echoSocket_->Cancel();
      hostLookup_->Cancel();
    }
  }
  return true;
}

void EchoMeasurement::Run(TPingThread& thread) {
  SetCurrentThreadPriorityClass(1);
  if (!Prepare(thread)) {
    // Every ICMP socket was refused for this thread: show it, try next run.
    thread.SetStatusText(IcmpMessage(IpStatus::NoResources));
    thread.CallUpdateDisplay();
    thread.InterruptibleSleep(static_cast<uint64_t>(std::max(thread.PeriodMs(), 0)));
    return;
  }
  if (!thread.IpAddress().Resolved()) {
    Resolve(thread);
    transfer_.priorityClass = 1;
  }
  if (!thread.AutoSize())
    transfer_.readSize = FixedBlockSize(thread.Settings().blockSize, kTransferBufferSize);
  if (!thread.IpAddress().Resolved()) {
    thread.CallUpdateDisplay();
    thread.InterruptibleSleep(static_cast<uint64_t>(std::max(thread.PeriodMs(), 0)));
    return;
  }
  TakeAddress(thread);
  do {
    Cycle(thread);
  } while (!thread.LoopMustEnd());
}

// The address this run measures, and whether its text is a name to follow.
void EchoMeasurement::TakeAddress(TPingThread& thread) {
  const HostAddress kept = thread.IpAddress();
  const std::string text = thread.Settings().address;
  name_ = ParseNumericAddress(text).Resolved() ? "" : text;
  if (kept != address_ || lookedUpAtMs_ == 0) lookedUpAtMs_ = thread.Services().clock.TickMs();
  address_ = kept;
  timeoutsInARow_ = 0;
}

void EchoMeasurement::Cycle(TPingThread& thread) {
  Clock& clock = thread.Services().clock;
  TransferState& ts = transfer_;
  SetCurrentThreadPriorityClass(1);
  const uint64_t startTick = clock.TickMs();
  SetCurrentThreadPriorityClass(ts.priorityClass);
  const int64_t before = clock.CounterUs();
  echoResult_ = SendEcho(thread, ts.readSize, thread.TimeoutMs());
  if (echoResult_ == 1) thread.RestartRequested = true;
  const int64_t after = clock.CounterUs();
  SetCurrentThreadPriorityClass(1);

  int64_t t = after - before;
  // The timed section ends when the reply arrived, not when this thread was
  // woken for it: scheduling delays are not the network's.
  if (echoResult_ == 0 && echoReply_.preparedToArrivalNs > 0) {
    t = std::min<int64_t>(t, (echoReply_.preparedToArrivalNs + 500) / 1000);
  }
  double speed = 0;
  if (t > 0 && echoResult_ == 0) {
    // A long wait was mostly not the network's: take the reply's own time.
    if (t > 100000) t = static_cast<int64_t>(echoReply_.roundTripMs) * 1000;
    speed = BlockSpeed(ts.readSize, 2000000, t);
  } else {
    t = static_cast<int64_t>(thread.TimeoutMs()) * 1000;
  }
  thread.SetPingSpeed(speed);
  thread.UpdateReferenceSpeed(speed);
  if (!addressChange_.empty()) thread.SetStatusText(addressChange_);
  addressChange_.clear();
  thread.CallUpdateDisplay();
  if (thread.AutoSize()) {
    if (t < 10000 && ts.readSize < kTransferBufferSize) ts.readSize += 1024;
    if (t > 40000 && ts.readSize > 1024) ts.readSize -= 1024;
  }
  ts.classSum += t < 10000 ? t : static_cast<int64_t>(echoReply_.roundTripMs) * 1000;
  if (++ts.classCount >= 20) {
    ts.priorityClass = ts.classSum / 20 < 20001 ? 5 : 1;
    ts.classSum = 0;
    ts.classCount = 0;
  }
  thread.AddTrendSums(0, 0, speed);
  timeoutsInARow_ = echoResult_ == IpStatus::TimedOut ? timeoutsInARow_ + 1 : 0;
  FollowTheName(thread);
  thread.CycleWait(startTick);
  thread.HoldWhilePaused();
}

// Turns the address text into IpAddress: a numeric address directly, else
// through the host lookup. True when no lookup error occurred.
bool EchoMeasurement::Resolve(TPingThread& thread) {
  thread.SetStatusText(kGetAddressStatus);
  thread.CallUpdateDisplay();
  wsaError_ = 0;
  const std::string address = thread.Settings().address;
  const HostAddress numeric = ParseNumericAddress(address);
  if (numeric.Resolved()) {
    thread.SetIpAddress(address, numeric);
    return true;
  }
  const LookupOutcome found = hostLookup_->Resolve(address);
  if (found.error == 0 && found.address.Resolved()) {
    thread.SetIpAddress(address, found.address);
    dottedAddress_ = AddressText(found.address);
    thread.SetStatusText("");
  } else {
    wsaError_ = found.error != 0 ? found.error : WsaCode::NoData;
    thread.SetStatusText(WinSockMessage(wsaError_));
  }
  return wsaError_ == 0;
}

// Between two cycles of a row given by name: starts a background lookup
// when the address is due to be checked, and takes the answer when it has
// come. Nothing here waits for the lookup.
void EchoMeasurement::FollowTheName(TPingThread& thread) {
  if (name_.empty()) return;
  if (const auto answer = hostLookup_->Collect()) {
    if (lookingUp_ == name_) AdoptLookupAnswer(thread, *answer);
    lookingUp_.clear();
  }
  const uint64_t now = thread.Services().clock.TickMs();
  const bool due =
      now - lookedUpAtMs_ >= kLookUpAgainMs || timeoutsInARow_ >= kTimeoutsBeforeLookUp;
  if (!lookingUp_.empty() || !due) return;
  lookingUp_ = name_;
  lookedUpAtMs_ = now;
  timeoutsInARow_ = 0;
  hostLookup_->Start(name_);
}

// A failed lookup keeps the address that was measured so far; the next
// check tries again.
void EchoMeasurement::AdoptLookupAnswer(TPingThread& thread, const LookupOutcome& answer) {
  if (answer.error != 0 || !answer.address.Resolved() || answer.address == address_) return;
  if (!thread.SetIpAddress(name_, answer.address)) return;
  addressChange_ =
      "Address changed: " + AddressText(address_) + " -> " + AddressText(answer.address);
  address_ = answer.address;
  dottedAddress_ = AddressText(answer.address);
}

// One echo of `size` bytes of the transfer buffer; the result code, with
// its text left in the status on failure.
int32_t EchoMeasurement::SendEcho(TPingThread& thread, int32_t size, int32_t timeoutMs) {
  Clock& clock = thread.Services().clock;
  const int64_t preparing = clock.CounterUs();
  std::fill(echoReplyData_.begin(), echoReplyData_.begin() + size + kReplyRoom, 0);
  uint8_t* data = thread.TransferBuffer();
  FillRandom(data, size, randomState_);
  std::memcpy(data, kMarker, sizeof kMarker);
  IcmpReply reply;
  const int64_t prepared = clock.CounterUs() - preparing;
  const int32_t result =
      echoSocket_->SendEcho(address_, data, static_cast<uint16_t>(size), echoOptions_,
                            static_cast<uint32_t>(std::max(timeoutMs, 0)), reply,
                            echoReplyData_.data(), static_cast<uint32_t>(size + kReplyRoom));
  if (result != IpStatus::Success) {
    thread.SetStatusText(IcmpMessage(result));
    return result;
  }
  if (reply.dataSize < sizeof kMarker ||
      std::memcmp(echoReplyData_.data(), kMarker, sizeof kMarker) != 0) {
    thread.SetStatusText(IcmpMessage(IpStatus::HardwareError));
    return IpStatus::HardwareError;
  }
  // The reply's timing starts with the preparation of the buffers above.
  if (reply.preparedToArrivalNs > 0) reply.preparedToArrivalNs += prepared * 1000;
  echoReply_ = reply;
  return IpStatus::Success;
}

}  // namespace

std::unique_ptr<Measurement> NewEchoMeasurement() {
  return std::make_unique<EchoMeasurement>();
}

}  // namespace tw
