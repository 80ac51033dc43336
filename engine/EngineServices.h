// What the measurement threads need from the rest of the program: the UI
// hand-over, the clock, and the UI-side work of their hand-overs.
#pragma once

#include <memory>
#include <string>

#include "engine/Dispatcher.h"
#include "engine/MeasurementTypes.h"
#include "platform/Clock.h"
#include "platform/DriveIo.h"
#include "platform/Echo.h"
#include "platform/HttpDownload.h"
#include "platform/NameLookup.h"

namespace tw {

// Implemented by the main window; every method runs on the UI thread.
class ThreadHost {
 public:
  virtual ~ThreadHost() = default;
  // Shows a thread's status or speeds in resource row `row` at once.
  virtual void ShowMeasurement(int row, const DisplayUpdate& update) = 0;
  // Whether trend recording is on.
  virtual bool TrendEnabled() const = 0;
  // Appends one quarter-hour record (means in Kbps) to the trend files.
  virtual void AppendTrendRecord(const std::string& name, double read, double write,
                                 double ping) = 0;
};

// Every thread keeps its own copy. A thread that Destroy had to leave behind
// in a blocking call may still use it after its owner is gone, so:
// - the dispatcher is owned jointly; the owner cancels it before it goes, and
//   a cancelled dispatcher refuses every hand-over without running it;
// - the host is reached only inside hand-overs, so never after that;
// - the clock and the system facilities must outlive every thread: the
//   system's own are static, and tests keep their stand-ins alive until their
//   threads have ended.
struct EngineServices {
  std::shared_ptr<Dispatcher> dispatcher;
  Clock& clock;
  ThreadHost& host;
  // False when ICMP echo cannot be used: host rows keep "Testing...".
  bool echoAvailable = false;
  // The transfers' system facilities; null means this system's own
  // (SystemEcho, SystemResolve, SystemDriveIo, SystemHttpDownload). Tests
  // put stand-ins here.
  Echo* echo = nullptr;
  Resolver* resolver = nullptr;
  DriveIo* driveIo = nullptr;
  HttpDownload* http = nullptr;

  // The facility to use: the stand-in when there is one, else the system's.
  Echo& EchoFacility() const { return echo != nullptr ? *echo : SystemEcho(); }
  Resolver ResolverFacility() const {
    return resolver != nullptr ? *resolver : Resolver(SystemResolve);
  }
  DriveIo& DriveFacility() const { return driveIo != nullptr ? *driveIo : SystemDriveIo(); }
  HttpDownload& HttpFacility() const { return http != nullptr ? *http : SystemHttpDownload(); }
};

}  // namespace tw
