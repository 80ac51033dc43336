// From a row's status text to the status of the metrics. The engine hands
// over texts only (they are what the window shows); the texts of its message
// tables are taken from those tables here, so that a reworded message still
// maps to its status.
#include <utility>

#include "engine/Messages.h"
#include "monitor/Metrics.h"

namespace tw {

namespace {

struct CodeStatus {
  int32_t code;
  MetricsStatus status;
};

// Echo results (IP status codes) that say more than "it failed".
constexpr CodeStatus kEchoStatuses[] = {
    {11002, MetricsStatus::Unreachable}, {11003, MetricsStatus::Unreachable},
    {11004, MetricsStatus::Unreachable}, {11005, MetricsStatus::Unreachable},
    {11006, MetricsStatus::NoResources}, {11010, MetricsStatus::Timeout},
    {11012, MetricsStatus::Unreachable}, {11013, MetricsStatus::Unreachable},
    {11014, MetricsStatus::Unreachable}, {11018, MetricsStatus::Unreachable},
    {11019, MetricsStatus::Unreachable},
};

// Name lookup and socket results (WinSock codes).
constexpr CodeStatus kSocketStatuses[] = {
    {10024, MetricsStatus::NoResources},       {10055, MetricsStatus::NoResources},
    {10051, MetricsStatus::Unreachable},       {10060, MetricsStatus::Timeout},
    {10061, MetricsStatus::ConnectionRefused}, {10064, MetricsStatus::Unreachable},
    {10065, MetricsStatus::Unreachable},       {11001, MetricsStatus::DnsError},
    {11002, MetricsStatus::DnsError},          {11003, MetricsStatus::DnsError},
    {11004, MetricsStatus::DnsError},
};

// Web downloads; "HTTP <code>" and "TLS: ..." are matched by their start.
constexpr std::pair<HttpEnd, MetricsStatus> kWebStatuses[] = {
    {HttpEnd::Timeout, MetricsStatus::Timeout},
    {HttpEnd::HostNotFound, MetricsStatus::DnsError},
    {HttpEnd::CannotConnect, MetricsStatus::ConnectionRefused},
};

constexpr std::pair<const char*, MetricsStatus> kPrefixes[] = {
    {"HTTP ", MetricsStatus::HttpError},
    {"TLS: ", MetricsStatus::TlsError},
    {"Address changed: ", MetricsStatus::AddressChanged},
};

using TextTable = std::vector<std::pair<std::string, MetricsStatus>>;

TextTable BuildTextTable() {
  TextTable table{
      {"", MetricsStatus::Ok},
      {"Testing...", MetricsStatus::Testing},
      {"Get address...", MetricsStatus::Testing},
      {"I/O error.", MetricsStatus::IoError},
  };
  for (const CodeStatus& entry : kEchoStatuses)
    table.emplace_back(IcmpMessage(entry.code), entry.status);
  for (const CodeStatus& entry : kSocketStatuses)
    table.emplace_back(WinSockMessage(entry.code), entry.status);
  for (const auto& [end, status] : kWebStatuses) table.emplace_back(WebMessage({end}), status);
  return table;
}

}  // namespace

const std::vector<MetricsStatus>& AllMetricsStatuses() {
  static const std::vector<MetricsStatus> all{
      MetricsStatus::Ok,
      MetricsStatus::Testing,
      MetricsStatus::AddressChanged,
      MetricsStatus::Timeout,
      MetricsStatus::Unreachable,
      MetricsStatus::DnsError,
      MetricsStatus::ConnectionRefused,
      MetricsStatus::NoResources,
      MetricsStatus::IoError,
      MetricsStatus::HttpError,
      MetricsStatus::TlsError,
      MetricsStatus::Error,
  };
  return all;
}

const char* StatusLabel(MetricsStatus status) {
  switch (status) {
    case MetricsStatus::Ok:
      return "ok";
    case MetricsStatus::Testing:
      return "testing";
    case MetricsStatus::AddressChanged:
      return "address_changed";
    case MetricsStatus::Timeout:
      return "timeout";
    case MetricsStatus::Unreachable:
      return "unreachable";
    case MetricsStatus::DnsError:
      return "dns_error";
    case MetricsStatus::ConnectionRefused:
      return "connection_refused";
    case MetricsStatus::NoResources:
      return "no_resources";
    case MetricsStatus::IoError:
      return "io_error";
    case MetricsStatus::HttpError:
      return "http_error";
    case MetricsStatus::TlsError:
      return "tls_error";
    case MetricsStatus::Error:
      break;
  }
  return "error";
}

MetricsStatus ClassifyStatus(const std::string& text) {
  // Built once, on first use, from the engine's constant tables.
  static const TextTable table = BuildTextTable();
  for (const auto& [known, status] : table) {
    if (text == known) return status;
  }
  for (const auto& [prefix, status] : kPrefixes) {
    if (text.rfind(prefix, 0) == 0) return status;
  }
  return MetricsStatus::Error;
}

bool IsMeasurement(MetricsStatus status) {
  return status != MetricsStatus::Testing;
}

bool IsFailure(MetricsStatus status) {
  return status != MetricsStatus::Ok && status != MetricsStatus::Testing &&
         status != MetricsStatus::AddressChanged;
}

}  // namespace tw
