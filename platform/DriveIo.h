// File I/O for the timed drive and file transfers. The page cache would
// otherwise answer a read of the block just written (or of a file read a
// moment ago) from memory, and a write would only reach memory: every write
// here reaches the backing store before it returns, and every read comes
// from the device or server (direct I/O where the file system takes it,
// else the file's cached pages are dropped before the read).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// An open test file or read-only file.
class DriveFile {
 public:
  virtual ~DriveFile() = default;
  // Writes `size` bytes at `offset`; true once they reached the backing store.
  virtual bool Write(const uint8_t* data, int32_t size, int64_t offset) = 0;
  // Reads up to `size` bytes at `offset`, not from the cache; the count
  // read (0 at the end), or -1 on failure.
  virtual int32_t Read(uint8_t* data, int32_t size, int64_t offset) = 0;
  // Drops cached pages of the file, so that the following reads reach the
  // device. Called outside the timed sections.
  virtual void DropCache() = 0;
  // Whether reads and writes bypass the cache directly (else they sync and
  // drop pages instead).
  virtual bool Direct() const = 0;
};

class DriveIo {
 public:
  virtual ~DriveIo() = default;
  // Creates the drive test file at `path` for reading and writing, empty.
  // An existing file is truncated only when it is a regular file of this
  // user with a single name; a symbolic link or anything else at that name
  // is left untouched and the call fails (nullptr).
  virtual std::unique_ptr<DriveFile> CreateTestFile(const std::string& path) = 0;
  // Deletes the test file at `path` when that name still refers to `file`.
  virtual void RemoveTestFile(const std::string& path, DriveFile& file) = 0;
  // Opens an existing regular file for reading only and holds an advisory
  // lock on it while open (other programs that honour locks cannot lock it;
  // a file locked by another program is refused). nullptr on failure.
  virtual std::unique_ptr<DriveFile> OpenReadOnly(const std::string& path) = 0;
};

// The file I/O of this system.
DriveIo& SystemDriveIo();

}  // namespace tw
