#include "engine/ResourceKinds.h"

#include <cstring>
#include <iterator>

#include "engine/Measurement.h"

namespace tw {

// Each measurement file defines its kind's factory.
using MeasurementFactory = std::unique_ptr<Measurement>();
MeasurementFactory NewDriveMeasurement, NewFileMeasurement, NewEchoMeasurement, NewWebMeasurement;

namespace {

constexpr ChartLine kWrite{Series::Write, 0, "Write"};
constexpr ChartLine kRead{Series::Read, 1, "Read"};
constexpr ChartLine kPing{Series::Ping, 1, "Ping"};

const KindDescriptor kKinds[] = {
    {ResourceKind::Drive,
     "1",
     {kWrite, kRead},
     2,
     Series::Write,
     Series::Read,
     " Read speed",
     2,
     false,
     NewDriveMeasurement,
     {"Network drive", "Select a file server directory for speed measurement.",
      "Read Color :", true, false, true}},
    {ResourceKind::File,
     "2",
     {kRead},
     1,
     Series::Read,
     Series::Read,
     " Read speed",
     1,
     false,
     NewFileMeasurement,
     {"Read only file (e.g. a CD ROM file)",
      "If you have read only network permission you can determine read speed on a file server "
      "by this function.",
      "Read Color :", false, false, false}},
    {ResourceKind::Echo,
     "3",
     {kPing},
     1,
     Series::Ping,
     Series::Ping,
     " Ping speed",
     1,
     true,
     NewEchoMeasurement,
     {"IP address (Web or FTP server)",
      "Type address of an Internet host. It can be or IP address: 192.0.2.10 or an URL like: "
      "http://www.example.com/",
      "Ping Color :", false, true, true}},
    {ResourceKind::Web,
     "4",
     {kRead},
     1,
     Series::Read,
     Series::Read,
     " Read speed",
     1,
     false,
     NewWebMeasurement,
     {"Web page download (HTTP or HTTPS)",
      "Type the whole address of a web page or file, for example: "
      "https://www.example.com/files/test.zip",
      "Read Color :", false, true, true}},
};

// A row of no known kind measures nothing; its status shows where a host's would.
const KindDescriptor kNoKind{ResourceKind::None,
                             "",
                             {},
                             0,
                             Series::Ping,
                             Series::Ping,
                             " Ping speed",
                             1,
                             false,
                             nullptr,
                             {"", "", "", false, false, false}};

}  // namespace

const KindDescriptor& Describe(ResourceKind kind) {
  for (const KindDescriptor& d : kKinds) {
    if (d.kind == kind) return d;
  }
  return kNoKind;
}

// Only the first character counts, as the file has always been read.
ResourceKind KindFromText(const std::string& text) {
  if (text.empty()) return ResourceKind::None;
  for (const KindDescriptor& d : kKinds) {
    if (text[0] == d.code[0]) return d.kind;
  }
  return ResourceKind::None;
}

std::string KindText(ResourceKind kind) {
  return Describe(kind).code;
}

double SeriesSpeed(const MeasurementSnapshot& results, Series series) {
  switch (series) {
    case Series::Write:
      return results.writeSpeed;
    case Series::Read:
      return results.readSpeed;
    case Series::Ping:
      break;
  }
  return results.pingSpeed;
}

const SpeedHistory& SeriesHistory(const MeasurementSnapshot& results, Series series) {
  switch (series) {
    case Series::Write:
      return results.writeHistory;
    case Series::Read:
      return results.readHistory;
    case Series::Ping:
      break;
  }
  return results.pingHistory;
}

}  // namespace tw
