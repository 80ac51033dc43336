#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace tw {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Fail(std::string* error, const char* what, int code) {
  if (error != nullptr) *error = std::string(what) + ": " + std::strerror(code);
  return false;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

FileRead ReadFailure(FileReadStatus status, const std::string& error) {
  FileRead result;
  result.status = status;
  result.error = error;
  return result;
}

FileRead ReadOpenFile(int fd, size_t maxBytes) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return ReadFailure(FileReadStatus::Unreadable, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return ReadFailure(FileReadStatus::NotRegular, "not a regular file");
  if (static_cast<unsigned long long>(info.st_size) > maxBytes)
    return ReadFailure(FileReadStatus::TooLarge, "larger than the limit");
  FileRead result;
  result.status = FileReadStatus::Ok;
  result.bytes.reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadFailure(FileReadStatus::Unreadable, std::strerror(errno));
    if (n == 0) break;
    result.bytes.append(buffer, static_cast<size_t>(n));
    // The file may grow while it is read.
    if (result.bytes.size() > maxBytes)
      return ReadFailure(FileReadStatus::TooLarge, "larger than the limit");
  }
  return result;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string* error) {
  std::string temp = path + ".XXXXXX";
  // A write beyond a file-size limit must fail with EFBIG, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Fail(error, "cannot create a file beside it", errno);
  // mkstemp creates the file for the owner only whatever the umask; say so
  // explicitly, since the file may hold command lines the program runs.
  ::fchmod(fd, 0600);
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    const int code = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail(error, "cannot write", code);
  }
  if (::close(fd) != 0) {
    const int code = errno;
    ::unlink(temp.c_str());
    return Fail(error, "cannot write", code);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int code = errno;
    ::unlink(temp.c_str());
    return Fail(error, "cannot replace", code);
  }
  // Make the rename itself durable.
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

FileRead ReadRegularFile(const std::string& path, size_t maxBytes) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int code = errno;
    // A dangling link is something the user put there: not a missing file.
    if (code == ENOENT && !PathExists(path)) return ReadFailure(FileReadStatus::Missing, "");
    return ReadFailure(FileReadStatus::Unreadable, std::strerror(code));
  }
  FileRead result = ReadOpenFile(fd, maxBytes);
  ::close(fd);
  return result;
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool CreatePrivateFolders(const std::string& path) {
  struct stat info {};
  if (path.empty()) return false;
  if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::string parent = FolderOf(path);
  if (parent != path && parent != "." && !CreatePrivateFolders(parent)) return false;
  // mkdir applies the umask, which may only take bits away from 0700.
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

RenameOutcome RenameWithoutReplacing(const std::string& from, const std::string& to,
                                     std::string* error) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return RenameOutcome::Done;
  int code = errno;
  if (code == EINVAL || code == ENOSYS) {
    // A file system without the no-replace rename: check first, then rename.
    if (PathExists(to)) return RenameOutcome::NameTaken;
    if (::rename(from.c_str(), to.c_str()) == 0) return RenameOutcome::Done;
    code = errno;
  }
  if (code == EEXIST) return RenameOutcome::NameTaken;
  Fail(error, "cannot rename", code);
  return RenameOutcome::Failed;
}

}  // namespace tw
