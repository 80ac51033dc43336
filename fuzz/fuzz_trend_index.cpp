// libFuzzer target for loading the trend files and looking records up.
//
// Input: a 4-byte little-endian length n, then n bytes of the data file
// "MERLISK.D", then the rest as the index file "MERLISK.ND" (n is cut to
// what the input holds). The files are written to a private folder (in
// memory where /dev/shm exists), loaded, and every minute that the loaded
// index names is looked up for a few names, as the trend chart would.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "trend/TrendFile.h"

namespace {

// A plain buffer: it must outlive the clean-up at exit.
char gFolder[64];

void RemoveFolder() {
  for (const char* name : {"/MERLISK.D", "/MERLISK.ND"}) {
    unlink((std::string(gFolder) + name).c_str());
  }
  rmdir(gFolder);
}

std::string Folder() {
  if (gFolder[0] == 0) {
    std::snprintf(
        gFolder, sizeof gFolder, "%s",
        access("/dev/shm", W_OK) == 0 ? "/dev/shm/tw-fuzz-XXXXXX" : "/tmp/tw-fuzz-XXXXXX");
    if (mkdtemp(gFolder) == nullptr) abort();
    std::atexit(RemoveFolder);
  }
  return gFolder;
}

void WriteFile(const std::string& path, const uint8_t* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) abort();
  if (size > 0 && std::fwrite(bytes, 1, size, file) != size) abort();
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 4) return 0;
  size_t dataSize = tw::GetUint32(bytes);
  if (dataSize > size - 4) dataSize = size - 4;
  const std::string data = Folder() + "/MERLISK.D";
  const std::string index = Folder() + "/MERLISK.ND";
  WriteFile(data, bytes + 4, dataSize);
  WriteFile(index, bytes + 4 + dataSize, size - 4 - dataSize);

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
