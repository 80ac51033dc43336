// The short texts shown in a host's cell for echo and lookup result codes.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// Text of an echo result (IP status code); empty for a code not in the table.
std::string IcmpMessage(int32_t code);

// Text of a name lookup result (WinSock code); empty for a code not in the table.
std::string WinSockMessage(int32_t code);

}  // namespace tw
