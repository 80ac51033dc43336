// A file held open with an exclusive lock for as long as the object keeps it
// open, so that a second running copy of the program cannot write into it.
// The lock is advisory where the system has no sharing modes: it keeps out
// every copy of this program, not other programs that ignore it.
//
// Only a regular file that belongs to this user is ever opened: a link is not
// followed, and a FIFO, a device or a folder in the file's place is refused
// without waiting on it, so that the program never writes where the name
// does not lead straight to its own file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tw {

class LockedFile {
 public:
  enum class OpenResult {
    Opened,   // open and locked
    Missing,  // no such file
    Busy,     // another open of the file holds the lock
    Refused,  // a link, not a regular file, or another user's file
    Failed    // any other failure (permissions, ...)
  };

  LockedFile() = default;
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // Opens an existing file for reading and, where permitted, for writing,
  // and takes the lock without waiting for it.
  OpenResult OpenExisting(const std::string& path);
  // Creates a file that must not exist yet and opens it, locked, for reading
  // and writing, readable and writable by its owner only (0600 whatever the
  // umask). Missing is returned when it exists already.
  OpenResult CreateNew(const std::string& path);
  // Closes the file and so releases the lock.
  void Close();

  bool IsOpen() const { return handle_ != kNoHandle; }
  bool Writable() const { return writable_; }
  // The size in bytes, -1 when it cannot be told.
  int64_t Size() const;
  // Reads up to `size` bytes at `offset`; returns how many were read (fewer at
  // the end of the file, 0 on a failure).
  size_t ReadAt(int64_t offset, void* buffer, size_t size) const;
  // Writes all `size` bytes at `offset`; false when not all of them were written.
  bool WriteAt(int64_t offset, const void* data, size_t size);

 private:
  // One transfer at `offset` by the system, retried when interrupted: the
  // bytes moved (maybe fewer than `size`), 0 at the end of the file, -1 on a
  // failure.
  int64_t ReadSome(int64_t offset, void* buffer, size_t size) const;
  int64_t WriteSome(int64_t offset, const void* data, size_t size);

  static constexpr intptr_t kNoHandle = -1;
  intptr_t handle_ = kNoHandle;
  bool writable_ = false;
};

}  // namespace tw
