// The trend files of the program folder, "MERLISK.D" and "MERLISK.ND", as
// the window and the headless service both open them.
#pragma once

#include <memory>
#include <string>

#include "charts/TrendChart.h"
#include "platform/Clock.h"
#include "trend/TrendFile.h"

namespace tw {

inline constexpr const char* kTrendMemoryTrouble =
    "There is not enough memory to open the trend files. No trend is recorded or shown.";

// The trend files as opened and loaded, with the lookup the trend chart
// reads them through; `trouble` is a sentence for the user (empty: none).
struct OpenedTrendFiles {
  std::unique_ptr<TTrendFile> files;
  std::unique_ptr<TrendLookup> lookup;
  std::string trouble;
};

// Opens (creating when missing) the program folder's trend files. `trouble`
// receives a sentence for the user when they cannot be used (empty when
// they can); null when there was not even memory to open them.
std::unique_ptr<TTrendFile> OpenProgramTrendFiles(Clock& clock, std::string& trouble);
// The same for the files `data` and `index` (names taken beforehand, so that
// a worker thread can open them without asking the program folder).
std::unique_ptr<TTrendFile> OpenTrendFilesNamed(const std::string& data, const std::string& index,
                                                Clock& clock, std::string& trouble);

// Appends one quarter-hour record stamped with the clock's local time now.
bool AppendTrendRecordNow(TTrendFile& files, Clock& clock, const std::string& name, double read,
                          double write, double ping);

}  // namespace tw
