// What every system's locked file does alike: reads and writes that go on
// until all bytes are moved (the system may move fewer at a time), and the
// close on destruction. Opening, locking and the single transfers are the
// system's own (linux/, win32/).
#include "platform/LockedFile.h"

namespace tw {

LockedFile::~LockedFile() {
  Close();
}

size_t LockedFile::ReadAt(int64_t offset, void* buffer, size_t size) const {
  if (handle_ == kNoHandle || offset < 0) return 0;
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const int64_t n = ReadSome(offset + static_cast<int64_t>(done), out + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool LockedFile::WriteAt(int64_t offset, const void* data, size_t size) {
  if (handle_ == kNoHandle || !writable_ || offset < 0) return false;
  const auto* in = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const int64_t n = WriteSome(offset + static_cast<int64_t>(done), in + done, size - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace tw
