// The program without a window: the same settings table, measurement
// threads, sampling tick, speed events and trend files as the main window,
// driven from the parameters file alone and reporting to a log (standard
// error, one line per event). It never writes the parameters file, so a
// desktop session and a service sharing one folder cannot overwrite each
// other's settings.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/HeadlessActions.h"
#include "app/UiDispatcher.h"
#include "engine/EngineServices.h"
#include "monitor/MetricsHost.h"
#include "monitor/Parameters.h"
#include "monitor/ResourceTable.h"
#include "monitor/Sampling.h"
#include "monitor/SpeedEvents.h"
#include "trend/TrendFile.h"

namespace tw {

class HeadlessMonitor final : public QObject, private ThreadHost, private TickHandler {
  Q_OBJECT

 public:
  using Log = std::function<void(const std::string&)>;
  // How long stopping may take in all: flag wait, hand-overs, threads.
  static constexpr uint64_t kStopBoundMs = 1800;

  HeadlessMonitor(Clock& clock, Log log, QObject* parent = nullptr);
  ~HeadlessMonitor() override;

  // Loads the parameters file and starts measuring every resource at once,
  // whatever Start state the file saved. False, with the reason in `why` and
  // nothing started, when the file is missing or cannot be loaded.
  bool Start(std::string& why);
  // Reads the parameters file again and restarts the threads with it; a file
  // that fails to load leaves the running set as it was (and says why).
  void Reload();
  // The close sequence: sampling stops, the threads end (within
  // kStopBoundMs), the trend files are closed. Logs how long it took.
  void Stop();

  const ResourceTable& Table() const { return table_; }
  bool Running() const { return running_; }
  // What the metrics endpoint serves: every hand-over of the threads.
  const MetricsHost& Metrics() const { return metrics_; }

 private:
  // Loads the file into `table` and `params`; false with the reason.
  bool Load(ResourceTable& table, WindowParameters& params, std::string& why) const;
  void StartThreads();
  void StopThreads();
  void LogStartNotes();
  std::string ResourceName(int row) const;

  // ThreadHost: the threads' two hand-overs, on the main thread.
  void ShowMeasurement(int row, const DisplayUpdate& update) override;
  bool TrendEnabled() const override { return params_.trendEnabled; }
  void AppendTrendRecord(const std::string& name, double read, double write, double ping) override;

  // TickHandler: nothing is drawn; the tick runs the speed events.
  void ClearChart() override {}
  void DrawRow(int, const MeasurementSnapshot&) override {}
  void CheckEvents(int row, double currentSpeed) override;
  int SelectedRow() const override { return 0; }
  void SetSpeedIcon(int) override {}
  void FinishChart() override {}
  // The tick found a transfer hung past its row's timeout ("No response").
  void SpeedCellChanged(int col, int row) override;

  Clock& clock_;
  Log log_;
  ResourceTable table_;
  // The threads' host: records for the metrics, then hands over to this.
  MetricsHost metrics_{*this, table_};
  WindowParameters params_;
  UiDispatcher* uiDispatcher_ = nullptr;  // a new one for every start of the threads
  std::unique_ptr<EngineServices> services_;
  bool echoAvailable_ = false;
  SamplingControl sampling_;
  HeadlessActions actions_;
  SpeedEvents events_;
  QTimer pingSendTimer_;
  std::unique_ptr<TTrendFile> trendFile_;
  // Per row: the status text last logged ("" while it measures), and
  // whether a measurement was logged since the threads started.
  std::vector<std::string> lastStatus_;
  std::vector<bool> measured_;
  bool running_ = false;
  bool dialUpTold_ = false;
};

}  // namespace tw
