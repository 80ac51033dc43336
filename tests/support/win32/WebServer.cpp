// Under Wine the test programs cannot start the test web server themselves:
// scripts/test-windows.sh starts tests/support/web_server.py on the host's
// 127.0.0.1 before the tests and names its port in TARNWICK_TEST_WEB_PORT.
// Only the plain HTTP server outside any namespace is offered.
#include <cstdlib>
#include <string>

#include "support/WebServer.h"

namespace tw::test {

namespace {

int SharedServerPort() {
  const char* port = std::getenv("TARNWICK_TEST_WEB_PORT");
  return port != nullptr ? std::atoi(port) : 0;
}

}  // namespace

bool WebServer::Available() {
  return SharedServerPort() > 0;
}

WebServer::WebServer(const Options& options) {
  if (options.netns.empty() && options.certFile.empty()) port_ = SharedServerPort();
}

WebServer::~WebServer() = default;

std::string WebServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool MakeSelfSignedCertificate(const std::string&) {
  return false;
}

}  // namespace tw::test
