// Linux has no sharing modes on open(): the exclusive access of the trend
// files is an flock() lock on the open file, taken without waiting.
//
// O_NOFOLLOW refuses a link in the file's place; O_NONBLOCK keeps the open of
// a FIFO from waiting for a writer (it changes nothing for a regular file).
// The type and owner are checked on the open descriptor, so nothing can be
// swapped in between the check and the use.
#include "platform/LockedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tw {

namespace {

LockedFile::OpenResult LockOrClose(int fd) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const bool busy = errno == EWOULDBLOCK;
    close(fd);
    return busy ? LockedFile::OpenResult::Busy : LockedFile::OpenResult::Failed;
  }
  return LockedFile::OpenResult::Opened;
}

LockedFile::OpenResult FromErrno(int error) {
  switch (error) {
    case ENOENT:
      return LockedFile::OpenResult::Missing;
    case ELOOP:   // a link (O_NOFOLLOW)
    case EISDIR:  // a folder
    case ENXIO:   // a FIFO without a reader, a socket, a device without a driver
      return LockedFile::OpenResult::Refused;
    default:
      return LockedFile::OpenResult::Failed;
  }
}

constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// Keeps `fd` only when it is a regular file of this user.
LockedFile::OpenResult CheckOwnRegularFile(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    close(fd);
    return LockedFile::OpenResult::Failed;
  }
  if (!S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
    close(fd);
    return LockedFile::OpenResult::Refused;
  }
  return LockedFile::OpenResult::Opened;
}

}  // namespace

LockedFile::OpenResult LockedFile::OpenExisting(const std::string& path) {
  Close();
  bool writable = true;
  int fd = open(path.c_str(), O_RDWR | kOpenFlags);
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    writable = false;
    fd = open(path.c_str(), O_RDONLY | kOpenFlags);
  }
  if (fd < 0) return FromErrno(errno);
  OpenResult result = CheckOwnRegularFile(fd);
  if (result != OpenResult::Opened) return result;
  result = LockOrClose(fd);
  if (result != OpenResult::Opened) return result;
  handle_ = fd;
  writable_ = writable;
  return result;
}

LockedFile::OpenResult LockedFile::CreateNew(const std::string& path) {
  Close();
  // O_EXCL never follows a link: a link in the file's place makes it fail
  // with EEXIST, and the caller's next OpenExisting refuses the link.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, 0600);
  if (fd < 0) return errno == EEXIST ? OpenResult::Missing : OpenResult::Failed;
  // The umask may only take bits away; 0600 is set outright so that no umask
  // can leave more (or less) than the owner's access.
  fchmod(fd, 0600);
  const OpenResult result = LockOrClose(fd);
  if (result != OpenResult::Opened) return result;
  handle_ = fd;
  writable_ = true;
  return result;
}

void LockedFile::Close() {
  if (handle_ == kNoHandle) return;
  close(static_cast<int>(handle_));  // releases the flock() lock as well
  handle_ = kNoHandle;
  writable_ = false;
}

int64_t LockedFile::Size() const {
  struct stat info {};
  if (handle_ == kNoHandle || fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

int64_t LockedFile::ReadSome(int64_t offset, void* buffer, size_t size) const {
  ssize_t n;
  do {
    n = pread(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  return n;
}

int64_t LockedFile::WriteSome(int64_t offset, const void* data, size_t size) {
  ssize_t n;
  do {
    n = pwrite(static_cast<int>(handle_), data, size, static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  return n;
}

}  // namespace tw
