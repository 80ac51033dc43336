// The main window's printed trend report and export of the trend day: the
// "&Print trend" and "Cop&y trend" buttons of the trend screen, the print,
// period and save dialogs, and where the results go (printer or PDF file,
// clipboard, file). What is printed and exported is computed in
// charts/TrendReport and charts/TrendExport.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/StatusTable.h"
#include "charts/TrendExport.h"
#include "charts/TrendReport.h"
#include "charts/qt/QtCanvas.h"
#include "charts/qt/TrendChartPanel.h"
#include "dialogs/Msgdlg.h"
#include "dialogs/SetTrTim.h"
#include "engine/PingThread.h"
#include "platform/SafeFile.h"
#include "util/DateTime.h"

namespace tw {

namespace {

// Spreadsheets paste this type as a table; plain text goes along for the rest.
constexpr const char* kTsvMimeType = "text/tab-separated-values";

void PutOnClipboard(const std::string& text) {
  auto* data = new QMimeData;
  data->setText(QString::fromStdString(text));
  data->setData(kTsvMimeType, QByteArray::fromStdString(text));
  QGuiApplication::clipboard()->setMimeData(data);
}

// Why a PDF file cannot be opened for writing (without changing a file that is there).
QString WhyNotWritable(const QString& path) {
  const bool existed = QFileInfo::exists(path);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return file.errorString();
  file.close();
  if (!existed) QFile::remove(path);
  return "it could not be opened";
}

QString PrintTrouble(QPrinter& printer, const char* what) {
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    const QString path = printer.outputFileName();
    return QString("The PDF file \"%1\" cannot be written: %2.").arg(path, WhyNotWritable(path));
  }
  return QString("The printer \"%1\" %2. The trend may not have been printed.")
      .arg(printer.printerName(), what);
}

}  // namespace

void TPingObject::BuildTrendOutput() {
  TTrendChartPanel& panel = TrendPanel();
  connect(panel.printTrend, &QAbstractButton::clicked, this, &TPingObject::PrintTrendClick);
  connect(panel.copyTrendBtn, &QAbstractButton::clicked, this, &TPingObject::CopyTrendBtnClick);
  copyBarPopupMenu_ = new QMenu(this);
  copyBarPopupMenu_->setObjectName("CopyBarPopupMenu");
  QAction* toClipboard = copyBarPopupMenu_->addAction("&Copy to Clipboard");
  toClipboard->setObjectName("CopyToClipbrdMenu");
  toClipboard->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
  QAction* toFile = copyBarPopupMenu_->addAction("Copy to &File");
  toFile->setObjectName("CopyToFile");
  toFile->setShortcut(QKeySequence(Qt::Key_F2));
  // The shortcuts work in the window too, as the menu's labels promise.
  addActions({toClipboard, toFile});
  connect(toClipboard, &QAction::triggered, this, &TPingObject::CopyToClipbrdMenuClick);
  connect(toFile, &QAction::triggered, this, &TPingObject::CopyToFileClick);
}

// ---- printing ----

bool TPingObject::ChoosePrinter(QPrinter& printer) {
  ModalScope modal(*this);
  QPrintDialog dialog(&printer, this);
  return dialog.exec() == QDialog::Accepted;
}

void TPingObject::PrintTrendClick() {
  QPrinter printer(QPrinter::HighResolution);
  if (!ChoosePrinter(printer)) return;
  FinishTrendLoad();  // the report reads the records: never print a day half there
  const QString trouble = PrintTrendReport(printer);
  if (!trouble.isEmpty()) ShowTrendOutputError(trouble);
}

QString TPingObject::PrintTrendReport(QPrinter& printer) {
  const QPageLayout layout = printer.pageLayout();
  const ReportPage page{printer.width(), printer.height(),
                        layout.paintRect(QPageLayout::Millimeter).width()};
  // A printer without a page width would divide by zero; say so instead.
  if (!(page.widthMm > 0) || page.widthPx <= 0)
    return QString("The printer \"%1\" reports no page width. Nothing was printed.")
        .arg(printer.printerName());
  std::vector<ReportRow> rows;
  for (int row = 1; row < table_.RowCount(); ++row) {
    if (table_.Thread(row) == nullptr) continue;
    rows.push_back({row,
                    {table_.Kind(row), CellColor(table_, Col::WriteColor, row),
                     CellColor(table_, Col::ReadColor, row), table_.Cell(Col::Resource, row)}});
  }
  TTrendChartPanel& panel = TrendPanel();
  ReportSettings settings;
  settings.trendDate = panel.trend.trendDate;
  settings.scale = panel.trend.Scale();
  settings.horizontalGrid = panel.trend.horizontalGrid;
  settings.verticalGrid = panel.trend.verticalGrid;
  settings.dateCaption = panel.trendDatePanel->text().toStdString();
  settings.today = EncodeDateTime(clock_.LocalNow());
  settings.font = {params_.dialogFont.name, 1, params_.dialogFont.bold, params_.dialogFont.italic};

  printer.setDocName("Network speed trend");
  QPainter painter;
  if (!painter.begin(&printer)) return PrintTrouble(printer, "could not start the print job");
  QtCanvas canvas(painter);
  NoTrendRecords none;
  // The records the trend chart reads.
  TrendLookup* lookup = panel.Lookup();
  tw::PrintTrendReport(canvas, page, settings, rows, lookup != nullptr ? *lookup : none,
                       [&printer] { return printer.newPage(); });
  const bool ended = painter.end();
  if (!ended || printer.printerState() == QPrinter::Error)
    return PrintTrouble(printer, "reported an error");
  return {};
}

// ---- export ----

std::string TPingObject::TrendExportText(int startSlot, int endSlot) const {
  std::vector<ExportRow> rows;
  for (int row = 1; row < table_.RowCount(); ++row) {
    const TPingThread* thread = table_.Thread(row);
    rows.push_back({table_.Cell(Col::Resource, row), table_.Kind(row),
                    thread != nullptr ? &thread->TrendDayValues : nullptr});
  }
  const std::string caption = charts_->trend->trendDatePanel->text().toStdString();
  return ExportText(BuildExportTable(caption, rows, startSlot, endSlot));
}

void TPingObject::CopyTrendBtnClick() {
  copyBarPopupMenu_->popup(QCursor::pos());
}

bool TPingObject::AskTrendPeriod(int& startSlot, int& endSlot) {
  ModalScope modal(*this);
  TTrendTimePeriod dialog(this, &params_);
  dialog.SetTexts(trendPeriodTexts_);
  if (dialog.exec() != kDialogOk) return false;
  startSlot = dialog.StartSlot();
  endSlot = dialog.EndSlot();
  trendPeriodTexts_ = dialog.Texts();
  return true;
}

void TPingObject::CopyToClipbrdMenuClick() {
  int start = 0, end = 0;
  if (!AskTrendPeriod(start, end)) return;
  FinishTrendLoad();  // the export reads the day as drawn from the records
  PutOnClipboard(TrendExportText(start, end));
}

QString TPingObject::AskExportFileName() {
  ModalScope modal(*this);
  QFileDialog dialog(this);
  dialog.setObjectName("SaveDialog1");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({"CSV files (*.CSV *.csv)", "All files (*)"});
  dialog.setDefaultSuffix("CSV");
  dialog.selectFile("trend.csv");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void TPingObject::CopyToFileClick() {
  const QString path = AskExportFileName();
  if (path.isEmpty()) return;
  int start = 0, end = 0;
  if (!AskTrendPeriod(start, end)) return;
  FinishTrendLoad();
  WriteTrendExport(path, TrendExportText(start, end));
}

bool TPingObject::WriteTrendExport(const QString& path, const std::string& text) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string reason;
  const bool written = ReplaceFileContents(QFile::encodeName(path).toStdString(), text, &reason);
  QApplication::restoreOverrideCursor();
  if (!written) {
    ShowTrendOutputError(
        QString("The trend could not be written to the file \"%1\": %2. The file was left as it "
                "was.")
            .arg(path, QString::fromStdString(reason)));
  }
  return written;
}

void TPingObject::ShowTrendOutputError(const QString& text) {
  ModalScope modal(*this);
  MsgDialog().ShowMessage("Error", text);
}

}  // namespace tw
