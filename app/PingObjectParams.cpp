// The main window's side of the parameters file: loading it when the window
// is first shown, applying what it holds to the window, and saving it when
// the window closes. Also the window-wide message dialog and help.
#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "app/EventServices.h"
#include "app/HelpFileLocation.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/DisplayResourceTable.h"
#include "charts/qt/LiveChartPanel.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/SystemColors.h"
#include "controls/SystemFonts.h"
#include "dialogs/Help.h"
#include "dialogs/Msgdlg.h"
#include "platform/ProgramFolder.h"

namespace tw {

namespace {

// The font of a setting. "MS Sans Serif" is drawn in its look-alike; any
// other family the desktop lacks becomes the desktop's sans-serif family. The
// setting keeps its name, so the file still says what the user chose.
QFont ToQFont(const FontSetting& setting) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const QString family = QString::fromStdString(setting.name);
  if (FontFamilyAvailable(family)) font.setFamily(family);
  font.setPointSize(setting.size);
  font.setBold(setting.bold);
  font.setItalic(setting.italic);
  return font;
}

void ApplyFont(QWidget* widget, const FontSetting& setting) {
  widget->setFont(ToQFont(setting));
  QPalette colours = widget->palette();
  const QColor color = ToQColor(setting.color, QApplication::palette());
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    colours.setColor(role, color);
  }
  widget->setPalette(colours);
}

bool OnSomeScreen(const QPoint& topLeft) {
  // A window moved back to a position on a screen that is gone would be
  // unreachable; a point a little inside its corner must be visible.
  return QGuiApplication::screenAt(topLeft + QPoint(20, 20)) != nullptr;
}

}  // namespace

std::string TPingObject::ParametersFileName() const {
  return ProgramFile(kParametersFileName);
}

TMsgDialog& TPingObject::MsgDialog() {
  if (msgDialog_ == nullptr) msgDialog_ = new TMsgDialog(this);
  return *msgDialog_;
}

THelp& TPingObject::Help() {
  if (help_ == nullptr) help_ = new THelp(this);
  return *help_;
}

void TPingObject::QuitHelp() {
  if (help_ != nullptr) help_->Quit();
}

void TPingObject::LoadParametersOnShow() {
  Help().SetHelpFile(FindHelpFile(QString::fromStdString(ProgramFolder()),
                                  QString::fromStdString(ExecutableFolder())));
  parametersMissing_ = true;
  parametersLoaded_ = false;
  params_.left = x();
  params_.top = y();
  const std::string path = ParametersFileName();
  bool fileFound = false;
  if (LoadParameters(path, table_, params_, &fileFound) == LoadOutcome::Loaded) {
    ApplyLoadedParameters();
    parametersMissing_ = false;
    parametersLoaded_ = true;
  } else {
    ApplyFonts();
    if (fileFound) {
      KeepUnloadedParameters(path);
    } else {
      parametersLoaded_ = true;  // a first start: the save makes the file
      if (ParametersSavedBefore(path)) {
        QMessageBox::critical(
            this, "Error",
            "An ERROR occured during reading parameters file\n" + QString::fromStdString(path));
      }
    }
  }
  ApplyDialUpParameters();
  ApplyChartParameters();
  setWindowTitle("Tarnwick");
  OpenTrendFiles();
}

// A file that is there but was not loaded holds settings the user may still
// want: it is moved aside before anything could save over it, and the user
// is told where it went. If it cannot be moved, nothing is saved at close.
void TPingObject::KeepUnloadedParameters(const std::string& path) {
  const std::string keptAs = KeepUnloadedFile(path);
  parametersLoaded_ = !keptAs.empty();
  ShowKeptFileMessage(path, keptAs);
}

void TPingObject::ShowKeptFileMessage(const std::string& path, const std::string& keptAs) {
  QApplication::restoreOverrideCursor();
  MsgDialog().ShowMessage("Error", QString::fromStdString(UnloadedFileMessage(path, keptAs)));
}

void TPingObject::ApplyDialUpParameters() {
  ConnectWindowsTable& table = EventServices().ConnectWindows();
  table.SetRowCount(static_cast<int>(params_.dialUpTable.size()) + 1);
  for (size_t i = 0; i < params_.dialUpTable.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    table.SetCell(ConnectWindowsTable::TitleCol, row, params_.dialUpTable[i].dialogTitle);
    table.SetCell(ConnectWindowsTable::ButtonCol, row, params_.dialUpTable[i].buttonText);
  }
  EventServices().DialUpTimer().SetIntervalMs(params_.dialUpIntervalMs);
  EventServices().DialUpTimer().SetEnabled(params_.dialUpEnabled);
}

void TPingObject::CollectDialUpParameters() {
  const ConnectWindowsTable& table = EventServices().ConnectWindows();
  params_.dialUpTable.clear();
  for (int row = 1; row < table.RowCount(); ++row) {
    params_.dialUpTable.push_back({table.Cell(ConnectWindowsTable::TitleCol, row),
                                   table.Cell(ConnectWindowsTable::ButtonCol, row)});
  }
  if (params_.dialUpTable.empty()) params_.dialUpTable.emplace_back();
  params_.dialUpIntervalMs = EventServices().DialUpTimer().IntervalMs();
  params_.dialUpEnabled = EventServices().DialUpTimer().Enabled();
}

void TPingObject::ApplyLoadedParameters() {
  AttachRowThreads(table_, *services_);
  SyncStatusTableRows();
  UpdateResourceButtons();
  if (OnSomeScreen(QPoint(params_.left, params_.top))) move(params_.left, params_.top);
  if (params_.pingObjects) {
    startBtn_->setChecked(true);
    StartBtnClick();
  }
  trendEnabled_ = params_.trendEnabled;
  ApplyFonts();
}

void TPingObject::ApplyFonts() {
  ApplyFont(this, params_.dialogFont);
  DisplayResourceTable()->SetStringGridsFont(ToQFont(params_.stringGridFont));
  ApplyFont(DisplayResourceTable(), params_.stringGridFont);
  ApplyFont(charts_->trend->trendDatePanel, params_.editLineFont);
}

void TPingObject::ApplyChartParameters() {
  ChartParts& c = *charts_;
  c.live->live.SetScale(params_.scale);
  c.trend->trend.SetScale(params_.trendScale);
  c.live->SetGrids(params_.hGrid, params_.vGrid);
  c.trend->SetGrids(params_.hTrendGrid, params_.vTrendGrid);
  for (int col = 0; col < 5; ++col) {
    DisplayResourceTable()->SetColWidth(col, params_.columnWidths[static_cast<size_t>(col)]);
  }
  c.trendBmp->setChecked(params_.trend);
  TrendBmpClick();
  if (params_.shrinked) ShrinkAndGrowClick();
  TrendRedraw();
}

void TPingObject::CollectChartParameters() {
  const ChartParts& c = *charts_;
  params_.scale = c.live->live.Scale();
  params_.trendScale = c.trend->trend.Scale();
  params_.hGrid = c.live->hGrdBtn->isChecked();
  params_.vGrid = c.live->vGrdBtn->isChecked();
  params_.hTrendGrid = c.trend->hGrdBtn->isChecked();
  params_.vTrendGrid = c.trend->vGrdBtn->isChecked();
  for (int col = 0; col < 5; ++col) {
    params_.columnWidths[static_cast<size_t>(col)] = DisplayResourceTable()->ColWidth(col);
  }
  params_.trend = c.trendBmp->isChecked();
  params_.shrinked = c.shrunk;
}

void TPingObject::SaveParametersOnClose() {
  // A window that never loaded its parameters must not overwrite them.
  if (!parametersLoaded_) return;
  params_.left = x();
  params_.top = y();
  params_.pingObjects = startBtn_->isChecked();
  params_.trendEnabled = trendEnabled_;
  CollectDialUpParameters();
  CollectChartParameters();
  const std::string path = ParametersFileName();
  std::string keptAs;
  const bool saved = SaveParameters(path, table_, params_, nullptr, &keptAs);
  if (!keptAs.empty()) {
    ShowKeptFileMessage(path, keptAs);
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  if (saved) return;
  QApplication::restoreOverrideCursor();
  MsgDialog().ShowMessage(
      "Error", "An ERROR occured during writing parameters file\r" + QString::fromStdString(path));
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

}  // namespace tw
