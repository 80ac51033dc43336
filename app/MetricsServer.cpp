#include "app/MetricsServer.h"

#include <QTcpServer>
#include <memory>
#include <vector>

#include "dialogs/AboutBox.h"
#include "monitor/MetricsHost.h"

namespace tw {

namespace {

constexpr const char* kExpositionType = "text/plain; version=0.0.4; charset=utf-8";

// The reason a listen failed, in a few words a user can act on.
std::string ListenProblem(const QTcpServer& server) {
  switch (server.serverError()) {
    case QAbstractSocket::AddressInUseError:
      return "the port is in use";
    case QAbstractSocket::SocketAccessError:
      return "the port is not allowed for this user";
    case QAbstractSocket::SocketAddressNotAvailableError:
      return "the address is not one of this machine's";
    default:
      return server.errorString().toStdString();
  }
}

std::string Endpoint(const std::string& address, int port) {
  const bool v6 = address.find(':') != std::string::npos;
  return (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

}  // namespace

TMetricsServer::TMetricsServer(QObject* parent) : QObject(parent) {
  http_.route("/metrics", QHttpServerRequest::Method::Get, [this] { return MetricsPage(); });
  http_.setMissingHandler([](const QHttpServerRequest&, QHttpServerResponder&& responder) {
    responder.write(QHttpServerResponder::StatusCode::NotFound);
  });
}

std::string TMetricsServer::Listen(const std::string& address, int port) {
  const bool loopbackName = address == "localhost";
  std::vector<QHostAddress> addresses;
  if (loopbackName) {
    addresses = {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)};
  } else {
    addresses = {QHostAddress(QString::fromStdString(address))};
  }
  std::vector<std::unique_ptr<QTcpServer>> listening;
  for (const QHostAddress& host : addresses) {
    auto server = std::make_unique<QTcpServer>();
    if (server->listen(host, static_cast<quint16>(port))) {
      listening.push_back(std::move(server));
      continue;
    }
    // "localhost" on a system without IPv6 is its IPv4 loopback alone.
    const bool optional = loopbackName && host.protocol() == QAbstractSocket::IPv6Protocol &&
                          server->serverError() != QAbstractSocket::AddressInUseError;
    if (optional) continue;
    return "cannot serve metrics on " + Endpoint(address, port) + ": " + ListenProblem(*server);
  }
  for (auto& server : listening) {
    server->setParent(&http_);
    http_.bind(server.release());
  }
  port_ = port;
  return {};
}

void TMetricsServer::Publish(const MetricsHost& metrics) {
  metrics_ = &metrics;
}

QHttpServerResponse TMetricsServer::MetricsPage() const {
  if (metrics_ == nullptr)
    return QHttpServerResponse(QHttpServerResponder::StatusCode::ServiceUnavailable);
  const std::string text = metrics_->Exposition(ProgramVersion().toStdString());
  return QHttpServerResponse(kExpositionType, QByteArray::fromStdString(text));
}

}  // namespace tw
