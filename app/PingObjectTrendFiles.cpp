// The main window's side of the trend storage: it owns the trend files and
// appends the threads' quarter-hour records to them on the UI thread.
#include <QTimer>
#include <new>

#include "app/PingObject.h"
#include "app/ProgramTrendFiles.h"
#include "charts/TrendFileLookup.h"
#include "dialogs/Msgdlg.h"

namespace tw {

void TPingObject::OpenTrendFiles() {
  if (trendFile_ != nullptr || closed_) return;
  std::string trouble;
  trendFile_ = OpenProgramTrendFiles(clock_, trouble);
  if (trendFile_ != nullptr) {
    try {
      trendLookup_ = std::make_unique<TrendFileLookup>(*trendFile_);
    } catch (const std::bad_alloc&) {
      trendFile_.reset();
      trouble = kTrendMemoryTrouble;
    }
  }
  ReportTrendTrouble(trouble);
  if (trendFile_ == nullptr) return;
  SetTrendLookup(trendLookup_.get());
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
  AppendTrendRecordNow(*trendFile_, clock_, name, read, write, ping);
}

}  // namespace tw
