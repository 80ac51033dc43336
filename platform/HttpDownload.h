// Web downloads: fetches a URL over HTTP or HTTPS (redirects followed, the
// system's trusted certificates, proxies from the environment) up to a number
// of bytes, and times the body alone. The body is counted and dropped; what a
// download reports is how it ended, how many body bytes came and how long
// they took, without the name lookup, the connection and the TLS set-up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tw {

// How a download ended.
enum class HttpEnd {
  Done,              // the whole body, or as much of it as was asked for
  HttpError,         // the server answered with a status of 400 or more
  TlsUntrusted,      // the server's certificate is not trusted
  TlsFailed,         // any other TLS failure
  Timeout,           // no answer within the timeout
  TooManyRedirects,  // more than kMaxRedirects redirects
  HostNotFound,      // the host name has no address
  CannotConnect,     // the connection was refused or could not be made
  BadAddress,        // not an HTTP or HTTPS URL
  Cancelled,         // stopped by the caller
  Failed,            // anything else
};

constexpr int kMaxRedirects = 5;

struct HttpOutcome {
  HttpEnd end = HttpEnd::Failed;
  int32_t httpStatus = 0;  // the last response's status code, 0 when none came
  int64_t bodyBytes = 0;
  // From the first byte of the final response to the last body byte counted.
  int64_t bodyMicros = 0;
};

struct HttpRequest {
  std::string url;
  int64_t maxBytes = 0;   // the body is cut here; 0 or less: the whole body
  int32_t timeoutMs = 0;  // longest wait for a connection or for data
  // Asked now and then during the download: true stops it (Cancelled).
  std::function<bool()> stopWanted;
};

// The downloads of one measurement thread (it keeps its connection between
// downloads where the server allows).
class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // Downloads `request.url`; blocks until it ends, times out or is stopped.
  virtual HttpOutcome Download(const HttpRequest& request) = 0;
  // Any thread: ends a running Download at once (Cancelled) and makes every
  // later one return Cancelled.
  virtual void Cancel() = 0;
};

class HttpDownload {
 public:
  virtual ~HttpDownload() = default;
  // Nullptr when the system offers no downloads.
  virtual std::unique_ptr<HttpSession> Open() = 0;
};

// The system's downloads: the certificates of the system's store, or of the
// file the environment's SSL_CERT_FILE names.
HttpDownload& SystemHttpDownload();

// Downloads that trust only the certificates in the PEM file `caFile`.
std::unique_ptr<HttpDownload> NewHttpDownloadTrusting(const std::string& caFile);

}  // namespace tw
