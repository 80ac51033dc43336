// Host name lookup for the echo test. A lookup can hang for as long as the
// system's resolver likes, so it runs on a helper thread of its own and the
// waiting caller can be released at any moment (closing must not wait for
// it). Errors are WinSock codes, the vocabulary of the WinSock message table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tw {

// WinSock codes of the lookup outcomes.
namespace WsaCode {
constexpr int32_t Cancelled = 10004;  // "Blocking call cancelled"
constexpr int32_t NoBufferSpace = 10055;
constexpr int32_t NetworkDown = 10050;
constexpr int32_t HostNotFound = 11001;
constexpr int32_t TryAgain = 11002;  // "Host not found or server failure"
constexpr int32_t NoRecovery = 11003;
constexpr int32_t NoData = 11004;  // "Not found"
}  // namespace WsaCode

struct LookupOutcome {
  int32_t error = 0;     // WinSock code; 0 when an address was found
  uint32_t address = 0;  // first IPv4 address, network byte order
};

// A blocking resolver: the system's, or a stand-in in tests.
using Resolver = std::function<LookupOutcome(const std::string& name)>;

// The lookups of one measurement thread.
class HostLookup {
 public:
  virtual ~HostLookup() = default;
  // Resolves `name` to an IPv4 address; waits until the answer or Cancel.
  virtual LookupOutcome Resolve(const std::string& name) = 0;
  // Any thread: releases a waiting Resolve (it returns Cancelled) and makes
  // later ones return Cancelled at once.
  virtual void Cancel() = 0;
};

// Lookups that run `resolve` on a detached helper thread per call; a
// cancelled caller returns at once and the helper ends on its own later.
std::unique_ptr<HostLookup> NewDetachedLookup(Resolver resolve);

// The system's resolver (IPv4 only).
LookupOutcome SystemResolve(const std::string& name);

// A dotted IPv4 text ("10.1.2.3") as an address in network byte order;
// all bits set when the text is not one (so "255.255.255.255" reads as
// "not an address" and goes to the name lookup).
uint32_t ParseDottedAddress(const std::string& text);

}  // namespace tw
