// The short texts shown in a row's cell for echo, lookup and download results.
#pragma once

#include <cstdint>
#include <string>

#include "platform/HttpDownload.h"

namespace tw {

// Text of an echo result (IP status code); empty for a code not in the table.
std::string IcmpMessage(int32_t code);

// Text of a name lookup result (WinSock code); empty for a code not in the table.
std::string WinSockMessage(int32_t code);

// Text of a web download that gave no speed ("HTTP 404", "Timeout", ...);
// empty for a download that ended well or was stopped.
std::string WebMessage(const HttpOutcome& outcome);

}  // namespace tw
