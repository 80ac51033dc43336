// The printed trend report and the export of the trend day from the main
// window: a real PDF through Qt's printer read back with pdftotext, the
// export on the real X clipboard as another program reads it, the exported
// file read as TSV, and the failures a user must be told about.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>

#include "app/PingObject.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/Bitmpbtn.h"
#include "dialogs/Help.h"
#include "dialogs/SetTrTim.h"
#include "support/MapTrendLookup.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "util/DateTime.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

// Real ticks (the window's waits must end) at a fixed local time.
class FixedClock final : public Clock {
 public:
  uint64_t TickMs() override { return SystemClock().TickMs(); }
  int64_t CounterUs() override { return SystemClock().CounterUs(); }
  CivilTime LocalNow() override { return {2026, 12, 9, 13, 5, 0, 0}; }
};

const double kToday = EncodeDateTime({2026, 12, 9, 0, 0, 0, 0});

// What a program prints on stdout (empty when it cannot run), with the event
// loop running meanwhile: the clipboard owner answers from it.
QByteArray RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(5000)) return {};
  test::WaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000);
  return process.readAllStandardOutput();
}

bool HaveProgram(const char* name) {
  return !RunProgram("sh", {"-c", QString("command -v %1").arg(name)}).isEmpty();
}

// Runs the time period dialog that the export opens with the given period.
void AnswerPeriod(QStringList texts) {
  test::AnswerNextModal([texts](QWidget* modal) {
    auto* dialog = qobject_cast<TTrendTimePeriod*>(modal);
    ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
    dialog->SetTexts(texts);
    dialog->BtnOk()->click();
  });
}

// One line per table row, split at tabs; every line must end with CR LF.
std::vector<QStringList> ParseTsv(const QByteArray& bytes) {
  std::vector<QStringList> lines;
  const QString text = QString::fromUtf8(bytes);
  EXPECT_TRUE(text.endsWith("\r\n"));
  for (const QString& line : text.split("\r\n")) {
    if (!line.isEmpty() || !lines.empty()) lines.push_back(line.split('\t'));
  }
  if (!lines.empty() && lines.back() == QStringList{""}) lines.pop_back();
  return lines;
}

class TrendOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    // A program folder of this test: no rows saved by another test's window.
    savedHome_ = qgetenv("TARNWICK_HOME");
    qputenv("TARNWICK_HOME", QByteArray::fromStdString(home_.Path()));
    window_ = std::make_unique<TPingObject>(clock_);
    window_->SetFlagWaitMs(10);
    window_->show();
    window_->AddResourceRow("192.0.2.7", ResourceKind::Echo);
    window_->AddResourceRow(home_.Path(), ResourceKind::Drive);
    // 00:15 and 12:00 of today for the host; 8:15 for the folder.
    lookup_.Add("192.0.2.7", kToday + 1.0 / 96, {0, 0, 1});
    lookup_.Add("192.0.2.7", kToday + 0.5, {0, 0, 47});
    lookup_.Add(home_.Path(), kToday + 33.0 / 96, {2.5, 1.25, 0});
    // The window's own trend files come into use when their load ends; the
    // test's records take their place after that.
    window_->FinishTrendLoad();
    window_->SetTrendLookup(&lookup_);
    window_->TrendRedraw();
  }
  void TearDown() override {
    window_->SetTrendLookup(nullptr);
    window_->close();
    window_.reset();
    qputenv("TARNWICK_HOME", savedHome_);
  }

  test::TempDir home_;
  QByteArray savedHome_;
  FixedClock clock_;
  test::MapTrendLookup lookup_;
  std::unique_ptr<TPingObject> window_;
};

TEST_F(TrendOutputTest, ButtonsAndMenuOfTheTrendScreen) {
  TTrendChartPanel& panel = window_->TrendPanel();
  struct Case {
    TBitmapButton* button;
    const char* name;
    QString caption, hint;
    QRect place;
    int help;
  } cases[] = {
      {panel.printTrend, "PrintTrend", "&Print trend", "Prints trend of current day",
       QRect(314, 323, 87, 24), 130},
      {panel.copyTrendBtn, "CopyTrendBtn", "Cop&y trend", "Copies trend of current day",
       QRect(314, 350, 87, 24), 158},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.button, nullptr) << c.name;
    EXPECT_EQ(c.button->objectName(), c.name);
    EXPECT_EQ(c.button->text(), c.caption);
    EXPECT_EQ(c.button->toolTip(), c.hint);
    EXPECT_EQ(c.button->geometry(), c.place);
    EXPECT_EQ(HelpContextOf(c.button), c.help);
    EXPECT_TRUE(c.button->isVisible());
  }
  const QList<QAction*> items = window_->CopyBarPopupMenu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "&Copy to Clipboard");
  EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
  EXPECT_EQ(items[1]->text(), "Copy to &File");
  EXPECT_EQ(items[1]->shortcut(), QKeySequence(Qt::Key_F2));
}

TEST_F(TrendOutputTest, PdfReportHoldsHeadingAndStatistics) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  const std::string pdf = home_.File("trend report.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::A4));
  ASSERT_EQ(window_->PrintTrendReport(printer), "");

  QString text =
      QString::fromUtf8(RunProgram("pdftotext", {"-layout", QString::fromStdString(pdf), "-"}));
  text.replace(QRegularExpression("[ \\t]+"), " ");
  const QString expected[] = {
      "Network speed",
      "Report Date : December 9, 2026",
      "December 9, 2026, Wednesday",
      "\"192.0.2.7\" Ping speed. Min. = 0.00, Max. = 47.00, Average = 0.50",
      QString("\"%1\" write speed. Min. = 0.00, Max. = 1.25, Average = 0.01")
          .arg(QString::fromStdString(home_.Path())),
      QString("\"%1\" read speed. Min. = 0.00, Max. = 2.50, Average = 0.03")
          .arg(QString::fromStdString(home_.Path())),
      "KBps",
      "21:00",
  };
  for (const QString& line : expected) EXPECT_TRUE(text.contains(line)) << line.toStdString();
  // TARNWICK_SHOT_DIR keeps a copy to look at.
  if (const char* shots = std::getenv("TARNWICK_SHOT_DIR"))
    fs::copy_file(pdf, std::string(shots) + "/trend-report.pdf",
                  fs::copy_options::overwrite_existing);
  const QString info = QString::fromUtf8(RunProgram("pdfinfo", {QString::fromStdString(pdf)}));
  EXPECT_TRUE(info.contains(QRegularExpression("Title: +Network speed trend")))
      << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\\n"))) << info.toStdString();
}

TEST_F(TrendOutputTest, UnwritablePdfIsReported) {
  for (const std::string& path : {home_.File("missing folder/trend.pdf"), home_.Path()}) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    const QString trouble = window_->PrintTrendReport(printer);
    EXPECT_TRUE(trouble.contains(QString::fromStdString(path))) << trouble.toStdString();
    EXPECT_TRUE(trouble.contains(
        QRegularExpression("No such file|directory", QRegularExpression::CaseInsensitiveOption)))
        << trouble.toStdString();
  }
}

TEST_F(TrendOutputTest, ClipboardHoldsTheTableForOtherPrograms) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X server (DISPLAY is not set)";
  if (!HaveProgram("xclip")) GTEST_SKIP() << "xclip is not installed";
  AnswerPeriod({"8", "0", "9", "0"});
  window_->CopyToClipbrdMenuClick();
  const std::string home = home_.Path();
  const QByteArray expected = QByteArray::fromStdString(
      "December 9, 2026, Wednesday\t\t\t\t\r\n"
      "\t8:15\t8:30\t8:45\t9:00\r\n"
      "192.0.2.7 Read (Kbps)\t0.00\t0.00\t0.00\t0.00\r\n"
      "192.0.2.7 Write (Kbps)\t0.00\t0.00\t0.00\t0.00\r\n"
      "192.0.2.7 Ping (Kbps)\t0.00\t0.00\t0.00\t0.00\r\n" +
      home + " Read (Kbps)\t2.50\t0.00\t0.00\t0.00\r\n" + home +
      " Write (Kbps)\t1.25\t0.00\t0.00\t0.00\r\n" + home +
      " Ping (Kbps)\t0.00\t0.00\t0.00\t0.00\r\n");
  const QStringList clip{"-selection", "clipboard", "-o", "-t"};
  EXPECT_EQ(RunProgram("xclip", clip + QStringList{"text/tab-separated-values"}), expected);
  EXPECT_EQ(RunProgram("xclip", clip + QStringList{"UTF8_STRING"}), expected);
  // The period is kept for the next export of this run.
  test::AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<TTrendTimePeriod*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->StartSlot(), 32);
    EXPECT_EQ(dialog->EndSlot(), 36);
    dialog->CancelBtn()->click();
  });
  window_->CopyToClipbrdMenuClick();
  EXPECT_EQ(RunProgram("xclip", clip + QStringList{"text/tab-separated-values"}), expected);
}

TEST_F(TrendOutputTest, ExportedFileIsTabSeparatedWithAWholeDay) {
  const QString path = QString::fromStdString(home_.File("day.csv"));
  test::AnswerNextModal([path](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"CSV files (*.CSV *.csv)", "All files (*)"}));
    // "trend.csv" offered, and replacing a file is asked about.
    ASSERT_EQ(dialog->selectedFiles().size(), 1);
    EXPECT_TRUE(dialog->selectedFiles()[0].endsWith("/trend.csv"));
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    AnswerPeriod({"00", "00", "24", "00"});
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
  });
  window_->CopyToFileClick();
  const auto lines = ParseTsv(QByteArray::fromStdString(test::ReadAll(path.toStdString())));
  ASSERT_EQ(lines.size(), 8u);
  for (const QStringList& cells : lines) EXPECT_EQ(cells.size(), 97);
  EXPECT_EQ(lines[0][0], "December 9, 2026, Wednesday");
  EXPECT_EQ(lines[1][1], "0:15");
  EXPECT_EQ(lines[1][96], "24:00");
  EXPECT_EQ(lines[4][0], "192.0.2.7 Ping (Kbps)");
  EXPECT_EQ(lines[4][1], "1.00");
  EXPECT_EQ(lines[4][48], "47.00");
  EXPECT_EQ(lines[6][33], "1.25");  // the folder's write speed at 8:15
}

// A file that cannot be written: the user is told which and why, and nothing
// half-written is left, neither in its place nor beside it.
TEST_F(TrendOutputTest, FailedFileWriteIsReportedAndLeavesNoFile) {
  const std::string folder = home_.File("exports");
  fs::create_directories(folder + "/trend.csv");  // a folder where the file should go
  const std::string cases[] = {folder + "/trend.csv", folder + "/missing/trend.csv"};
  for (const std::string& path : cases) {
    test::ModalWatch watch;
    EXPECT_FALSE(window_->WriteTrendExport(QString::fromStdString(path), "a\tb\r\n"));
    ASSERT_EQ(watch.Seen().size(), 1) << path;
    const QString seen = watch.Seen()[0];
    EXPECT_TRUE(seen.startsWith("Error|")) << seen.toStdString();
    EXPECT_TRUE(seen.contains(QString::fromStdString(path))) << seen.toStdString();
    EXPECT_TRUE(seen.contains(QRegularExpression("Is a directory|No such file")))
        << seen.toStdString();
  }
  EXPECT_TRUE(fs::is_directory(folder + "/trend.csv"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tw
