#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string* error) {
  std::string temp = path + ".XXXXXX";
  // A write beyond a file-size limit must fail with EFBIG, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Fail(error, "cannot create a file beside it", errno);
  // mkstemp creates the file for the owner only; a settings file is
  // readable like any other file the user creates.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
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
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace tw
