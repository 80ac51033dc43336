// The main window: status table, Start/Stop/Close, the sampling tick and the
// close sequence. It owns the settings table and every measurement thread.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/ProgramTrendFiles.h"
#include "app/UiDispatcher.h"
#include "controls/Bitmpbtn.h"
#include "engine/BackgroundLoad.h"
#include "engine/EngineServices.h"
#include "monitor/MetricsHost.h"
#include "monitor/Parameters.h"
#include "monitor/ResourceTable.h"
#include "monitor/Sampling.h"
#include "trend/TrendFile.h"

class QAbstractButton;
class QMenu;
class QPrinter;
class QPushButton;

namespace tw {

class TProgExit;
class TMsgDialog;
class THelp;
class TEventServices;
class TDisplayResourceTable;
class TLiveChartPanel;
class TTrendChartPanel;
class TTrayIcon;
class TrendLookup;
class TParameters;
struct GlobalPreferences;
struct ChartParts;
struct WizardResult;

class TPingObject final : public QWidget, private ThreadHost, private TickHandler {
  Q_OBJECT

 public:
  explicit TPingObject(Clock& clock = SystemClock(), QWidget* parent = nullptr);
  ~TPingObject() override;

  ResourceTable& Table() { return table_; }
  // What the threads have handed over, for the metrics endpoint.
  const MetricsHost& Metrics() const { return metrics_; }
  // Expires once no measurement thread of this window is left, counting a
  // thread that the close left behind in a call to a hung share (every
  // thread shares the dispatcher with the window).
  std::weak_ptr<void> ThreadsAlive() const { return uiDispatcher_->dispatcher(); }
  // Adds a resource row with the defaults of a new row and its suspended
  // thread; the thread runs at once when sampling runs.
  int AddResourceRow(const std::string& address, ResourceKind kind);
  // Adds a row filled from a wizard's result, as Add does after the wizard.
  int AddResourceRow(const WizardResult& result);

  // Resource commands and the window's standing (app/PingObjectCommands.cpp,
  // app/PingObjectResources.cpp).
  TBitmapButton* AddResourceBtn() const { return addResource_; }
  TBitmapButton* EditCurResourceBtn() const { return editCurResource_; }
  TBitmapButton* StayOnTopBtn() const { return stayOnTop_; }
  TBitmapButton* HelpBtn() const { return helpBtn_; }
  TBitmapButton* SetBtn() const { return setBtn_; }
  QMenu* HelpPopup() const { return helpPopup_; }
  // The program's icon in the system tray (app/TrayIcon.h).
  TTrayIcon* Tray() const { return tray_; }
  // The tray icon's tooltip: the selected resource and its latest speed.
  QString TrayToolTip() const;
  // Whether the window has the stay-on-top style now.
  bool StaysOnTop() const;
  // While one lives, a modal dialog of the window runs: the window leaves the
  // stay-on-top style for it, so the dialog is never hidden behind it.
  class ModalScope {
   public:
    explicit ModalScope(TPingObject& window);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    TPingObject& window_;
  };
  bool SamplingRuns() const { return pingSendTimer_.isActive(); }
  QTimer* PingSendTimer() { return &pingSendTimer_; }
  QTimer* TrendTimer() { return &trendTimer_; }
  QAbstractButton* StartBtn() const;
  QAbstractButton* StopBtn() const;
  TBitmapButton* DeleteBtn() const { return deleteBtn_; }
  TDisplayResourceTable* DisplayResourceTable() const;
  // The window's chart parts (status table, Trend switch, compact view).
  ChartParts& Charts() { return *charts_; }
  // The live and the trend chart with their controls.
  TLiveChartPanel& LivePanel();
  TTrendChartPanel& TrendPanel();
  // Where the trend chart reads its records (not owned; null: none).
  void SetTrendLookup(TrendLookup* lookup);
  // Redraws the trend chart, its date panel and the taskbar title.
  void TrendRedraw();
  // The application title shown on the taskbar.
  const std::string& TaskbarTitle() const;
  // Runs one sampling tick (tick mode performs events; redraw only draws).
  bool SamplingTick(TickMode mode);
  // Number of sampling ticks that ran in tick mode (for tests and diagnostics).
  int TickCount() const { return tickCount_; }
  // The speed icon index last set by the tick, -1 before any.
  int SpeedIconIndexShown() const { return iconIndex_; }
  // How long closing waits for threads to notice their flags (ms).
  void SetFlagWaitMs(uint64_t ms) { sampling_.SetFlagWaitMs(ms); }
  // Speed events, sound player, dial-up keeper and its timer (created on first use).
  TEventServices& EventServices();

  // Parameters file and window-wide services (app/PingObjectParams.cpp).
  // The window-level settings as loaded; other parts read and change them
  // and they are saved as they stand, except the position, the Start button
  // and the trend switch, which are taken from the window when it closes.
  WindowParameters& Parameters() { return params_; }
  // The trend switch ("Trend"/"Enabled"): whether threads write trend records.
  void SetTrendEnabled(bool on) { trendEnabled_ = params_.trendEnabled = on; }
  // True until the parameters file was read successfully (first start).
  bool ParametersMissing() const { return parametersMissing_; }
  // The full name of the parameters file.
  std::string ParametersFileName() const;
  // The program's one message dialog (created on first use).
  TMsgDialog& MsgDialog();
  // The program's help (the help file is set when the window is first shown).
  THelp& Help();

  // The trend files of the program folder, after waiting for their load when
  // it runs; null before they are opened and after close.
  TTrendFile* TrendFile();
  // Starts opening the trend files "MERLISK.D" and "MERLISK.ND" of the
  // program folder on a worker thread (once a run). When they are loaded the
  // user is told if they cannot be used and, once the window is shown, the
  // trend chart is redrawn from them.
  void OpenTrendFiles();
  // True while the trend files are being opened and loaded.
  bool TrendFilesLoading() const { return trendLoad_->Pending(); }
  // Quarter-hour records handed over during the load, appended after it.
  size_t TrendRecordsWaiting() const { return waitingTrendRecords_.size(); }
  // Waits for the load of the trend files if it runs, and puts them in use.
  void FinishTrendLoad();
  // Runs `wait` on the loading thread before the files are opened (lets a
  // test hold the load, as a long index on a slow disk would).
  void SetTrendLoadWait(std::function<void()> wait) { trendLoadWait_ = std::move(wait); }
  // Detaches the trend chart from the files and closes them (after the load).
  void CloseTrendFiles();

  // The global preferences window (app/PingObjectSettings.cpp), made on
  // first use and kept for the whole run.
  TParameters& PreferencesDialog();
  // The printed report and the export of the trend day (app/PingObjectReport.cpp).
  // Prints the report of the trend date on `printer`: empty when printed,
  // else what went wrong.
  QString PrintTrendReport(QPrinter& printer);
  // The export text of the day on show, slots start + 1 .. end.
  std::string TrendExportText(int startSlot, int endSlot) const;
  // Writes the export text to `path` (replaced in one step); a failure is
  // shown in the message dialog, naming the file and the reason.
  bool WriteTrendExport(const QString& path, const std::string& text);
  // The pop-up menu of "Cop&y trend".
  QMenu* CopyBarPopupMenu() const { return copyBarPopupMenu_; }

 public slots:
  void StartBtnClick();
  void StopBtnClick();
  void CloseBtnMouseUp();
  void ShrinkAndGrowClick();
  void TrendBmpClick();
  void AddResourceClick();
  void EditCurResourceClick();
  void DelResourceClick();
  void StayOnTopClick();
  void HelpBtnClick();
  void AboutClick();
  // Shows the global preferences; "OK" applies them at once.
  void SetBtnClick();
  void PrintTrendClick();
  void CopyTrendBtnClick();
  void CopyToClipbrdMenuClick();
  void CopyToFileClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // The messages the window posts to itself after start-up.
  void customEvent(QEvent* event) override;

 private slots:
  void PingSendTimerTimer();
  void TrendTimerTimer();

 private:
  // Starts or stops the sampling timer, which then also runs the display updates.
  void RunSamplingTimer(bool on);
  void FormCreate();
  void FormShow();
  bool FormCloseQuery();
  // Whether a close may go on `afterMs` from now (confirmed, or not within
  // 5 s of the start); once true it stays true.
  bool CloseIsDue(uint64_t afterMs) const;
  void FormClose();
  void BuildButtons();
  void BuildStatusTable();
  void SyncStatusTableRows();
  void LoadParametersOnShow();
  void KeepUnloadedParameters(const std::string& path);
  void ShowKeptFileMessage(const std::string& path, const std::string& keptAs);
  void ApplyLoadedParameters();
  void ApplyFonts();
  // The fonts, dial-up keeper and trend switch chosen in the preferences.
  void ApplyPreferences(const GlobalPreferences& chosen);
  // The dial-up keeper's switch, period and table, to and from the parameters.
  void ApplyDialUpParameters();
  void CollectDialUpParameters();
  // Scales, grids, column widths, trend screen and compact view.
  void ApplyChartParameters();
  void CollectChartParameters();
  void SaveParametersOnClose();
  void QuitHelp();
  void BuildShrinkAndGrow();
  void BuildButtonBar();
  void ShowCharts();
  void SetTaskbarTitle();
  // Shows `text` (if any) in the message dialog once the start-up is over; once a run.
  void ReportTrendTrouble(const std::string& text);
  // The loaded files come into use on the UI thread.
  void InstallTrendFiles(OpenedTrendFiles opened);
  void AppendWaitingTrendRecords();
  // The report and export's buttons, menu and modal steps.
  void BuildTrendOutput();
  bool ChoosePrinter(QPrinter& printer);
  bool AskTrendPeriod(int& startSlot, int& endSlot);
  QString AskExportFileName();
  void ShowTrendOutputError(const QString& text);

  void RepaintCell(int col, int row);

  // Resource commands.
  // A new last row with the defaults of a new row; returns its number.
  int NewResourceRow();
  // Gives `row` its suspended thread; it runs at once when sampling runs.
  void StartRowThread(int row);
  void BuildResourceButtons();
  void BuildHelpPopup();
  // Edit and Delete follow the row count; Delete also needs sampling stopped.
  void UpdateResourceButtons();
  // Runs the resource wizard for a new row (editRow 0) or for `editRow`;
  // true with its result on OK.
  bool RunWizard(int editRow, WizardResult& result);
  void MoveRowsUpFrom(int deleted);
  void RedrawAfterRowChange();
  void PostStartUpMessages();
  void AfterStartUpMessage();
  void SetStayOnTopStyle(bool on);

  // ThreadHost
  void ShowMeasurement(int row, const DisplayUpdate& update) override;
  bool TrendEnabled() const override { return trendEnabled_; }
  void AppendTrendRecord(const std::string& name, double read, double write, double ping) override;

  // TickHandler
  void ClearChart() override;
  void DrawRow(int row, const MeasurementSnapshot& results) override;
  void CheckEvents(int row, double currentSpeed) override;
  int SelectedRow() const override;
  void SetSpeedIcon(int index) override;
  void FinishChart() override;
  // Only the tick's "No response" of a hung transfer changes cells here.
  void SpeedCellChanged(int col, int row) override {
    metrics_.ShowNoResponse(row);
    RepaintCell(col, row);
  }

  Clock& clock_;
  ResourceTable table_;
  // The threads' host: counts each hand-over for the metrics, then passes it here.
  MetricsHost metrics_{*this, table_};
  UiDispatcher* uiDispatcher_ = nullptr;
  std::unique_ptr<EngineServices> services_;
  SamplingControl sampling_;
  QTimer pingSendTimer_;
  QTimer trendTimer_;
  TBitmapButton* startBtn_ = nullptr;
  TBitmapButton* stopBtn_ = nullptr;
  TBitmapButton* closeBtn_ = nullptr;
  TBitmapButton* deleteBtn_ = nullptr;
  TBitmapButton* addResource_ = nullptr;
  TBitmapButton* editCurResource_ = nullptr;
  TBitmapButton* stayOnTop_ = nullptr;
  TBitmapButton* helpBtn_ = nullptr;
  TBitmapButton* setBtn_ = nullptr;
  QMenu* helpPopup_ = nullptr;
  TTrayIcon* tray_ = nullptr;
  bool closeRequested_ = false;  // Close (button or tray menu): the program ends
  int modalDepth_ = 0;           // modal dialogs running (stay-on-top dropped while > 0)
  std::unique_ptr<ChartParts> charts_;
  QPointer<TProgExit> progExit_;
  TEventServices* eventServices_ = nullptr;  // child object

  std::unique_ptr<TTrendFile> trendFile_;
  std::unique_ptr<TrendLookup> trendLookup_;  // reads trendFile_ for the trend chart
  // A record handed over while the files load; `stamp` is its moment (days
  // since 30 December 1899), the means are in Kbps.
  struct WaitingTrendRecord {
    std::string name;
    double read = 0, write = 0, ping = 0, stamp = 0;
  };
  std::vector<WaitingTrendRecord> waitingTrendRecords_;
  std::function<void()> trendLoadWait_;
  // Declared after what it delivers to: it goes (joining its worker) first.
  std::unique_ptr<BackgroundLoad<OpenedTrendFiles>> trendLoad_;
  bool trendTroubleReported_ = false;
  uint64_t startTick_ = 0;
  bool closeConfirmed_ = false;
  bool closed_ = false;
  bool shown_ = false;
  bool trendEnabled_ = true;
  bool parametersMissing_ = true;
  int tickCount_ = 0;
  int iconIndex_ = -1;
  WindowParameters params_;
  // The file was read, or found missing, or kept aside at show: only then may
  // the close save over its name.
  bool parametersLoaded_ = false;
  TMsgDialog* msgDialog_ = nullptr;
  THelp* help_ = nullptr;
  TParameters* parametersDialog_ = nullptr;  // child window
  QMenu* copyBarPopupMenu_ = nullptr;
  // The period dialog's four texts, kept for the next export of this run.
  QStringList trendPeriodTexts_{"00", "00", "24", "00"};
};

}  // namespace tw
