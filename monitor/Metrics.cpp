#include "monitor/Metrics.h"

#include <charconv>
#include <cmath>
#include <set>
#include <utility>

#include "engine/ResourceKinds.h"

namespace tw {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at `text[i]`, 0 when there is none.
size_t Utf8SequenceLength(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// The series a kind shows, with their direction labels.
std::vector<std::pair<Series, const char*>> Directions(ResourceKind kind) {
  std::vector<std::pair<Series, const char*>> directions;
  const KindDescriptor& descriptor = Describe(kind);
  for (int i = 0; i < descriptor.lineCount; ++i) {
    const Series series = descriptor.lines[i].series;
    const char* label = series == Series::Write  ? "write"
                        : series == Series::Ping ? "ping"
                                                 : "read";
    // A web row's read column holds the download's speed.
    if (kind == ResourceKind::Web && series == Series::Read) label = "download";
    directions.emplace_back(series, label);
  }
  return directions;
}

template <typename T>
double Pick(const T& values, Series series) {
  return series == Series::Write  ? values.write
         : series == Series::Read ? values.read
                                  : values.ping;
}

// Writes the HELP and TYPE lines of one metric.
void Family(std::string& out, const char* name, const char* type, const char* help) {
  out.append("# HELP ").append(name).append(" ").append(help).append("\n");
  out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

// Starts a sample line: the name and the opening of the labels.
std::string& Sample(std::string& out, const char* name, const std::string& resource,
                    ResourceKind kind) {
  return out.append(name)
      .append("{resource=\"")
      .append(EscapeLabelValue(resource))
      .append("\",kind=\"")
      .append(KindLabel(kind))
      .append("\"");
}

}  // namespace

std::string EscapeLabelValue(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size();) {
    const size_t length = Utf8SequenceLength(value, i);
    if (length == 0) {
      out += kReplacement;
      ++i;
      continue;
    }
    const char c = value[i];
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out.append(value, i, length);
    }
    i += length;
  }
  return out;
}

std::string FormatSampleValue(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

const char* KindLabel(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::Drive:
      return "drive";
    case ResourceKind::File:
      return "file";
    case ResourceKind::Echo:
      return "host";
    case ResourceKind::Web:
      return "web";
    case ResourceKind::None:
      break;
  }
  return "none";
}

void MetricsBook::Record(int row, const std::string& name, const DisplayUpdate& update) {
  RowRecord& record = rows_[row];
  if (record.name != name || record.kind != update.resourceKind) {
    record = RowRecord{};
    record.name = name;
    record.kind = update.resourceKind;
  }
  const MetricsStatus status = ClassifyStatus(update.status);
  record.status = status;
  if (IsMeasurement(status)) ++record.measurements;
  if (IsFailure(status)) {
    // A failed measurement has no speed: 0, as in the histories and charts.
    ++record.failures;
    record.write = record.read = record.ping = 0;
    record.measured = true;
  } else if (status == MetricsStatus::Ok) {
    record.write = update.writeSpeed;
    record.read = update.readSpeed;
    record.ping = update.pingSpeed;
    record.measured = true;
  }
}

void MetricsBook::RecordNoResponse(int row, const std::string& name, ResourceKind kind) {
  RowRecord& record = rows_[row];
  if (record.name != name || record.kind != kind) {
    record = RowRecord{};
    record.name = name;
    record.kind = kind;
  }
  record.status = MetricsStatus::Timeout;
  record.write = record.read = record.ping = 0;
  record.measured = true;
}

void MetricsBook::RecordQuarterHour(const std::string& name, double read, double write,
                                    double ping) {
  QuarterHour& means = quarterHours_[name];
  means.read = read;
  means.write = write;
  means.ping = ping;
}

std::vector<const MetricsBook::RowRecord*> MetricsBook::Shown(
    const std::vector<MetricsRow>& rows) const {
  std::vector<const RowRecord*> shown;
  std::set<std::pair<std::string, ResourceKind>> seen;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto found = rows_.find(static_cast<int>(i) + 1);
    if (found == rows_.end()) continue;
    const RowRecord& record = found->second;
    if (record.name != rows[i].name || record.kind != rows[i].kind) continue;
    if (!seen.insert({record.name, record.kind}).second) continue;
    shown.push_back(&record);
  }
  return shown;
}

std::string MetricsBook::Exposition(const std::vector<MetricsRow>& rows,
                                    const std::string& version) const {
  const std::vector<const RowRecord*> shown = Shown(rows);
  std::string out;
  Family(out, "tarnwick_build_info", "gauge", "The version of the running program (always 1).");
  out.append("tarnwick_build_info{version=\"").append(EscapeLabelValue(version)).append("\"} 1\n");
  SpeedSamples(out, shown);
  StatusSamples(out, shown);
  CounterSamples(out, shown);
  QuarterHourSamples(out, shown);
  return out;
}

void MetricsBook::SpeedSamples(std::string& out, const std::vector<const RowRecord*>& shown) {
  Family(out, "tarnwick_speed_kbps", "gauge",
         "Last measured speed in kilobytes per second; 0 after a failed measurement.");
  for (const RowRecord* r : shown) {
    if (!r->measured) continue;
    for (const auto& [series, direction] : Directions(r->kind)) {
      Sample(out, "tarnwick_speed_kbps", r->name, r->kind)
          .append(",direction=\"")
          .append(direction)
          .append("\"} ")
          .append(FormatSampleValue(Pick(*r, series)))
          .append("\n");
    }
  }
}

void MetricsBook::StatusSamples(std::string& out, const std::vector<const RowRecord*>& shown) {
  Family(out, "tarnwick_status", "gauge",
         "1 for the resource's last status, 0 for every other status.");
  for (const RowRecord* r : shown) {
    for (const MetricsStatus status : AllMetricsStatuses()) {
      Sample(out, "tarnwick_status", r->name, r->kind)
          .append(",status=\"")
          .append(StatusLabel(status))
          .append(status == r->status ? "\"} 1\n" : "\"} 0\n");
    }
  }
}

void MetricsBook::CounterSamples(std::string& out, const std::vector<const RowRecord*>& shown) {
  const struct {
    const char* name;
    const char* help;
    uint64_t RowRecord::*count;
  } counters[] = {
      {"tarnwick_measurements_total", "Measurements ended, successful or failed.",
       &RowRecord::measurements},
      {"tarnwick_failures_total", "Measurements that failed.", &RowRecord::failures},
  };
  for (const auto& counter : counters) {
    Family(out, counter.name, "counter", counter.help);
    for (const RowRecord* r : shown) {
      Sample(out, counter.name, r->name, r->kind)
          .append("} ")
          .append(std::to_string(r->*counter.count))
          .append("\n");
    }
  }
}

void MetricsBook::QuarterHourSamples(std::string& out,
                                     const std::vector<const RowRecord*>& shown) const {
  Family(out, "tarnwick_quarter_hour_kbps", "gauge",
         "Last quarter-hour mean written to the trend files, kilobytes per second.");
  for (const RowRecord* r : shown) {
    const auto means = quarterHours_.find(r->name);
    if (means == quarterHours_.end()) continue;
    for (const auto& [series, direction] : Directions(r->kind)) {
      Sample(out, "tarnwick_quarter_hour_kbps", r->name, r->kind)
          .append(",direction=\"")
          .append(direction)
          .append("\"} ")
          .append(FormatSampleValue(Pick(means->second, series)))
          .append("\n");
    }
  }
}

}  // namespace tw
