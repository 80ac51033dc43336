// Web downloads on Windows with WinHTTP (the system's proxy settings and
// certificate store).
//
// Why a helper thread per download: a synchronous WinHTTP call waits for the
// server as long as its timeout says, and closing its handle from another
// thread does not end that wait everywhere. So the transfer runs on a thread
// of its own that shares only a small record with the caller; the caller
// waits for it in short steps, looking at the stop wish, and on a stop it
// returns at once and leaves the helper to end by itself at its next data or
// its timeout. The helper owns its handles, so nothing it touches is freed
// under it.
#include "platform/HttpDownload.h"

#include <windows.h>
// After windows.h:
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/WideText.h"

namespace tw {

namespace {

using Steady = std::chrono::steady_clock;

constexpr auto kPollStep = std::chrono::milliseconds(20);

int64_t MicrosBetween(Steady::time_point from, Steady::time_point to) {
  return std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
}

// A WinHTTP handle closed when its last user lets go of it.
using Handle = std::shared_ptr<void>;

Handle Hold(HINTERNET handle) {
  return handle == nullptr ? Handle() : Handle(handle, [](void* h) { WinHttpCloseHandle(h); });
}

HttpEnd EndOf(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
      return HttpEnd::Timeout;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return HttpEnd::HostNotFound;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return HttpEnd::CannotConnect;
    case ERROR_WINHTTP_REDIRECT_FAILED:
      return HttpEnd::TooManyRedirects;
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL:
      return HttpEnd::BadAddress;
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
      return HttpEnd::TlsUntrusted;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return HttpEnd::TlsFailed;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
      return HttpEnd::Cancelled;
    default:
      return HttpEnd::Failed;
  }
}

// What the caller and the helper of one download share.
struct TransferState {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  HttpOutcome outcome;
  std::atomic<bool> abandoned{false};
};

// The parts of a URL WinHTTP connects with; false when it is none of ours.
struct Target {
  std::wstring host, path;
  INTERNET_PORT port = 0;
  bool secure = false;
};

bool CrackUrl(const std::string& url, Target& target) {
  // A bare "host/path" is an http address, as the program always took it.
  std::wstring wide = Widen(url.find("://") == std::string::npos ? "http://" + url : url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo != nullptr)
    target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.path.empty()) target.path = L"/";
  target.port = parts.nPort;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return !target.host.empty();
}

int32_t StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  return static_cast<int32_t>(status);
}

// Counts the body and drops it, up to the limit, until it ends, a read fails
// (`end` then says how) or the caller gives the download up.
void ReadBody(HINTERNET request, int64_t maxBytes, TransferState& transfer, HttpOutcome& outcome) {
  std::vector<char> buffer(65536);
  const auto responseStart = Steady::now();
  auto lastBody = responseStart;
  while (!transfer.abandoned) {
    DWORD want = static_cast<DWORD>(buffer.size());
    if (maxBytes > 0)
      want = static_cast<DWORD>(std::min<int64_t>(want, maxBytes - outcome.bodyBytes));
    DWORD got = 0;
    if (!WinHttpReadData(request, buffer.data(), want, &got)) {
      outcome.end = EndOf(GetLastError());
      break;
    }
    if (got == 0) break;
    outcome.bodyBytes += got;
    lastBody = Steady::now();
    if (maxBytes > 0 && outcome.bodyBytes >= maxBytes) break;
  }
  if (outcome.bodyBytes > 0) outcome.bodyMicros = MicrosBetween(responseStart, lastBody);
}

// The whole download, on the helper thread.
HttpOutcome RunTransfer(const Handle& session, const HttpRequest& request,
                        TransferState& transfer) {
  HttpOutcome outcome;
  Target target;
  if (!CrackUrl(request.url, target)) {
    outcome.end = HttpEnd::BadAddress;
    return outcome;
  }
  const Handle connection =
      Hold(WinHttpConnect(session.get(), target.host.c_str(), target.port, 0));
  const Handle handle =
      connection ? Hold(WinHttpOpenRequest(connection.get(), L"GET", target.path.c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           target.secure ? WINHTTP_FLAG_SECURE : 0))
                 : Handle();
  if (!handle) {
    outcome.end = EndOf(GetLastError());
    return outcome;
  }
  HINTERNET r = handle.get();
  const int timeout = request.timeoutMs > 0 ? request.timeoutMs : 0;
  WinHttpSetTimeouts(r, timeout, timeout, timeout, timeout);
  DWORD redirects = kMaxRedirects;
  WinHttpSetOption(r, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);
  if (!WinHttpSendRequest(r, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(r, nullptr)) {
    outcome.end = EndOf(GetLastError());
    return outcome;
  }
  outcome.httpStatus = StatusCode(r);
  if (outcome.httpStatus >= 400) {
    outcome.end = HttpEnd::HttpError;
    return outcome;
  }
  if (outcome.httpStatus >= 300) {
    outcome.end = HttpEnd::TooManyRedirects;
    return outcome;
  }
  outcome.end = HttpEnd::Done;
  ReadBody(r, request.maxBytes, transfer, outcome);
  return outcome;
}

class WinHttpSession final : public HttpSession {
 public:
  WinHttpSession()
      : session_(Hold(WinHttpOpen(L"Tarnwick", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0))) {}

  HttpOutcome Download(const HttpRequest& request) override {
    HttpOutcome outcome;
    if (!session_) return outcome;
    const auto stopNow = [&] {
      return cancelled_.load() || (request.stopWanted && request.stopWanted());
    };
    if (stopNow()) {
      outcome.end = HttpEnd::Cancelled;
      return outcome;
    }
    auto transfer = std::make_shared<TransferState>();
    std::thread([transfer, session = session_, copy = WithoutStopWish(request)] {
      HttpOutcome result = RunTransfer(session, copy, *transfer);
      std::lock_guard<std::mutex> lock(transfer->mutex);
      transfer->outcome = result;
      transfer->done = true;
      transfer->finished.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(transfer->mutex);
    while (!transfer->finished.wait_for(lock, kPollStep, [&] { return transfer->done; })) {
      if (stopNow()) {
        transfer->abandoned = true;
        outcome.end = HttpEnd::Cancelled;
        return outcome;
      }
    }
    return transfer->outcome;
  }

  void Cancel() override { cancelled_ = true; }

 private:
  // The helper may outlive the caller's request and its stop wish.
  static HttpRequest WithoutStopWish(const HttpRequest& request) {
    HttpRequest copy = request;
    copy.stopWanted = nullptr;
    return copy;
  }

  Handle session_;
  std::atomic<bool> cancelled_{false};
};

class WinHttpDownload final : public HttpDownload {
 public:
  std::unique_ptr<HttpSession> Open() override { return std::make_unique<WinHttpSession>(); }
};

class NoDownload final : public HttpDownload {
 public:
  std::unique_ptr<HttpSession> Open() override { return nullptr; }
};

}  // namespace

HttpDownload& SystemHttpDownload() {
  static WinHttpDownload system;
  return system;
}

// WinHTTP trusts the system's certificate store only; a download that
// trusts one file's certificates is not offered here.
std::unique_ptr<HttpDownload> NewHttpDownloadTrusting(const std::string&) {
  return std::make_unique<NoDownload>();
}

}  // namespace tw
