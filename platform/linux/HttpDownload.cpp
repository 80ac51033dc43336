// Web downloads with libcurl. Each session drives one easy handle through a
// multi handle of its own, so that the wait for data can be woken by Cancel
// from another thread and looks at the caller's stop wish every few
// milliseconds instead of once a second.
#include "platform/HttpDownload.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace tw {

namespace {

using Steady = std::chrono::steady_clock;

constexpr int kPollMs = 20;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int64_t MicrosBetween(Steady::time_point from, Steady::time_point to) {
  return std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
}

// What the callbacks of one download keep.
struct Progress {
  const HttpRequest* request = nullptr;
  const std::atomic<bool>* cancelled = nullptr;
  int64_t bodyBytes = 0;
  bool limitReached = false;
  bool stopped = false;
  Steady::time_point responseStart{}, lastBody{}, lastActivity{};

  bool StopNow() {
    if (cancelled->load() || (request->stopWanted && request->stopWanted())) stopped = true;
    return stopped;
  }
};

// Each response (a redirect's too) starts with its status line; the last one
// to start is the response whose body is timed.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& p = *static_cast<Progress*>(user);
  const size_t bytes = size * count;
  p.lastActivity = Steady::now();
  if (bytes >= 5 && std::memcmp(data, "HTTP/", 5) == 0) p.responseStart = p.lastActivity;
  return bytes;
}

// Counts the body and drops it; a body that reaches the limit is cut there
// (the short return ends the transfer).
size_t OnBody(char*, size_t size, size_t count, void* user) {
  auto& p = *static_cast<Progress*>(user);
  const auto bytes = static_cast<int64_t>(size * count);
  p.lastActivity = p.lastBody = Steady::now();
  const int64_t limit = p.request->maxBytes;
  if (limit > 0 && p.bodyBytes + bytes >= limit) {
    p.bodyBytes = limit;
    p.limitReached = true;
    return 0;
  }
  p.bodyBytes += bytes;
  return size * count;
}

int OnTransferInfo(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Progress*>(user)->StopNow() ? 1 : 0;
}

HttpEnd EndOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return HttpEnd::Done;
    case CURLE_HTTP_RETURNED_ERROR:
      return HttpEnd::HttpError;
    case CURLE_PEER_FAILED_VERIFICATION:
      return HttpEnd::TlsUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_USE_SSL_FAILED:
      return HttpEnd::TlsFailed;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpEnd::Timeout;
    case CURLE_TOO_MANY_REDIRECTS:
      return HttpEnd::TooManyRedirects;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return HttpEnd::HostNotFound;
    case CURLE_COULDNT_CONNECT:
      return HttpEnd::CannotConnect;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return HttpEnd::BadAddress;
    case CURLE_ABORTED_BY_CALLBACK:
      return HttpEnd::Cancelled;
    default:
      return HttpEnd::Failed;
  }
}

class CurlSession final : public HttpSession {
 public:
  explicit CurlSession(const std::string& caFile);
  ~CurlSession() override;
  HttpOutcome Download(const HttpRequest& request) override;
  void Cancel() override;

 private:
  // Runs the transfer until it ends, stops or waits too long for data.
  // Returns the transfer's code, or `timedOut` set.
  CURLcode Drive(Progress& progress, int32_t timeoutMs, bool& timedOut);

  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;
  std::atomic<bool> cancelled_{false};
};

CurlSession::CurlSession(const std::string& caFile) {
  easy_ = curl_easy_init();
  multi_ = curl_multi_init();
  if (easy_ == nullptr) return;
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
  curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_DEFAULT_PROTOCOL, "http");
  curl_easy_setopt(easy_, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy_, CURLOPT_USERAGENT, "Tarnwick");
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, OnTransferInfo);
  curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
  if (!caFile.empty()) curl_easy_setopt(easy_, CURLOPT_CAINFO, caFile.c_str());
}

CurlSession::~CurlSession() {
  if (multi_ != nullptr) curl_multi_cleanup(multi_);
  if (easy_ != nullptr) curl_easy_cleanup(easy_);
}

void CurlSession::Cancel() {
  cancelled_ = true;
  if (multi_ != nullptr) curl_multi_wakeup(multi_);
}

HttpOutcome CurlSession::Download(const HttpRequest& request) {
  HttpOutcome outcome;
  if (easy_ == nullptr || multi_ == nullptr) return outcome;
  Progress progress;
  progress.request = &request;
  progress.cancelled = &cancelled_;
  if (progress.StopNow()) {
    outcome.end = HttpEnd::Cancelled;
    return outcome;
  }
  for (CURLoption option : {CURLOPT_HEADERDATA, CURLOPT_WRITEDATA, CURLOPT_XFERINFODATA})
    curl_easy_setopt(easy_, option, &progress);
  curl_easy_setopt(easy_, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.timeoutMs));

  bool timedOut = false;
  const CURLcode code = Drive(progress, request.timeoutMs, timedOut);
  long status = 0;
  curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
  outcome.httpStatus = static_cast<int32_t>(status);
  outcome.bodyBytes = progress.bodyBytes;
  if (progress.bodyBytes > 0)
    outcome.bodyMicros = MicrosBetween(progress.responseStart, progress.lastBody);
  if (progress.stopped) {
    outcome.end = HttpEnd::Cancelled;
  } else if (timedOut) {
    outcome.end = HttpEnd::Timeout;
  } else if (code == CURLE_WRITE_ERROR && progress.limitReached) {
    outcome.end = HttpEnd::Done;
  } else {
    outcome.end = EndOf(code);
  }
  return outcome;
}

CURLcode CurlSession::Drive(Progress& progress, int32_t timeoutMs, bool& timedOut) {
  progress.lastActivity = Steady::now();
  curl_multi_add_handle(multi_, easy_);
  CURLcode code = CURLE_FAILED_INIT;
  bool done = false;
  while (!done) {
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) break;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      code = message->data.result;
      done = true;
    }
    if (done || running == 0 || progress.StopNow()) break;
    if (timeoutMs > 0 &&
        MicrosBetween(progress.lastActivity, Steady::now()) > int64_t{timeoutMs} * 1000) {
      timedOut = true;
      break;
    }
    curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
  }
  curl_multi_remove_handle(multi_, easy_);
  return code;
}

class CurlDownload final : public HttpDownload {
 public:
  explicit CurlDownload(std::string caFile) : caFile_(std::move(caFile)) { InitCurlOnce(); }
  std::unique_ptr<HttpSession> Open() override { return std::make_unique<CurlSession>(caFile_); }

 private:
  const std::string caFile_;
};

std::string CertificateFileOfEnvironment() {
  const char* file = std::getenv("SSL_CERT_FILE");
  return file != nullptr ? file : "";
}

}  // namespace

HttpDownload& SystemHttpDownload() {
  static CurlDownload system(CertificateFileOfEnvironment());
  return system;
}

std::unique_ptr<HttpDownload> NewHttpDownloadTrusting(const std::string& caFile) {
  return std::make_unique<CurlDownload>(caFile);
}

}  // namespace tw
