// A real Prometheus server (Debian's prometheus package) that a test starts
// for itself on 127.0.0.1: its own configuration and storage in a temporary
// folder, a free port, and scrape targets on this machine every second.
// Asked through its HTTP API; stopped (SIGTERM, then SIGKILL) when it goes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tw::test {

class PrometheusServer {
 public:
  // Scrapes /metrics of each "host:port" in `targets` every second (all in
  // one job, "tarnwick"). Waits up to 60 s until the server says it is ready.
  explicit PrometheusServer(const std::vector<std::string>& targets);
  ~PrometheusServer();
  PrometheusServer(const PrometheusServer&) = delete;
  PrometheusServer& operator=(const PrometheusServer&) = delete;

  // Why tests that need it skip; empty when the prometheus binary is there.
  static std::string Missing();
  // Ready to answer queries; otherwise Log() says why not.
  bool Ok() const { return ready_; }
  int Port() const { return port_; }
  // The values of an instant query's result samples (empty: no sample yet,
  // or the query failed).
  std::vector<double> Query(const std::string& promql) const;
  // Waits up to `timeoutMs` until some sample of `promql` is above `floor`.
  bool WaitForValueAbove(const std::string& promql, double floor, int timeoutMs) const;
  // What the server wrote to its standard output and error.
  std::string Log() const;

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  bool ready_ = false;
};

}  // namespace tw::test
