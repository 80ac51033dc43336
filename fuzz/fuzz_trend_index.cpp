// libFuzzer target for loading the trend files and looking records up.
//
// Input: a 4-byte little-endian length n, then n bytes of the data file
// "MERLISK.D", then the rest as the index file "MERLISK.ND" (n is cut to
// what the input holds). The files are written to a private folder, loaded,
// and every minute that the loaded index names is looked up for a few names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzFiles.h"
#include "trend/TrendFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string folder = tw::fuzz::Folder({"MERLISK.D", "MERLISK.ND"});
  const std::string data = folder + "/MERLISK.D";
  const std::string index = folder + "/MERLISK.ND";
  size_t dataSize = 0;
  if (!tw::fuzz::WriteTrendPair(bytes, size, data, index, dataSize)) return 0;

  tw::TTrendFile trend(data, index);
  // Loading keeps no more entries than the data file holds whole records.
  const size_t records = dataSize > tw::kTrendHeaderSize
                             ? (dataSize - tw::kTrendHeaderSize) / tw::kTrendRecordSize
                             : 0;
  if (trend.IndexEntryCount() > records) abort();
  size_t looked = 0;
  for (const tw::TIndexObject& entry : trend.TimeIndexes()) {
    if (++looked > 64) break;
    for (const char* name : {"", "HOST", "127.0.0.1", "\\\\SERVER\\SHARE"}) {
      tw::TrendValues values;
      trend.FindRecord(name, entry.Stamp, values);
    }
  }
  if (trend.AppendRecord("host", 1, 2, 3, 45000.0)) {
    tw::TrendValues values;
    trend.FindRecord("HOST", 45000.0, values);
  }
  return 0;
}
