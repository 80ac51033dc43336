// The main window's side of the trend storage: it owns the trend files and
// appends the threads' quarter-hour records to them on the UI thread.
//
// The files are opened on a worker thread started when the window is first
// shown: loading a long history's index takes about half a second, and the
// window is drawn meanwhile, its trend chart showing an empty day as without
// files. When the load is done the files come to the UI thread through the
// dispatcher and the chart is drawn from them once. Records handed over
// meanwhile wait in order, stamped when they came, and are appended then.
// Print and export need the records, so they wait for the load.
#include <QTimer>
#include <new>

#include "app/PingObject.h"
#include "charts/TrendFileLookup.h"
#include "dialogs/Msgdlg.h"
#include "platform/ProgramFolder.h"
#include "util/DateTime.h"

namespace tw {

namespace {

// Runs on the worker: opens the files, loads the index and makes the lookup.
OpenedTrendFiles OpenWithLookup(const std::string& data, const std::string& index, Clock& clock) {
  OpenedTrendFiles opened;
  opened.files = OpenTrendFilesNamed(data, index, clock, opened.trouble);
  if (opened.files == nullptr) return opened;
  try {
    opened.lookup = std::make_unique<TrendFileLookup>(*opened.files);
  } catch (const std::bad_alloc&) {
    opened.files.reset();
    opened.trouble = kTrendMemoryTrouble;
  }
  return opened;
}

}  // namespace

void TPingObject::OpenTrendFiles() {
  if (trendFile_ != nullptr || closed_ || trendLoad_->Started()) return;
  std::function<void()> before = trendLoadWait_;
  trendLoad_->Start(
      [data = ProgramFile("MERLISK.D"), index = ProgramFile("MERLISK.ND"), &clock = clock_,
       before] {
        if (before) before();
        return OpenWithLookup(data, index, clock);
      },
      [this](OpenedTrendFiles opened) { InstallTrendFiles(std::move(opened)); });
}

void TPingObject::InstallTrendFiles(OpenedTrendFiles opened) {
  trendFile_ = std::move(opened.files);
  trendLookup_ = std::move(opened.lookup);
  if (!closed_) ReportTrendTrouble(opened.trouble);
  AppendWaitingTrendRecords();
  if (trendFile_ == nullptr || closed_) return;
  SetTrendLookup(trendLookup_.get());
  // Whatever was drawn before shows no records: draw the chart from the files.
  if (shown_) TrendRedraw();
}

void TPingObject::FinishTrendLoad() {
  trendLoad_->Finish();
}

TTrendFile* TPingObject::TrendFile() {
  FinishTrendLoad();
  return trendFile_.get();
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
  // Records handed over during the close still reach the files.
  FinishTrendLoad();
  SetTrendLookup(nullptr);
  trendLookup_.reset();
  trendFile_.reset();
}

void TPingObject::AppendTrendRecord(const std::string& name, double read, double write,
                                    double ping) {
  const double now = EncodeDateTime(clock_.LocalNow());
  OpenTrendFiles();  // a record handed over before the window was first shown
  if (trendLoad_->Pending()) {
    waitingTrendRecords_.push_back({name, read, write, ping, now});
    return;
  }
  if (trendFile_ != nullptr) trendFile_->AppendRecord(name, read, write, ping, now);
}

void TPingObject::AppendWaitingTrendRecords() {
  std::vector<WaitingTrendRecord> waiting;
  waiting.swap(waitingTrendRecords_);
  if (trendFile_ == nullptr) return;
  for (const WaitingTrendRecord& r : waiting)
    trendFile_->AppendRecord(r.name, r.read, r.write, r.ping, r.stamp);
}

}  // namespace tw
