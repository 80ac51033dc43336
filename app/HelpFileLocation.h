// Where the program finds its help file "TARNWICK.HLP".
#pragma once

#include <QString>

namespace tw {

// The first regular file named "TARNWICK.HLP" in the program folder, beside
// the executable (a build from source) or in the installation's share folder
// (<executable folder>/../share/tarnwick). A folder or FIFO of that name is
// passed over. When there is none, the name beside the executable, so that
// the help window's message points somewhere sensible.
QString FindHelpFile(const QString& programFolder, const QString& executableFolder);

}  // namespace tw
