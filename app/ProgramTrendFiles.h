// The trend files of the program folder, "MERLISK.D" and "MERLISK.ND", as
// the window and the headless service both open them.
#pragma once

#include <memory>
#include <string>

#include "platform/Clock.h"
#include "trend/TrendFile.h"

namespace tw {

inline constexpr const char* kTrendMemoryTrouble =
    "There is not enough memory to open the trend files. No trend is recorded or shown.";

// Opens (creating when missing) the program folder's trend files. `trouble`
// receives a sentence for the user when they cannot be used (empty when
// they can); null when there was not even memory to open them.
std::unique_ptr<TTrendFile> OpenProgramTrendFiles(Clock& clock, std::string& trouble);

// Appends one quarter-hour record stamped with the clock's local time now.
bool AppendTrendRecordNow(TTrendFile& files, Clock& clock, const std::string& name, double read,
                          double write, double ping);

}  // namespace tw
