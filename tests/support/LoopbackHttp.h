// A plain HTTP/1.0 client for tests that talk to a server of their own on
// the loopback address, and a free port for such a server.
#pragma once

#include <string>

namespace tw::test {

struct HttpReply {
  int status = 0;       // 0: no answer (refused, timed out, garbled)
  std::string headers;  // the status line and header lines, CR LF kept
  std::string body;
};

// Sends `method` `target` (path and query, already percent-encoded) to
// `host` ("127.0.0.1" or "::1") and `port`; waits at most `timeoutMs` for the
// whole answer.
HttpReply LoopbackHttp(const std::string& host, int port, const std::string& method,
                       const std::string& target, int timeoutMs = 5000);

// A port nothing listens on at the moment (for a server the test starts next).
int FreeLoopbackPort();

// `text` percent-encoded for a URL query.
std::string PercentEncoded(const std::string& text);

}  // namespace tw::test
