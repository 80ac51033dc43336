// What the program has measured, for a metrics scraper: per resource row the
// last speeds, the last status, counters of measurements and failures and the
// last quarter-hour means handed to the trend files, written out in the
// Prometheus text exposition format (version 0.0.4).
//
// The book is updated and read on the UI thread only (the host's hand-overs
// run there, and so does the HTTP server that reads it), so it takes no lock.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/MeasurementTypes.h"

namespace tw {

// A row's last status in the metrics' own words: one value of the `status`
// label of tarnwick_status.
enum class MetricsStatus {
  Ok,              // a measurement gave its speeds
  Testing,         // starting or looking up the address: no measurement yet
  AddressChanged,  // a host's name now leads to another address
  Timeout,
  Unreachable,  // the network reported the destination unreachable
  DnsError,     // the name could not be looked up
  ConnectionRefused,
  NoResources,  // the system refused a socket or buffers
  IoError,      // a drive or file transfer failed
  HttpError,    // the web server answered with an error status
  TlsError,
  Error,  // any other failure
};

// Every status, in the order the exposition lists them.
const std::vector<MetricsStatus>& AllMetricsStatuses();
// The label value of `status` ("ok", "timeout", "io_error", ...).
const char* StatusLabel(MetricsStatus status);
// The status a row's status text stands for (empty text: Ok).
MetricsStatus ClassifyStatus(const std::string& text);
// Whether a status ends a measurement that failed (counted as a failure).
bool IsFailure(MetricsStatus status);
// Whether a status ends a measurement at all (Testing does not).
bool IsMeasurement(MetricsStatus status);

// A label value as the text format writes it between double quotes:
// backslash, double quote and line feed escaped; bytes that are not UTF-8
// become U+FFFD, since a scraper refuses the whole page for one bad byte.
std::string EscapeLabelValue(const std::string& value);
// A sample value in the shortest form that reads back exactly, always with
// "." whatever the locale; NaN and infinities as the format spells them.
std::string FormatSampleValue(double value);

// The label values of a row's kind ("drive", "file", "host", "web", "none").
const char* KindLabel(ResourceKind kind);

// A row as the settings table has it now: what its series are labelled with.
struct MetricsRow {
  std::string name;  // the resource (folder, file, host or URL)
  ResourceKind kind = ResourceKind::None;
};

class MetricsBook {
 public:
  // Takes the update a row's thread handed over, under the row's current
  // resource name. A row that measures another resource or kind than before
  // starts afresh (its counters from 0: a new series for the scraper).
  void Record(int row, const std::string& name, const DisplayUpdate& update);
  // A row whose transfer has hung past its timeout: "timeout" and speed 0
  // until its thread hands over again. Not a measurement, so no counter moves.
  void RecordNoResponse(int row, const std::string& name, ResourceKind kind);
  // Takes the quarter-hour means (Kbps) handed to the trend files for `name`.
  void RecordQuarterHour(const std::string& name, double read, double write, double ping);
  // The exposition for the table's current rows (element 0 is row 1). Only
  // what was recorded under a row's current name and kind is shown, so a
  // renamed, moved or deleted row leaves no series under a wrong label; a
  // resource listed twice with the same kind is shown once, for its first row.
  std::string Exposition(const std::vector<MetricsRow>& rows, const std::string& version) const;

 private:
  struct RowRecord {
    std::string name;
    ResourceKind kind = ResourceKind::None;
    MetricsStatus status = MetricsStatus::Testing;
    bool measured = false;                 // speeds below hold a measurement
    double write = 0, read = 0, ping = 0;  // Kbps
    uint64_t measurements = 0, failures = 0;
  };
  struct QuarterHour {
    double write = 0, read = 0, ping = 0;  // Kbps
  };
  // The records to show: one per (name, kind), for rows whose record matches.
  std::vector<const RowRecord*> Shown(const std::vector<MetricsRow>& rows) const;
  // The samples of each metric, grouped as the format asks.
  static void SpeedSamples(std::string& out, const std::vector<const RowRecord*>& shown);
  static void StatusSamples(std::string& out, const std::vector<const RowRecord*>& shown);
  static void CounterSamples(std::string& out, const std::vector<const RowRecord*>& shown);
  void QuarterHourSamples(std::string& out, const std::vector<const RowRecord*>& shown) const;

  std::map<int, RowRecord> rows_;
  std::map<std::string, QuarterHour> quarterHours_;
};

}  // namespace tw
