// A web page or file, downloaded over HTTP or HTTPS in every cycle up to the
// row's size. The speed is the body's bytes over the body's own time: the
// name lookup, the connection, the TLS set-up and the server's wait before
// its answer are not the line's speed and are left out. A download that
// fails shows its reason instead of a speed.
#include <algorithm>
#include <memory>
#include <string>

#include "engine/Measurement.h"
#include "engine/Messages.h"
#include "engine/PingThread.h"
#include "engine/WebSize.h"
#include "platform/ThreadPriority.h"

namespace tw {

namespace {

class WebMeasurement final : public Measurement {
 public:
  void Run(TPingThread& thread) override;

 private:
  bool Prepare(TPingThread& thread);
  void Cycle(TPingThread& thread);
  double Speed(TPingThread& thread, const HttpOutcome& outcome);

  std::unique_ptr<HttpSession> session_;
};

// Opens this thread's session once and lets Destroy cut a download short.
bool WebMeasurement::Prepare(TPingThread& thread) {
  if (session_ != nullptr) return true;
  session_ = thread.Services().HttpFacility().Open();
  if (session_ == nullptr) return false;
  thread.SetCancelHandler([session = session_.get()] { session->Cancel(); });
  // A close that came before the handler was in place cancels now.
  if (thread.StopRequested) session_->Cancel();
  return true;
}

void WebMeasurement::Run(TPingThread& thread) {
  SetCurrentThreadPriorityClass(1);
  transfer_.priorityClass = 1;
  if (!Prepare(thread)) {
    thread.SetStatusText("Download failed");
    thread.CallUpdateDisplay();
    thread.InterruptibleSleep(static_cast<uint64_t>(std::max(thread.PeriodMs(), 0)));
    return;
  }
  transfer_.readSize = thread.AutoSize() ? std::max(transfer_.readSize, kWebStartSize)
                                         : FixedWebSize(thread.Settings().blockSize);
  do {
    Cycle(thread);
  } while (!thread.LoopMustEnd());
}

void WebMeasurement::Cycle(TPingThread& thread) {
  const uint64_t startTick = thread.Services().clock.TickMs();
  HttpRequest request;
  request.url = thread.Settings().address;
  request.maxBytes = transfer_.readSize;
  request.timeoutMs = thread.TimeoutMs();
  request.stopWanted = [&thread] { return thread.Paused.load() || thread.LoopMustEnd(); };
  const HttpOutcome outcome = session_->Download(request);
  if (outcome.end != HttpEnd::Cancelled) {
    const double speed = Speed(thread, outcome);
    thread.SetReadSpeed(speed);
    thread.UpdateReferenceSpeed(speed);
    thread.CallUpdateDisplay();
    thread.AddTrendSums(0, speed, 0);
  }
  thread.CycleWait(startTick);
  thread.HoldWhilePaused();
}

// The body's speed in Kbps; a failed download leaves its reason in the status
// and counts as 0, and a good one adapts the size.
double WebMeasurement::Speed(TPingThread& thread, const HttpOutcome& outcome) {
  if (outcome.end != HttpEnd::Done) {
    thread.SetStatusText(WebMessage(outcome));
    return 0;
  }
  if (thread.AutoSize()) transfer_.readSize = AdaptedWebSize(transfer_.readSize, outcome);
  if (outcome.bodyMicros <= 0) return 0;
  return static_cast<double>(outcome.bodyBytes) / 1024 * 1000000 /
         static_cast<double>(outcome.bodyMicros);
}

}  // namespace

std::unique_ptr<Measurement> NewWebMeasurement() {
  return std::make_unique<WebMeasurement>();
}

}  // namespace tw
