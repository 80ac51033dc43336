#include "app/PingObject.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

#include "app/PingObjectCharts.h"
#include "app/ProgExit.h"
#include "app/TrayIcon.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/LiveChartPanel.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/Glyphs.h"
#include "controls/SystemFonts.h"
#include "dialogs/Help.h"

namespace tw {

TPingObject::TPingObject(Clock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock), sampling_(table_, clock) {
  FormCreate();
}

TPingObject::~TPingObject() {
  if (!closed_) FormClose();
}

void TPingObject::FormCreate() {
  RegisterFontLookAlikes();
  setObjectName("PingObject");
  setWindowTitle("Zarezed Araru Viriz");
  uiDispatcher_ = new UiDispatcher(this);
  trendLoad_ = std::make_unique<BackgroundLoad<OpenedTrendFiles>>(uiDispatcher_->dispatcher());
  // Without an ICMP socket the program runs on; host rows keep "Testing...".
  const std::string echoProblem = EchoBindingMessage(SystemEcho());
  services_ = std::make_unique<EngineServices>(
      EngineServices{uiDispatcher_->dispatcher(), clock_, metrics_, echoProblem.empty()});
  if (!echoProblem.empty()) {
    auto* box = new QMessageBox(QMessageBox::Critical, "Error", QString::fromStdString(echoProblem),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  }
  BuildButtons();
  BuildStatusTable();
  // F1 opens the help contents, as the help menu's item does; the right
  // mouse button shows a control's topic as a pop-up.
  Help();
  EnableContextHelp(this, 0, [this] { Help().ShowContents(); });
  pingSendTimer_.setInterval(50);
  connect(&pingSendTimer_, &QTimer::timeout, this, &TPingObject::PingSendTimerTimer);
  trendTimer_.setInterval(60000);
  connect(&trendTimer_, &QTimer::timeout, this, &TPingObject::TrendTimerTimer);
  trendTimer_.start();
  trendEnabled_ = true;
  closeConfirmed_ = false;
  startTick_ = clock_.TickMs();
}

void TPingObject::BuildButtons() {
  auto make = [this](const char* caption, const char* name, GlyphId glyph) {
    auto* button = new TBitmapButton(caption, this);
    button->setObjectName(name);
    button->ApplyWindowLook(2);
    button->SetGlyph(MakeGlyph(glyph));
    return button;
  };
  // Start and Stop are one sticky group: pressing one raises the other.
  startBtn_ = make("Start", "StartBtn", GlyphId::Start);
  startBtn_->setToolTip("Starts the test process");
  stopBtn_ = make("Stop", "StopBtn", GlyphId::Stop);
  stopBtn_->setToolTip("Stops the test process");
  for (TBitmapButton* b : {startBtn_, stopBtn_}) b->SetGroupIndex(1);
  stopBtn_->SetDown(true);
  deleteBtn_ = make("Delete", "DelResource", GlyphId::Delete);
  deleteBtn_->setEnabled(false);
  deleteBtn_->setToolTip("Deletes current resource");
  closeBtn_ = make("Close", "CloseBtn", GlyphId::Close);
  connect(startBtn_, &QAbstractButton::clicked, this, &TPingObject::StartBtnClick);
  connect(stopBtn_, &QAbstractButton::clicked, this, &TPingObject::StopBtnClick);
  connect(closeBtn_, &QAbstractButton::released, this, &TPingObject::CloseBtnMouseUp);
  BuildResourceButtons();
}

void TPingObject::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) FormShow();
}

void TPingObject::FormShow() {
  shown_ = true;
  ShowCharts();
  LoadParametersOnShow();
  SamplingTick(TickMode::Redraw);
  // The tray shows the resting dial until the first tick sets the icon.
  tray_->SetSpeedIcon(windowIcon().isNull() ? charts_->speedIcons[0] : windowIcon());
  PostStartUpMessages();
}

QAbstractButton* TPingObject::StartBtn() const {
  return startBtn_;
}
QAbstractButton* TPingObject::StopBtn() const {
  return stopBtn_;
}

void TPingObject::ShowMeasurement(int row, const DisplayUpdate& update) {
  for (int col : ShowInRow(table_, row, update)) RepaintCell(col, row);
}

void TPingObject::StartBtnClick() {
  startBtn_->setChecked(true);
  RunSamplingTimer(true);
  sampling_.StartThreads();
  UpdateResourceButtons();
}

void TPingObject::StopBtnClick() {
  RunSamplingTimer(false);
  sampling_.StopThreads();
  UpdateResourceButtons();
}

// While sampling runs this timer also runs the measurements' display
// updates, which then wake the UI thread no more often than it does.
void TPingObject::RunSamplingTimer(bool on) {
  if (on) {
    pingSendTimer_.start();
  } else {
    pingSendTimer_.stop();
  }
  uiDispatcher_->SetPolled(on);
}

void TPingObject::PingSendTimerTimer() {
  // The rows' cells first, so that they agree with the chart drawn next.
  uiDispatcher_->RunPending();
  if (SamplingTick(TickMode::Tick)) ++tickCount_;
  tray_->SetToolTip(TrayToolTip());
}

bool TPingObject::SamplingTick(TickMode mode) {
  return sampling_.Tick(mode, *this);
}

void TPingObject::CloseBtnMouseUp() {
  closeRequested_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  QApplication::restoreOverrideCursor();
}

void TPingObject::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  // Closed by the window manager with "keep running in the tray" chosen: only
  // hidden, as long as a tray is there to bring it back.
  if (params_.closeToTray && !closeRequested_ && TTrayIcon::Available()) {
    hide();
    event->ignore();
    return;
  }
  // A close that will go on leaves the screen at once: the flag waits that
  // follow (two seconds, with a hung share the grace for its thread too)
  // would otherwise show a frozen window. The query decides after stopping
  // sampling, which waits the flag wait first.
  if (CloseIsDue(sampling_.FlagWaitMs())) hide();
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

bool TPingObject::FormCloseQuery() {
  // Stops sampling without changing which of Start and Stop is down, so that
  // the saved parameters remember whether sampling ran.
  RunSamplingTimer(false);
  sampling_.StopThreads();
  UpdateResourceButtons();
  if (CloseIsDue(0)) return true;
  if (progExit_ == nullptr) {
    progExit_ = new TProgExit(this, [this] {
      closeConfirmed_ = true;
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    progExit_->show();
  }
  return false;
}

bool TPingObject::CloseIsDue(uint64_t afterMs) const {
  return closeConfirmed_ || clock_.TickMs() + afterMs - startTick_ > 5000;
}

void TPingObject::FormClose() {
  closed_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RunSamplingTimer(false);
  trendTimer_.stop();
  for (TChartPanel* panel : std::initializer_list<TChartPanel*>{charts_->live, charts_->trend}) {
    panel->valueWindow->hide();
  }
  SaveParametersOnClose();
  sampling_.CloseThreads([this] { uiDispatcher_->Cancel(); });
  if (progExit_ != nullptr) progExit_->close();
  CloseTrendFiles();
  QuitHelp();
  QApplication::restoreOverrideCursor();
}

}  // namespace tw
