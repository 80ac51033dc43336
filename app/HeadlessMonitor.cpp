#include "app/HeadlessMonitor.h"

#include "app/ProgramTrendFiles.h"
#include "engine/Messages.h"
#include "engine/ResourceKinds.h"
#include "monitor/RowThreads.h"
#include "platform/Echo.h"
#include "platform/ProgramFolder.h"
#include "util/Numbers.h"
#include "util/Text.h"

namespace tw {

namespace {

std::string CountText(int count) {
  return std::to_string(count) + (count == 1 ? " resource" : " resources");
}

// The speeds a kind shows, as the status table writes them.
std::string SpeedsText(const DisplayUpdate& update) {
  const KindDescriptor& kind = Describe(update.resourceKind);
  const double speeds[] = {update.writeSpeed, update.readSpeed, update.pingSpeed};
  const char* names[] = {"write", "read", "echo"};
  std::string text;
  for (int i = 0; i < kind.lineCount; ++i) {
    const auto series = static_cast<size_t>(kind.lines[i].series);
    if (!text.empty()) text += ", ";
    text += std::string(names[series]) + " " + Trim(SpeedText(speeds[series]));
  }
  return text;
}

}  // namespace

HeadlessMonitor::HeadlessMonitor(Clock& clock, Log log, QObject* parent)
    : QObject(parent),
      clock_(clock),
      log_(std::move(log)),
      sampling_(table_, clock),
      actions_(log_),
      events_(table_, clock, actions_) {
  // Threads notice their stop flag at once (it wakes their waits); the
  // window's longer pause is not needed where nothing is drawn.
  sampling_.SetFlagWaitMs(100);
  sampling_.SetCloseBoundMs(kStopBoundMs);
  pingSendTimer_.setInterval(50);
  connect(&pingSendTimer_, &QTimer::timeout, this,
          [this] { sampling_.Tick(TickMode::Tick, *this); });
}

HeadlessMonitor::~HeadlessMonitor() {
  if (running_) Stop();
}

bool HeadlessMonitor::Load(ResourceTable& table, WindowParameters& params, std::string& why) const {
  const std::string path = ProgramFile(kParametersFileName);
  std::string problem;
  if (LoadParameters(path, table, params, nullptr, &problem) == LoadOutcome::Loaded) return true;
  why = "cannot load the parameters file \"" + path + "\": " + problem;
  return false;
}

bool HeadlessMonitor::Start(std::string& why) {
  if (!Load(table_, params_, why)) return false;
  const std::string echoProblem = EchoBindingMessage(SystemEcho());
  echoAvailable_ = echoProblem.empty();
  if (!echoAvailable_) log_(echoProblem);
  std::string trouble;
  trendFile_ = OpenProgramTrendFiles(clock_, trouble);
  if (!trouble.empty()) log_(trouble);
  running_ = true;
  StartThreads();
  log_("started: " + CountText(table_.ResourceCount()) + " from \"" +
       ProgramFile(kParametersFileName) + "\", trend files in \"" + ProgramFolder() + "\"");
  LogStartNotes();
  return true;
}

void HeadlessMonitor::LogStartNotes() {
  if (!params_.pingObjects) log_("measuring although the file saved sampling as stopped");
  if (!params_.trendEnabled) log_("trend recording is off in the parameters file");
  if (params_.dialUpEnabled && !dialUpTold_) {
    dialUpTold_ = true;
    log_("the dial-up keeper needs a desktop and is left out in headless mode");
  }
}

void HeadlessMonitor::StartThreads() {
  uiDispatcher_ = new UiDispatcher(this);
  services_ = std::make_unique<EngineServices>(
      EngineServices{uiDispatcher_->dispatcher(), clock_, metrics_, echoAvailable_});
  AttachRowThreads(table_, *services_);
  lastStatus_.assign(static_cast<size_t>(table_.RowCount()), std::string());
  measured_.assign(static_cast<size_t>(table_.RowCount()), false);
  sampling_.StartThreads();
  pingSendTimer_.start();
}

void HeadlessMonitor::StopThreads() {
  pingSendTimer_.stop();
  UiDispatcher* dispatcher = uiDispatcher_;
  sampling_.CloseThreads([dispatcher] { dispatcher->Cancel(); });
  // Cancelled: a worker left behind in a system call is refused from now on.
  delete uiDispatcher_;
  uiDispatcher_ = nullptr;
}

void HeadlessMonitor::Reload() {
  if (!running_) return;
  ResourceTable table;
  WindowParameters params;
  std::string why;
  if (!Load(table, params, why)) {
    log_("reload failed, " + why + "; the " + CountText(table_.ResourceCount()) +
         " running go on unchanged");
    return;
  }
  StopThreads();
  table_ = table;
  params_ = params;
  StartThreads();
  log_("reloaded: " + CountText(table_.ResourceCount()) + " from \"" +
       ProgramFile(kParametersFileName) + "\"");
  LogStartNotes();
}

void HeadlessMonitor::Stop() {
  if (!running_) return;
  running_ = false;
  const uint64_t start = clock_.TickMs();
  StopThreads();
  trendFile_.reset();
  log_("stopped: threads ended and trend files closed in " +
       std::to_string(clock_.TickMs() - start) + " ms");
}

std::string HeadlessMonitor::ResourceName(int row) const {
  return table_.Cell(Col::Resource, row);
}

void HeadlessMonitor::ShowMeasurement(int row, const DisplayUpdate& update) {
  ShowInRow(table_, row, update);
  const auto index = static_cast<size_t>(row);
  if (index >= lastStatus_.size()) return;
  const std::string name = "\"" + ResourceName(row) + "\"";
  if (IsProgressStatus(update.status)) return;
  if (!update.status.empty()) {
    if (update.status != lastStatus_[index]) log_(name + ": " + update.status);
    lastStatus_[index] = update.status;
    return;
  }
  if (!lastStatus_[index].empty() || !measured_[index]) {
    log_(name + (measured_[index] ? ": measures again: " : ": measures: ") + SpeedsText(update));
  }
  lastStatus_[index].clear();
  measured_[index] = true;
}

void HeadlessMonitor::SpeedCellChanged(int /*col*/, int row) {
  metrics_.ShowNoResponse(row);
  const auto index = static_cast<size_t>(row);
  if (index >= lastStatus_.size() || lastStatus_[index] == kNoResponseText) return;
  log_("\"" + ResourceName(row) + "\": " + kNoResponseText + " (the transfer hangs)");
  lastStatus_[index] = kNoResponseText;
}

void HeadlessMonitor::AppendTrendRecord(const std::string& name, double read, double write,
                                        double ping) {
  if (trendFile_ == nullptr) return;
  if (!AppendTrendRecordNow(*trendFile_, clock_, name, read, write, ping)) {
    log_("the trend record of \"" + name + "\" could not be written");
  }
}

void HeadlessMonitor::CheckEvents(int row, double currentSpeed) {
  actions_.SetResource(ResourceName(row));
  events_.Check(row, currentSpeed);
}

}  // namespace tw
