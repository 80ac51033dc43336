// Trend files of many records for the benchmarks, written straight in their
// format: a quarter-hour record for each resource, a few seconds after the
// quarter began.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/MeasurementTypes.h"
#include "trend/TrendFile.h"

namespace tw::bench {

// The folder of the trend files: the one named on the command line, or a new
// one under the temporary folder that goes with this object.
class TrendFolder {
 public:
  TrendFolder(int argc, char** argv, const char* prefix) {
    if (argc > 1) {
      path_ = argv[1];
      return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern, own_ = true;
  }
  ~TrendFolder() {
    if (own_) std::filesystem::remove_all(path_);
  }
  TrendFolder(const TrendFolder&) = delete;
  TrendFolder& operator=(const TrendFolder&) = delete;

  bool Ok() const { return !path_.empty(); }
  std::string Data() const { return path_ + "/MERLISK.D"; }
  std::string Index() const { return path_ + "/MERLISK.ND"; }

 private:
  std::string path_;
  bool own_ = false;
};

constexpr int kResources = 20;
constexpr int kQuarters = 96;
constexpr int kRecords = 1000000;
constexpr double kFirstDay = 44000.0;  // 19 June 2020

// Drives, files and hosts in turn.
inline ResourceKind KindOf(int r) {
  const ResourceKind kinds[] = {ResourceKind::Drive, ResourceKind::File, ResourceKind::Echo};
  return kinds[r % 3];
}

inline std::string ResourceName(int r) {
  static const char* kinds[] = {"\\\\fileserver%d\\share", "host%d.example.org", "192.168.%d.1",
                                "d:\\cdrom\\image%d.iso"};
  char name[64];
  std::snprintf(name, sizeof name, kinds[r % 4], r);
  return name;
}

// Writes the files with `records` records; returns the number of whole days they hold.
inline int MakeFiles(const std::string& data, const std::string& index, int records = kRecords) {
  std::ofstream d(data, std::ios::binary | std::ios::trunc);
  std::ofstream x(index, std::ios::binary | std::ios::trunc);
  const auto header = MakeTrendHeader(kFirstDay);
  d.write(reinterpret_cast<const char*>(header.data()), header.size());
  int64_t position = kTrendHeaderSize;
  int written = 0;
  for (int quarter = 0; written < records; ++quarter) {
    for (int r = 0; r < kResources && written < records; ++r, ++written) {
      const double now = kFirstDay + quarter / 96.0 + (3 + r) / 86400.0;
      TrendRecord record = MakeTrendRecord(ResourceName(r), 100 + r, 50 + quarter % 96, r);
      UpperCaseRecordName(record);
      const double stamp = MinuteStamp(now);
      PutDouble(record.data() + TrendOffset::Stamp, stamp);
      TTrendFile::SetCheckSum(record);
      d.write(reinterpret_cast<const char*>(record.data()), record.size());
      const auto entry = MakeIndexEntry(stamp, static_cast<int32_t>(position));
      x.write(reinterpret_cast<const char*>(entry.data()), entry.size());
      position += kTrendRecordSize;
    }
  }
  return written / kResources / kQuarters;  // whole days
}

}  // namespace tw::bench
