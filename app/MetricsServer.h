// The metrics endpoint: Qt HTTP Server on the event loop of the UI thread,
// with non-blocking sockets, so a scraper that is slow or never reads its
// answers holds up nothing but its own connection. Only GET /metrics answers
// (the exposition of a MetricsHost); everything else gets 404.
#pragma once

#include <QObject>
#include <QtHttpServer/QHttpServer>
#include <string>

namespace tw {

class MetricsHost;

// The exit code of a program whose metrics endpoint could not be opened.
constexpr int kMetricsListenFailed = 3;

class TMetricsServer final : public QObject {
  Q_OBJECT

 public:
  explicit TMetricsServer(QObject* parent = nullptr);

  // Listens on `address` ("127.0.0.1", "::1" or "localhost": both loopback
  // addresses where the system has IPv6) and `port`. Empty when it listens,
  // else one line saying why not; then nothing listens.
  std::string Listen(const std::string& address, int port);
  // Answers /metrics from `metrics` from now on (not owned; UI thread only).
  void Publish(const MetricsHost& metrics);
  // The port listened on; 0 before a successful Listen.
  int Port() const { return port_; }

 private:
  QHttpServerResponse MetricsPage() const;

  QHttpServer http_;
  const MetricsHost* metrics_ = nullptr;
  int port_ = 0;
};

}  // namespace tw
