// A hosts file that the test writes, seen as /etc/hosts by the threads of a
// private mount namespace: names resolve through the system's real resolver
// (getaddrinfo and its "files" source) to addresses the test chooses, and
// change when the test rewrites the file. Needs root; the rest of the test
// process keeps the real /etc/hosts.
#pragma once

#include <functional>
#include <string>

namespace tw::test {

class PrivateHostsFile {
 public:
  PrivateHostsFile();
  ~PrivateHostsFile();
  PrivateHostsFile(const PrivateHostsFile&) = delete;
  PrivateHostsFile& operator=(const PrivateHostsFile&) = delete;

  // Replaces the file's text in place (the mount shows the same file).
  bool Write(const std::string& text);
  // Runs `body` on a new thread whose mount namespace shows this file as
  // /etc/hosts (threads it starts inherit that); waits for it. False, with
  // `problem` saying why, when the namespace could not be made.
  bool RunInside(const std::function<void()>& body, std::string& problem);

 private:
  std::string path_;
};

}  // namespace tw::test
