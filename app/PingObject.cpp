#include "app/PingObject.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ProgExit.h"

namespace tw {

TPingObject::TPingObject(Clock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock), sampling_(table_, clock) {
  FormCreate();
}

TPingObject::~TPingObject() {
  if (!closed_) FormClose();
}

void TPingObject::FormCreate() {
  setObjectName("PingObject");
  setWindowTitle("Zarezed Araru Viriz");
  uiDispatcher_ = new UiDispatcher(this);
  // Without an ICMP socket the program runs on; host rows keep "Testing...".
  const std::string echoProblem = EchoBindingMessage(SystemEcho());
  services_ = std::make_unique<EngineServices>(
      EngineServices{uiDispatcher_->dispatcher(), clock_, *this, echoProblem.empty()});
  if (!echoProblem.empty()) {
    auto* box = new QMessageBox(QMessageBox::Critical, "Error", QString::fromStdString(echoProblem),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  }
  BuildButtons();
  BuildStatusTable();
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
  startBtn_ = new QPushButton("Start", this);
  startBtn_->setObjectName("StartBtn");
  startBtn_->setToolTip("Starts the test process");
  stopBtn_ = new QPushButton("Stop", this);
  stopBtn_->setObjectName("StopBtn");
  stopBtn_->setToolTip("Stops the test process");
  for (QPushButton* b : {startBtn_, stopBtn_}) b->setCheckable(true);
  startStopGroup_ = new QButtonGroup(this);
  startStopGroup_->setExclusive(true);
  startStopGroup_->addButton(startBtn_);
  startStopGroup_->addButton(stopBtn_);
  stopBtn_->setChecked(true);
  deleteBtn_ = new QPushButton("Delete", this);
  deleteBtn_->setObjectName("DeleteBtn");
  closeBtn_ = new QPushButton("Close", this);
  closeBtn_->setObjectName("CloseBtn");
  connect(startBtn_, &QPushButton::clicked, this, &TPingObject::StartBtnClick);
  connect(stopBtn_, &QPushButton::clicked, this, &TPingObject::StopBtnClick);
  connect(closeBtn_, &QPushButton::released, this, &TPingObject::CloseBtnMouseUp);
}

void TPingObject::BuildStatusTable() {
  statusTable_ = new QTableWidget(0, 5, this);
  statusTable_->setObjectName("DisplayResourceTable");
  statusTable_->verticalHeader()->hide();
  statusTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  statusTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  statusTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  QStringList header;
  for (int col = 0; col < 5; ++col) header << QString::fromStdString(table_.Cell(col, 0));
  statusTable_->setHorizontalHeaderLabels(header);
  statusTable_->setColumnWidth(0, 12);

  auto* bar = new QHBoxLayout;
  for (QPushButton* b : {startBtn_, stopBtn_, deleteBtn_}) bar->addWidget(b);
  bar->addStretch(1);
  bar->addWidget(closeBtn_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(statusTable_);
  resize(560, 300);
}

void TPingObject::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) FormShow();
}

void TPingObject::FormShow() {
  shown_ = true;
  SamplingTick(TickMode::Redraw);
}

QAbstractButton* TPingObject::StartBtn() const { return startBtn_; }
QAbstractButton* TPingObject::StopBtn() const { return stopBtn_; }

int TPingObject::AddResourceRow(const std::string& address, char kind) {
  const int row = table_.RowCount();
  table_.SetRowCount(row + 1);
  table_.SetNewRowDefaults(row);
  table_.SetCell(Col::Resource, row, address);
  table_.SetCell(Col::Kind, row, std::string(1, kind));
  auto* thread = new TPingThread(row, *services_);
  table_.AttachThread(row, thread);
  thread->LoadSettings(table_);
  SyncStatusTableRows();
  if (startBtn_->isChecked()) {
    thread->Resume();
    thread->Resume();
  }
  return row;
}

void TPingObject::SyncStatusTableRows() {
  statusTable_->setRowCount(table_.ResourceCount());
  for (int row = 1; row < table_.RowCount(); ++row) {
    for (int col = 0; col < 5; ++col) RepaintCell(col, row);
  }
}

void TPingObject::RepaintCell(int col, int row) {
  if (row < 1 || row > statusTable_->rowCount() || col < 0 || col >= 5) return;
  QTableWidgetItem* item = statusTable_->item(row - 1, col);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    statusTable_->setItem(row - 1, col, item);
  }
  item->setText(QString::fromStdString(table_.Cell(col, row)));
}

void TPingObject::AppendTrendRecord(const std::string&, double, double, double) {
  // The trend files are written by the trend storage once it is attached.
}

int TPingObject::SelectedRow() const {
  const int current = statusTable_->currentRow();
  return current < 0 ? 1 : current + 1;
}

void TPingObject::StartBtnClick() {
  startBtn_->setChecked(true);
  pingSendTimer_.start();
  sampling_.StartThreads();
  deleteBtn_->setEnabled(false);
}

void TPingObject::StopBtnClick() {
  pingSendTimer_.stop();
  sampling_.StopThreads();
  deleteBtn_->setEnabled(true);
}

void TPingObject::PingSendTimerTimer() {
  if (SamplingTick(TickMode::Tick)) ++tickCount_;
}

bool TPingObject::SamplingTick(TickMode mode) { return sampling_.Tick(mode, *this); }

void TPingObject::TrendTimerTimer() {
  // Day change and trend redraw arrive with the trend chart.
}

void TPingObject::CloseBtnMouseUp() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  QApplication::restoreOverrideCursor();
}

void TPingObject::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
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
  pingSendTimer_.stop();
  sampling_.StopThreads();
  deleteBtn_->setEnabled(true);
  if (closeConfirmed_) return true;
  if (clock_.TickMs() - startTick_ > 5000) return true;
  if (progExit_ == nullptr) {
    progExit_ = new TProgExit(this, [this] {
      closeConfirmed_ = true;
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    progExit_->show();
  }
  return false;
}

void TPingObject::FormClose() {
  closed_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  pingSendTimer_.stop();
  trendTimer_.stop();
  sampling_.CloseThreads([this] { uiDispatcher_->Cancel(); });
  if (progExit_ != nullptr) progExit_->close();
  QApplication::restoreOverrideCursor();
}

}  // namespace tw
