// Drive and file I/O on Linux. Writes use O_DSYNC, so each one returns only
// when its data reached the backing store. Reads and writes whose offset and
// size fit the file system's direct-I/O alignment go through O_DIRECT (with
// an aligned bounce buffer); the rest drop the file's cached pages first.
// File systems without O_DIRECT (tmpfs, some FUSE mounts) take the second
// way throughout. FUSE does not pass O_DSYNC on to its file system for
// direct writes (sshfs answers a write before its server has the data), so
// there each write is followed by an explicit fdatasync, which it does pass.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/DriveIo.h"

namespace tw {

namespace {

constexpr int32_t kBounceSize = 128 * 1024;
constexpr size_t kMemoryAlign = 4096;
// Offsets and sizes of direct transfers are kept to multiples of this.
constexpr int64_t kDirectAlign = 512;
constexpr long kFuseMagic = 0x65735546;

bool OnFuse(int fd) {
  struct statfs fs {};
  return fstatfs(fd, &fs) == 0 && fs.f_type == kFuseMagic;
}

class LinuxDriveFile final : public DriveFile {
 public:
  explicit LinuxDriveFile(int fd) : fd_(fd), syncAfterWrite_(OnFuse(fd)) {
    directOk_ = SetDirect(true);
    if (directOk_) bounce_ = static_cast<uint8_t*>(std::aligned_alloc(kMemoryAlign, kBounceSize));
    if (bounce_ == nullptr) FallBackToCache();
  }
  ~LinuxDriveFile() override {
    close(fd_);
    std::free(bounce_);
  }

  bool Write(const uint8_t* data, int32_t size, int64_t offset) override {
    if (size < 0) return false;
    if (UseDirect(size, offset)) {
      // An aligned caller's buffer goes to the device as it is.
      const uint8_t* from = data;
      if (!Aligned(data)) {
        std::memcpy(bounce_, data, static_cast<size_t>(size));
        from = bounce_;
      }
      const ssize_t n = pwrite(fd_, from, static_cast<size_t>(size), offset);
      if (n == size) return Synced();
      if (n >= 0 || errno != EINVAL) return false;
      FallBackToCache();
    }
    SetDirect(false);
    return pwrite(fd_, data, static_cast<size_t>(size), offset) == size && Synced();
  }

  int32_t Read(uint8_t* data, int32_t size, int64_t offset) override {
    if (size < 0) return -1;
    if (UseDirect(size, offset)) {
      uint8_t* into = Aligned(data) ? data : bounce_;
      const ssize_t n = pread(fd_, into, static_cast<size_t>(size), offset);
      if (n >= 0) {
        if (into != data) std::memcpy(data, bounce_, static_cast<size_t>(n));
        return static_cast<int32_t>(n);
      }
      if (errno != EINVAL) return -1;
      FallBackToCache();
    }
    SetDirect(false);
    const ssize_t n = pread(fd_, data, static_cast<size_t>(size), offset);
    return n < 0 ? -1 : static_cast<int32_t>(n);
  }

  void DropCache() override { (void)posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED); }

  bool Direct() const override { return directOk_; }

  int Descriptor() const { return fd_; }

 private:
  static bool Aligned(const uint8_t* p) {
    return reinterpret_cast<uintptr_t>(p) % kMemoryAlign == 0;
  }

  // Whether a write that returned has reached the backing store.
  bool Synced() { return !syncAfterWrite_ || fdatasync(fd_) == 0; }

  bool UseDirect(int32_t size, int64_t offset) {
    if (!directOk_ || size > kBounceSize || size % kDirectAlign != 0 ||
        offset % kDirectAlign != 0) {
      return false;
    }
    return SetDirect(true);
  }

  void FallBackToCache() {
    directOk_ = false;
    SetDirect(false);
  }

  bool SetDirect(bool on) {
    if (directSet_ == on) return true;
    const int flags = fcntl(fd_, F_GETFL);
    if (flags < 0) return false;
    if (fcntl(fd_, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) != 0) return false;
    directSet_ = on;
    return true;
  }

  int fd_;
  bool syncAfterWrite_;
  bool directOk_ = false;
  bool directSet_ = false;
  uint8_t* bounce_ = nullptr;
};

// Opens `path` without blocking on a FIFO; -1 unless it is a regular file.
int OpenRegular(const std::string& path, int flags, mode_t mode, struct stat& st) {
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  const int fl = fcntl(fd, F_GETFL);
  if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

class LinuxDriveIo final : public DriveIo {
 public:
  std::unique_ptr<DriveFile> CreateTestFile(const std::string& path) override {
    struct stat st {};
    // The name is fixed and the folder may be writable by others: a link
    // placed there must not lead the writes anywhere else.
    const int fd = OpenRegular(path, O_RDWR | O_CREAT | O_DSYNC | O_NOFOLLOW, 0644, st);
    if (fd < 0) return nullptr;
    // Only our own file with a single name may be emptied: never another
    // user's file, nor a hard link that shares its data with another name.
    if (st.st_uid != geteuid() || st.st_nlink != 1 || ftruncate(fd, 0) != 0) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<LinuxDriveFile>(fd);
  }

  void RemoveTestFile(const std::string& path, DriveFile& file) override {
    struct stat mine {
    }, named{};
    const int fd = static_cast<LinuxDriveFile&>(file).Descriptor();
    if (fstat(fd, &mine) != 0 || lstat(path.c_str(), &named) != 0) return;
    if (mine.st_dev == named.st_dev && mine.st_ino == named.st_ino) (void)unlink(path.c_str());
  }

  std::unique_ptr<DriveFile> OpenReadOnly(const std::string& path) override {
    // The user chose this file; a link to it is read like the file itself.
    struct stat st {};
    const int fd = OpenRegular(path, O_RDONLY, 0, st);
    if (fd < 0) return nullptr;
    // Linux has no share modes. An exclusive advisory lock keeps out the
    // programs that ask for one; a file another program holds locked is
    // refused. File systems without flock (some network mounts refuse an
    // exclusive lock on a read-only descriptor) are read unlocked.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<LinuxDriveFile>(fd);
  }
};

}  // namespace

DriveIo& SystemDriveIo() {
  static LinuxDriveIo io;
  return io;
}

}  // namespace tw
