#include "engine/Messages.h"

#include <iterator>

namespace tw {

bool IsProgressStatus(const std::string& status) {
  return status == kTestingStatus || status == kGetAddressStatus;
}

namespace {

struct CodeText {
  int32_t code;
  const char* text;
};

constexpr CodeText kIcmpTexts[] = {
    {0, "Success"},
    {11001, "Buffer too small"},
    {11002, "Dst.unreachable"},
    {11003, "Dst.unreachable"},
    {11004, "Dst.unreachable"},
    {11005, "Dst.unreachable"},
    {11006, "No resources"},
    {11007, "Bad Option"},
    {11008, "Hrdwr.Error"},
    {11009, "Packet too big"},
    {11010, "Timeout"},
    {11011, "Bad rqst"},
    {11012, "Bad route"},
    {11013, "TTL expired in transit"},
    {11014, "TTL expired in reassembly"},
    {11015, "Parameter problem"},
    {11016, "Source quench"},
    {11017, "Option too big"},
    {11018, "Bad destination"},
    {11019, "Address deleted"},
    {11020, "Spec MTU change"},
    {11021, "MTU change"},
    {11022, "Unload"},
    {11050, "General failure"},
};

constexpr CodeText kWinSockTexts[] = {
    {10004, "Blocking call cancelled"},
    {10022, "App version not supported by DLL"},
    {10024, "No file descriptors available"},
    {10035, "Socket marked as non-blocking and SO_LINGER set not 0"},
    {10036, "Blocking operation in progress"},
    {10038, "Descriptor is not a socket"},
    {10041, "Protocol wrong type for this socket"},
    {10043, "Specified protocol not supported"},
    {10044, "Socket type not supported for address family"},
    {10047, "Address family not supported"},
    {10048, "Address already in use"},
    {10049, "Address not available"},
    {10050, "Network subsystem failed"},
    {10051, "Network unreachable"},
    {10053, "Connection aborted"},
    {10054, "Connection reset"},
    {10055, "No buffer space available"},
    {10057, "Not connected"},
    {10060, "Timeout"},
    {10061, "Connection refused"},
    {10064, "Host down"},
    {10065, "Host unreachable"},
    {10091, "WinSock not present or not responding"},
    {10092, "Version of WinSock not supported"},
    {10093, "WSA Startup not initialized"},
    {11001, "Host not found"},
    {11002, "Host not found or server failure"},
    {11003, "Non-recoverable: refused or not implemented"},
    {11004, "Not found"},
};

template <size_t N>
std::string Lookup(const CodeText (&table)[N], int32_t code) {
  for (const CodeText& entry : table) {
    if (entry.code == code) return entry.text;
  }
  return "";
}

}  // namespace

std::string IcmpMessage(int32_t code) {
  return Lookup(kIcmpTexts, code);
}

std::string WinSockMessage(int32_t code) {
  return Lookup(kWinSockTexts, code);
}

std::string WebMessage(const HttpOutcome& outcome) {
  switch (outcome.end) {
    case HttpEnd::Done:
    case HttpEnd::Cancelled:
      return "";
    case HttpEnd::HttpError:
      return "HTTP " + std::to_string(outcome.httpStatus);
    case HttpEnd::TlsUntrusted:
      return "TLS: certificate not trusted";
    case HttpEnd::TlsFailed:
      return "TLS: handshake failed";
    case HttpEnd::Timeout:
      return "Timeout";
    case HttpEnd::TooManyRedirects:
      return "Too many redirects";
    case HttpEnd::HostNotFound:
      return "Host not found";
    case HttpEnd::CannotConnect:
      return "Connection refused";
    case HttpEnd::BadAddress:
      return "Not an HTTP or HTTPS address";
    case HttpEnd::Failed:
      break;
  }
  return "Download failed";
}

}  // namespace tw
