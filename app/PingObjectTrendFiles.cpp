// The main window's side of the trend storage: it owns the trend files and
// appends the threads' quarter-hour records to them on the UI thread.
#include <QTimer>
#include <new>

#include "app/PingObject.h"
#include "charts/TrendFileLookup.h"
#include "dialogs/Msgdlg.h"
#include "platform/ProgramFolder.h"
#include "util/DateTime.h"

namespace tw {

void TPingObject::OpenTrendFiles() {
  if (trendFile_ != nullptr || closed_) return;
  try {
    trendFile_ =
        std::make_unique<TTrendFile>(ProgramFile("MERLISK.D"), ProgramFile("MERLISK.ND"), clock_);
    trendLookup_ = std::make_unique<TrendFileLookup>(*trendFile_);
  } catch (const std::bad_alloc&) {
    trendLookup_.reset();
    trendFile_.reset();
    ReportTrendTrouble(
        "There is not enough memory to open the trend files. No trend is "
        "recorded or shown.");
    return;
  }
  SetTrendLookup(trendLookup_.get());
  ReportTrendTrouble(trendFile_->TroubleText());
  // Whatever was drawn before shows no records: draw the chart from the files.
  if (shown_) TrendRedraw();
}

void TPingObject::ReportTrendTrouble(const std::string& text) {
  if (text.empty() || trendTroubleReported_) return;
  trendTroubleReported_ = true;
  // After the start-up has finished, so that the window stands behind the dialog.
  const QString message = QString::fromStdString(text);
  QTimer::singleShot(0, this, [this, message] {
    if (!closed_) MsgDialog().ShowMessage("Error", message);
  });
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
