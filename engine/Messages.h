// The short texts shown in a row's cell for echo, lookup and download results.
#pragma once

#include <cstdint>
#include <string>

#include "platform/HttpDownload.h"

namespace tw {

// What a row shows while a measurement is under way (no result yet).
inline constexpr const char* kTestingStatus = "Testing...";
inline constexpr const char* kGetAddressStatus = "Get address...";
// True for those texts: they come and go every cycle and tell of no trouble.
bool IsProgressStatus(const std::string& status);

// Text of an echo result (IP status code); empty for a code not in the table.
std::string IcmpMessage(int32_t code);

// Text of a name lookup result (WinSock code); empty for a code not in the table.
std::string WinSockMessage(int32_t code);

// Text of a web download that gave no speed ("HTTP 404", "Timeout", ...);
// empty for a download that ended well or was stopped.
std::string WebMessage(const HttpOutcome& outcome);

}  // namespace tw
