// A private folder for the files a fuzz target writes its input to: in
// memory where /dev/shm exists, made once and removed at exit.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace tw::fuzz {

// Plain buffers: they must outlive the clean-up at exit.
inline char gFolder[64];
inline const char* gNames[4];
inline int gNameCount = 0;

inline void RemoveFolder() {
  for (int i = 0; i < gNameCount; ++i) unlink((std::string(gFolder) + "/" + gNames[i]).c_str());
  rmdir(gFolder);
}

// The folder, made on the first call; `names` are the files to remove at exit.
inline std::string Folder(std::initializer_list<const char*> names) {
  if (gFolder[0] == 0) {
    std::snprintf(
        gFolder, sizeof gFolder, "%s",
        access("/dev/shm", W_OK) == 0 ? "/dev/shm/tw-fuzz-XXXXXX" : "/tmp/tw-fuzz-XXXXXX");
    if (mkdtemp(gFolder) == nullptr) abort();
    for (const char* name : names) {
      if (gNameCount < 4) gNames[gNameCount++] = name;
    }
    std::atexit(RemoveFolder);
  }
  return gFolder;
}

inline void WriteFile(const std::string& path, const uint8_t* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) abort();
  if (size > 0 && std::fwrite(bytes, 1, size, file) != size) abort();
  std::fclose(file);
}

// The input as the trend files: a 4-byte little-endian length n, then n bytes
// of the data file, then the rest as the index file (n is cut to what the
// input holds). False when the input is shorter than the length.
inline bool WriteTrendPair(const uint8_t* bytes, size_t size, const std::string& data,
                           const std::string& index, size_t& dataSize) {
  if (size < 4) return false;
  dataSize = static_cast<size_t>(bytes[0]) | static_cast<size_t>(bytes[1]) << 8 |
             static_cast<size_t>(bytes[2]) << 16 | static_cast<size_t>(bytes[3]) << 24;
  if (dataSize > size - 4) dataSize = size - 4;
  WriteFile(data, bytes + 4, dataSize);
  WriteFile(index, bytes + 4 + dataSize, size - 4 - dataSize);
  return true;
}

}  // namespace tw::fuzz
