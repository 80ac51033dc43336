// The main window's side of the trend storage: it owns the trend files and
// appends the threads' quarter-hour records to them on the UI thread.
#include "app/PingObject.h"
#include "charts/TrendFileLookup.h"
#include "platform/ProgramFolder.h"
#include "util/DateTime.h"

namespace tw {

void TPingObject::OpenTrendFiles() {
  if (trendFile_ != nullptr || closed_) return;
  trendFile_ =
      std::make_unique<TTrendFile>(ProgramFile("MERLISK.D"), ProgramFile("MERLISK.ND"), clock_);
  trendLookup_ = std::make_unique<TrendFileLookup>(*trendFile_);
  SetTrendLookup(trendLookup_.get());
}

void TPingObject::CloseTrendFiles() {
  SetTrendLookup(nullptr);
  trendLookup_.reset();
  trendFile_.reset();
}

void TPingObject::AppendTrendRecord(const std::string& name, double read, double write,
                                    double ping) {
  OpenTrendFiles();  // a record handed over before the window was first shown
  if (trendFile_ == nullptr) return;
  trendFile_->AppendRecord(name, read, write, ping, EncodeDateTime(clock_.LocalNow()));
}

}  // namespace tw
