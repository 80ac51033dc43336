// A web server a test starts for itself (tests/support/web_server.py on
// 127.0.0.1, optionally inside a network namespace of the test's own), and
// the self-signed certificate of its HTTPS variant.
#pragma once

#include <sys/types.h>

#include <string>

namespace tw::test {

class WebServer {
 public:
  struct Options {
    std::string netns;              // the namespace to serve in; empty: this one
    std::string certFile, keyFile;  // both set: HTTPS
  };
  explicit WebServer(const Options& options);
  // Ends the server process.
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Whether python3 and the script are there (tests skip otherwise).
  static bool Available();
  bool Ok() const { return port_ > 0; }
  // "http://127.0.0.1:<port>" + path (https for a server with a certificate).
  std::string Url(const std::string& path) const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  bool https_ = false;
};

// Makes a self-signed certificate for 127.0.0.1 with openssl in `folder`:
// "cert.pem" (also the authority to trust) and "key.pem". False when openssl
// failed.
bool MakeSelfSignedCertificate(const std::string& folder);

}  // namespace tw::test
