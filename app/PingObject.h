// The main window: status table, Start/Stop/Close, the sampling tick and the
// close sequence. It owns the settings table and every measurement thread.
#pragma once

#include <QButtonGroup>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/UiDispatcher.h"
#include "engine/EngineServices.h"
#include "monitor/ResourceTable.h"
#include "monitor/Sampling.h"
#include "trend/TrendFile.h"

class QAbstractButton;
class QPushButton;
class QTableWidget;

namespace tw {

class TProgExit;

class TPingObject final : public QWidget, private ThreadHost, private TickHandler {
  Q_OBJECT

 public:
  explicit TPingObject(Clock& clock = SystemClock(), QWidget* parent = nullptr);
  ~TPingObject() override;

  ResourceTable& Table() override { return table_; }
  // Adds a resource row with the defaults of a new row and its suspended
  // thread; the thread runs at once when sampling runs.
  int AddResourceRow(const std::string& address, char kind);
  bool SamplingRuns() const { return pingSendTimer_.isActive(); }
  QTimer* PingSendTimer() { return &pingSendTimer_; }
  QTimer* TrendTimer() { return &trendTimer_; }
  QAbstractButton* StartBtn() const;
  QAbstractButton* StopBtn() const;
  QPushButton* DeleteBtn() const { return deleteBtn_; }
  QTableWidget* DisplayResourceTable() const { return statusTable_; }
  // Runs one sampling tick (tick mode performs events; redraw only draws).
  bool SamplingTick(TickMode mode);
  // Number of sampling ticks that ran in tick mode (for tests and diagnostics).
  int TickCount() const { return tickCount_; }
  // The speed icon index last set by the tick, -1 before any.
  int SpeedIconIndexShown() const { return iconIndex_; }
  // How long closing waits for threads to notice their flags (ms).
  void SetFlagWaitMs(uint64_t ms) { sampling_.SetFlagWaitMs(ms); }
  // The trend files of the program folder; null before they are opened and after close.
  TTrendFile* TrendFile() const { return trendFile_.get(); }
  // Opens the trend files "MERLISK.D" and "MERLISK.ND" in the program folder (once).
  void OpenTrendFiles();
  void SetTrendEnabled(bool on) { trendEnabled_ = on; }

 public slots:
  void StartBtnClick();
  void StopBtnClick();
  void CloseBtnMouseUp();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void PingSendTimerTimer();
  void TrendTimerTimer();

 private:
  void FormCreate();
  void FormShow();
  bool FormCloseQuery();
  void FormClose();
  void BuildButtons();
  void BuildStatusTable();
  void SyncStatusTableRows();

  // ThreadHost
  void RepaintCell(int col, int row) override;
  bool TrendEnabled() const override { return trendEnabled_; }
  void AppendTrendRecord(const std::string& name, double read, double write,
                         double ping) override;

  // TickHandler
  void ClearChart() override {}
  void DrawRow(int row, const MeasurementSnapshot& results) override {}
  void CheckEvents(int row, double currentSpeed) override {}
  int SelectedRow() const override;
  void SetSpeedIcon(int index) override { iconIndex_ = index; }
  void FinishChart() override {}

  Clock& clock_;
  ResourceTable table_;
  UiDispatcher* uiDispatcher_ = nullptr;
  std::unique_ptr<EngineServices> services_;
  SamplingControl sampling_;
  QTimer pingSendTimer_;
  QTimer trendTimer_;
  QButtonGroup* startStopGroup_ = nullptr;
  QPushButton* startBtn_ = nullptr;
  QPushButton* stopBtn_ = nullptr;
  QPushButton* closeBtn_ = nullptr;
  QPushButton* deleteBtn_ = nullptr;
  QTableWidget* statusTable_ = nullptr;
  QPointer<TProgExit> progExit_;
  std::unique_ptr<TTrendFile> trendFile_;
  uint64_t startTick_ = 0;
  bool closeConfirmed_ = false;
  bool closed_ = false;
  bool shown_ = false;
  bool trendEnabled_ = true;
  bool parametersMissing_ = true;
  int tickCount_ = 0;
  int iconIndex_ = -1;
};

}  // namespace tw
