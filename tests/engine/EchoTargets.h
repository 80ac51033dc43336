// An echo facility for the engine tests that sends real echoes and records
// where each one went; echoes to one chosen address can be made to time out
// at once, as to a host that has moved away.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/Echo.h"

namespace tw::test {

class EchoTargets final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    struct Socket final : EchoSocket {
      explicit Socket(EchoTargets& o) : owner(o) {}
      EchoTargets& owner;
      std::unique_ptr<EchoSocket> real = SystemEcho().Open();
      int32_t SendEcho(const HostAddress& a, const uint8_t* d, uint16_t s, const IcmpOptions& o,
                       uint32_t t, IcmpReply& r, uint8_t* data, uint32_t cap) override {
        if (owner.Record(a)) return IpStatus::TimedOut;
        return real->SendEcho(a, d, s, o, t, r, data, cap);
      }
      void Cancel() override { real->Cancel(); }
      std::string Kind(IpFamily f) const override { return real->Kind(f); }
    };
    return std::make_unique<Socket>(*this);
  }

  // Echoes to `address` time out from now on.
  void Unreachable(const HostAddress& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    unreachable_ = address;
  }
  std::vector<HostAddress> Sent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
  }
  size_t Count() { return Sent().size(); }
  size_t CountTo(const HostAddress& address) {
    size_t n = 0;
    for (const HostAddress& a : Sent()) n += a == address;
    return n;
  }

 private:
  // Records an echo; true when it must time out.
  bool Record(const HostAddress& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.push_back(address);
    return unreachable_.Resolved() && address == unreachable_;
  }

  std::mutex mutex_;
  std::vector<HostAddress> sent_;
  HostAddress unreachable_;
};

}  // namespace tw::test
