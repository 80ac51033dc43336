// The parameters file through the real main window: first start, a save and
// a load across two windows, and the two error messages.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "app/DialUpTimer.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/qt/LiveChartPanel.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/Bitmpbtn.h"
#include "controls/SystemFonts.h"
#include "dialogs/Help.h"
#include "platform/fake/FakeClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

namespace tw {
namespace {

class PingObjectParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    setenv("TARNWICK_HOME", home_.Path().c_str(), 1);
    setenv("TARNWICK_STATE_DIR", state_.Path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TARNWICK_HOME");
    unsetenv("TARNWICK_STATE_DIR");
  }

  // A main window as the program makes it, shown, with short waits.
  std::unique_ptr<TPingObject> OpenWindow() {
    auto window = std::make_unique<TPingObject>(clock_);
    window->SetFlagWaitMs(0);
    window->show();
    return window;
  }
  // Closes it later than 5 s after its start, so the close goes through.
  void CloseWindow(TPingObject& window) {
    clock_.AdvanceMs(6000);
    window.close();
  }
  std::string FileText() const {
    std::ifstream in(home_.File("RAREDARI.INI"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  FakeClock clock_;
  test::TempDir home_;
  test::TempDir state_;
};

TEST_F(PingObjectParamsTest, FirstStartWithoutFile) {
  test::ModalWatch modals;
  auto window = OpenWindow();
  EXPECT_TRUE(modals.Seen().isEmpty());
  EXPECT_TRUE(window->ParametersMissing());  // the wizard is asked for
  EXPECT_EQ(window->Table().RowCount(), 1);
  EXPECT_EQ(window->Parameters().dialUpTable, DefaultDialUpTable());
  EXPECT_FALSE(window->Parameters().trend);
  EXPECT_EQ(window->windowTitle(), "Tarnwick");
  EXPECT_FALSE(window->SamplingRuns());
  // "MS Sans Serif", 8 points, bold; where it is missing, drawn in a
  // look-alike, else in the desktop's family.
  EXPECT_TRUE(window->font().bold());
  EXPECT_EQ(window->font().pointSize(), 8);
  if (!QFontDatabase::hasFamily("MS Sans Serif")) {
    if (FontFamilyAvailable("MS Sans Serif")) {
      const QString drawnIn = QFontInfo(window->font()).family();
      const QStringList alikes = FontLookAlikes("MS Sans Serif");
      EXPECT_TRUE(std::any_of(alikes.begin(), alikes.end(), [&](const QString& a) {
        return drawnIn.startsWith(a);
      })) << drawnIn.toStdString();
    } else {
      EXPECT_EQ(window->font().family(),
                QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    }
  }
  EXPECT_EQ(window->ParametersFileName(), home_.File("RAREDARI.INI"));
  CloseWindow(*window);
  EXPECT_NE(FileText().find("[Main]\r\nSign=Network speed\r\n"), std::string::npos);
}

TEST_F(PingObjectParamsTest, SettingsSurviveARestart) {
  {
    auto window = OpenWindow();
    for (const char* host : {"127.0.0.1", "127.0.0.2", "localhost"})
      window->AddResourceRow(host, ResourceKind::Echo);
    window->Table().SetCell(Col::MinSpeed, 2, "12.5");
    window->StartBtnClick();
    window->move(130, 140);
    window->LivePanel().live.SetScale(50);
    // The sticky chart buttons are saved as they stand (bitmap buttons: checked is down).
    window->LivePanel().hGrdBtn->click();
    window->TrendPanel().vGrdBtn->click();
    window->Charts().trendBmp->click();
    window->Charts().shrinkAndGrow->click();
    // The keeper's own table and timer are what is saved.
    ConnectWindowsTable& dialUp = window->EventServices().ConnectWindows();
    dialUp.SetRowCount(dialUp.RowCount() + 1);
    dialUp.SetCell(ConnectWindowsTable::TitleCol, dialUp.RowCount() - 1, "My dialer");
    dialUp.SetCell(ConnectWindowsTable::ButtonCol, dialUp.RowCount() - 1, "Redial");
    window->EventServices().DialUpTimer().SetIntervalMs(7000);
    window->EventServices().DialUpTimer().SetEnabled(true);
    window->Parameters().userKnownCDFileSize = true;
    CloseWindow(*window);
  }
  const std::string text = FileText();
  EXPECT_NE(text.find("Ping objects=1\r\n"), std::string::npos);  // closed while sampling ran
  EXPECT_NE(text.find("Object337="), std::string::npos);
  for (const char* key : {"Trend=1\r\n", "HGrdBtn=0\r\n", "VGrdBtn=1\r\n", "HTrendGrdBtn=1\r\n",
                          "VTrendGrdBtn=0\r\n", "Shrinked=1\r\n"}) {
    EXPECT_NE(text.find(key), std::string::npos) << key;
  }

  test::ModalWatch modals;
  auto window = OpenWindow();
  EXPECT_TRUE(modals.Seen().isEmpty());
  EXPECT_FALSE(window->ParametersMissing());
  ASSERT_EQ(window->Table().ResourceCount(), 3);
  EXPECT_EQ(window->Table().Cell(Col::Resource, 3), "localhost");
  EXPECT_EQ(window->Table().Cell(Col::MinSpeed, 2), "12.5");
  for (int row = 1; row <= 3; ++row) {
    ASSERT_NE(window->Table().Thread(row), nullptr);
    EXPECT_EQ(window->Table().Thread(row)->Row(), row);
  }
  // "Ping objects" pressed Start while loading.
  EXPECT_TRUE(window->StartBtn()->isChecked());
  EXPECT_TRUE(window->SamplingRuns());
  EXPECT_FALSE(window->DeleteBtn()->isEnabled());
  EXPECT_EQ(window->pos(), QPoint(130, 140));
  EXPECT_DOUBLE_EQ(window->Parameters().scale, 50);
  ChartParts& charts = window->Charts();
  EXPECT_FALSE(window->LivePanel().hGrdBtn->Down());
  EXPECT_FALSE(window->LivePanel().live.horizontalGrid);
  EXPECT_TRUE(window->LivePanel().vGrdBtn->Down());
  EXPECT_TRUE(window->TrendPanel().hGrdBtn->Down());
  EXPECT_FALSE(window->TrendPanel().vGrdBtn->Down());
  EXPECT_FALSE(window->TrendPanel().trend.verticalGrid);
  EXPECT_TRUE(charts.trendBmp->Down());
  EXPECT_TRUE(charts.shrunk);
  EXPECT_TRUE(window->Parameters().dialUpEnabled);
  ASSERT_EQ(window->Parameters().dialUpTable.size(), 4u);
  EXPECT_EQ(window->Parameters().dialUpTable[3].buttonText, "Redial");
  EXPECT_EQ(window->EventServices().ConnectWindows().Cell(ConnectWindowsTable::TitleCol, 4),
            "My dialer");
  EXPECT_TRUE(window->EventServices().DialUpTimer().Enabled());
  EXPECT_EQ(window->EventServices().DialUpTimer().IntervalMs(), 7000);
  EXPECT_TRUE(window->Parameters().userKnownCDFileSize);
  EXPECT_EQ(window->windowTitle(), "Tarnwick");

  // Stopped this time: the next start does not sample.
  window->StopBtn()->click();
  CloseWindow(*window);
  EXPECT_NE(FileText().find("Ping objects=0\r\n"), std::string::npos);
}

TEST_F(PingObjectParamsTest, ReadErrorOnlyAfterAnEarlierSaveOnThisMachine) {
  CloseWindow(*OpenWindow());  // saves once
  std::filesystem::remove(home_.File("RAREDARI.INI"));
  test::ModalWatch modals;
  auto window = OpenWindow();
  ASSERT_EQ(modals.Seen().size(), 1);
  EXPECT_EQ(modals.Seen()[0], "Error|An ERROR occured during reading parameters file\n" +
                                  QString::fromStdString(home_.File("RAREDARI.INI")));
  EXPECT_TRUE(window->ParametersMissing());
  CloseWindow(*window);
}

TEST_F(PingObjectParamsTest, WriteErrorIsShownAndTheCloseGoesOn) {
  auto window = OpenWindow();
  window->AddResourceRow("127.0.0.1", ResourceKind::Echo);
  window->FinishTrendLoad();  // the trend files are made in the folder before it goes
  // The program folder has become a file: nothing can be written in it.
  std::filesystem::remove_all(home_.Path());
  std::ofstream(home_.Path()) << "not a folder";
  test::ModalWatch modals;
  CloseWindow(*window);
  ASSERT_EQ(modals.Seen().size(), 1);
  EXPECT_EQ(modals.Seen()[0], "Error|An ERROR occured during writing parameters file\n" +
                                  QString::fromStdString(home_.File("RAREDARI.INI")));
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->Table().Thread(1), nullptr);  // the threads were freed after all
  EXPECT_TRUE(std::filesystem::is_regular_file(home_.Path()));
}

QString Shown(const std::string& message) {
  return QString::fromStdString(message).replace('\r', '\n');
}

// A file that is there but not valid is never saved over: it is kept aside
// at start-up, the user is told where, and the close saves new settings.
TEST_F(PingObjectParamsTest, AnInvalidFileIsKeptAndTheUserIsTold) {
  const std::string path = home_.File("RAREDARI.INI");
  const std::string damaged =
      "[Main]\r\nSign=network speed\r\n[Objects]\r\nNumber=1\r\nObject11=10.9.9.9\r\n";
  std::ofstream(path, std::ios::binary) << damaged;
  {
    test::ModalWatch modals;
    auto window = OpenWindow();
    ASSERT_EQ(modals.Seen().size(), 1);
    EXPECT_EQ(modals.Seen()[0], "Error|" + Shown(UnloadedFileMessage(path, path + ".bad")));
    EXPECT_TRUE(modals.Seen()[0].contains(QString::fromStdString(path + ".bad")));
    EXPECT_TRUE(window->ParametersMissing());
    EXPECT_EQ(window->Table().RowCount(), 1);
    CloseWindow(*window);
  }
  std::ifstream kept(path + ".bad", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged);
  EXPECT_NE(FileText().find("Sign=Network speed\r\n"), std::string::npos);
  test::ModalWatch modals;
  auto window = OpenWindow();
  EXPECT_TRUE(modals.Seen().isEmpty());
  EXPECT_FALSE(window->ParametersMissing());
  CloseWindow(*window);
}

// A FIFO or a folder in place of the parameters file or the help file
// neither stops the window from showing nor is saved over.
TEST_F(PingObjectParamsTest, SpecialFilesInPlaceOfTheFilesDoNotHang) {
  const std::string path = home_.File("RAREDARI.INI");
  const std::string help = home_.File("TARNWICK.HLP");
  const std::function<void(const std::string&)> makers[] = {
      [](const std::string& p) { mkfifo(p.c_str(), 0600); },
      [](const std::string& p) { std::filesystem::create_directory(p); },
  };
  for (const auto& make : makers) {
    for (const std::string& name : {path, path + ".bad", help}) std::filesystem::remove_all(name);
    make(path);
    make(help);
    const auto type = std::filesystem::symlink_status(path).type();
    test::Watchdog watchdog(60, "a window over special files");
    test::ModalWatch modals;
    auto window = OpenWindow();
    ASSERT_EQ(modals.Seen().size(), 1);
    EXPECT_TRUE(modals.Seen()[0].contains(QString::fromStdString(path + ".bad")));
    EXPECT_TRUE(window->isVisible());
    // The help file beside the program is taken instead.
    EXPECT_TRUE(window->Help().JumpToTopic("Main_index"));
    CloseWindow(*window);
    EXPECT_EQ(std::filesystem::symlink_status(path + ".bad").type(), type);
    EXPECT_NE(FileText().find("Sign=Network speed\r\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace tw
