// Host name lookup for the echo test. A lookup can hang for as long as the
// system's resolver likes, so it runs on a helper thread of its own and the
// waiting caller can be released at any moment (closing must not wait for
// it). Errors are WinSock codes, the vocabulary of the WinSock message table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/HostAddress.h"

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
  int32_t error = 0;    // WinSock code; 0 when an address was found
  HostAddress address;  // the first IPv4 address, else the first IPv6 one
};

// A blocking resolver: the system's, or a stand-in in tests.
using Resolver = std::function<LookupOutcome(const std::string& name)>;

// The lookups of one measurement thread.
class HostLookup {
 public:
  virtual ~HostLookup() = default;
  // Resolves `name` to an address; waits until the answer or Cancel.
  virtual LookupOutcome Resolve(const std::string& name) = 0;
  // Starts resolving `name` without waiting; the caller goes on with its
  // work and collects the answer with Collect. A lookup still running is
  // forgotten.
  virtual void Start(const std::string& name) = 0;
  // The answer of the started lookup once it is there (handed out once);
  // nothing while it runs or when none was started.
  virtual std::optional<LookupOutcome> Collect() = 0;
  // Any thread: releases a waiting Resolve (it returns Cancelled) and makes
  // later ones return Cancelled at once.
  virtual void Cancel() = 0;
};

// Lookups that run `resolve` on a detached helper thread per call; a
// cancelled caller returns at once and the helper ends on its own later.
std::unique_ptr<HostLookup> NewDetachedLookup(Resolver resolve);

// The system's resolver. A name with an IPv4 address gives the first of
// them; a name with only IPv6 addresses gives the first IPv6 one.
LookupOutcome SystemResolve(const std::string& name);

}  // namespace tw
