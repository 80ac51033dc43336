// Trend storage figures: loading the index of a file of 1,000,000 records and
// the 1,920 lookups of one day's chart for 20 resources, side by side with a
// straight walk of the index from its start for every lookup.
//
//   build/bin/bench_trend [folder]   (default: a new folder under /tmp, removed afterwards)
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/TrendFiles.h"
#include "platform/Clock.h"
#include "trend/TrendFile.h"
#include "util/Text.h"

namespace {

using namespace tw;
using Timer = std::chrono::steady_clock;

using bench::kFirstDay;
using bench::kQuarters;
using bench::kRecords;
using bench::kResources;
using bench::MakeFiles;
using bench::ResourceName;

double Ms(Timer::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The lookup as first designed: walk the index from its first entry to the
// first one of the minute, then read records from there.
class LinearWalk {
 public:
  LinearWalk(const std::string& data, std::vector<TIndexObject> entries)
      : file_(data, std::ios::binary), entries_(std::move(entries)) {}
  bool Find(const std::string& name, double when, TrendValues& out) {
    out = TrendValues{};
    const std::string upper = UpperCaseName(name).substr(0, kTrendNameMax);
    const double t = MinuteStamp(when);
    const TIndexObject* first = nullptr;
    for (const TIndexObject& e : entries_) {
      if (e.Stamp == t) {
        first = &e;
        break;
      }
    }
    if (first == nullptr) return false;
    file_.clear();
    file_.seekg(first->Position);
    TrendRecord r{};
    for (;;) {
      file_.read(reinterpret_cast<char*>(r.data()), r.size());
      const bool whole = file_.gcount() == static_cast<std::streamsize>(r.size());
      const bool sameMinute = GetDouble(r.data() + TrendOffset::Stamp) == t;
      if (whole && sameMinute && r[0] == upper.size() &&
          std::memcmp(r.data() + 1, upper.data(), upper.size()) == 0 && TTrendFile::CheckSumOK(r)) {
        out.read = DecodeReal48(r.data() + TrendOffset::Read);
        out.write = DecodeReal48(r.data() + TrendOffset::Write);
        out.ping = DecodeReal48(r.data() + TrendOffset::Ping);
        return true;
      }
      if (!whole || !sameMinute) return false;
    }
  }

 private:
  std::ifstream file_;
  std::vector<TIndexObject> entries_;
};

template <typename Finder>
double DayLookups(Finder& finder, double day, int& found, double& checksum) {
  found = 0;
  checksum = 0;
  const auto start = Timer::now();
  for (int r = 0; r < kResources; ++r) {
    const std::string name = ResourceName(r);
    for (int q = 0; q < kQuarters; ++q) {
      TrendValues out;
      if (finder.Find(name, day + q / 96.0, out)) ++found;
      checksum += out.read + out.write + out.ping;
    }
  }
  return Ms(Timer::now() - start);
}

struct Fast {
  TTrendFile& trend;
  bool Find(const std::string& name, double when, TrendValues& out) {
    return trend.FindRecord(name, when, out);
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const bool ownFolder = argc < 2;
  const fs::path folder =
      ownFolder ? fs::temp_directory_path() / ("tarnwick-bench-" + std::to_string(getpid()))
                : fs::path(argv[1]);
  fs::create_directories(folder);
  const std::string data = (folder / "MERLISK.D").string();
  const std::string index = (folder / "MERLISK.ND").string();

  auto start = Timer::now();
  const int days = MakeFiles(data, index);
  std::printf("files: %d records, %d resources, %d days, written in %.0f ms\n", kRecords,
              kResources, days, Ms(Timer::now() - start));

  std::vector<double> loads;
  for (int i = 0; i < 5; ++i) {
    start = Timer::now();
    TTrendFile trend(data, index);
    loads.push_back(Ms(Timer::now() - start));
    if (trend.IndexEntryCount() != static_cast<size_t>(kRecords)) {
      std::fprintf(stderr, "loaded %zu entries\n", trend.IndexEntryCount());
      return 1;
    }
  }
  std::printf("index load (open + read 1,000,000 entries): median %.1f ms, best %.1f ms\n",
              Median(loads), *std::min_element(loads.begin(), loads.end()));

  TTrendFile trend(data, index);
  Fast fast{trend};
  const double newest = kFirstDay + days - 1;
  // The walk over an index cut to its first and newest 65,000 entries, as the
  // first design kept it (it finds the newest days only).
  const std::vector<TIndexObject> all = trend.TimeIndexes();
  std::vector<TIndexObject> capped;
  capped.push_back(all.front());
  capped.insert(capped.end(), all.end() - 65000, all.end());
  for (double day : {newest, kFirstDay + days / 2}) {
    int found = 0;
    double sum = 0;
    // The first run reads every minute from the file; later runs (a chart
    // redrawn) find the minutes' records already read.
    const double first = DayLookups(fast, day, found, sum);
    std::vector<double> runs;
    for (int i = 0; i < 21; ++i) runs.push_back(DayLookups(fast, day, found, sum));
    const double again = Median(runs);
    std::printf("day %.0f: %d lookups, %d found: first run %.2f ms, repeated median %.2f ms\n", day,
                kResources * kQuarters, found, first, again);
    LinearWalk walk(data, day == newest ? capped : all);
    int walkFound = 0;
    double walkSum = 0;
    const double linear = DayLookups(walk, day, walkFound, walkSum);
    std::printf(
        "  linear walk of %zu entries: %.1f ms (%d found, %s): %.0fx the first run, %.0fx "
        "repeated\n",
        day == newest ? capped.size() : all.size(), linear, walkFound,
        walkSum == sum && walkFound == found ? "same values" : "DIFFERENT VALUES", linear / first,
        linear / again);
  }
  {
    LinearWalk walk(data, all);
    int found = 0;
    double sum = 0;
    const double linear = DayLookups(walk, newest, found, sum);
    std::printf("day %.0f: linear walk of all %zu entries: %.1f ms (%d found)\n", newest,
                all.size(), linear, found);
  }

  if (ownFolder) fs::remove_all(folder);
  return 0;
}
