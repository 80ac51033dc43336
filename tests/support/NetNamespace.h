// Network namespaces made by a test for itself: echo and lookup traffic of
// the test stays inside them. Needs root; Available() says whether the test
// can make one, and tests skip with a clear message when not.
#pragma once

#include <string>

namespace tw::test {

class NetNamespace {
 public:
  // Creates a fresh namespace with its loopback up.
  NetNamespace();
  // Deletes the namespace (also after a failed test).
  ~NetNamespace();
  NetNamespace(const NetNamespace&) = delete;
  NetNamespace& operator=(const NetNamespace&) = delete;

  // Whether this process may create namespaces (root and the `ip` tool).
  static bool Available();
  // The reason tests skip when not Available().
  static const char* SkipReason() { return "needs root and iproute2 to create network namespaces"; }

  bool Ok() const { return ok_; }
  const std::string& Name() const { return name_; }
  // Runs a shell command inside the namespace; true when it succeeded.
  bool Run(const std::string& command) const;
  // Sets a sysctl of the namespace (for example "net.ipv4.icmp_echo_ignore_all=1").
  bool Sysctl(const std::string& assignment) const {
    return Run("sysctl -q -w '" + assignment + "'");
  }

  // While alive, the calling thread (and every thread it creates) lives in
  // the namespace; sockets opened then stay in it.
  class Enter {
   public:
    explicit Enter(const NetNamespace& ns);
    ~Enter();
    Enter(const Enter&) = delete;
    Enter& operator=(const Enter&) = delete;
    bool Ok() const { return ok_; }

   private:
    int previous_ = -1;
    bool ok_ = false;
  };

 private:
  std::string name_;
  bool ok_ = false;
};

}  // namespace tw::test
