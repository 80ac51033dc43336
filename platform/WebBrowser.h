// The desktop's web browser, as a command line that opens an address.
#pragma once

#include <string>

namespace tw {

// The command line of the desktop's registered web browser, empty when none
// is registered. It may hold the placeholders of a desktop entry (%u, %U)
// or of $BROWSER (%s) for the address; without one the address is appended.
// At most 255 characters are returned: a longer entry counts as none.
std::string WebBrowserCommand();

}  // namespace tw
