// The global preferences through the real main window: Cancel changes
// nothing, "OK" applies the fonts to the open window, its status table and
// trend date panel and to the dialogs opened later, switches the keeper and
// the trend writing, and all of it survives a close and a restart.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/DialUpTimer.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "charts/qt/DisplayResourceTable.h"
#include "charts/qt/TrendChartPanel.h"
#include "controls/Bitmpbtn.h"
#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/Msgdlg.h"
#include "dialogs/SetEvnt.h"
#include "dialogs/Settings.h"
#include "dialogs/SpinEdit.h"
#include "platform/fake/FakeClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

// Answers the font dialog that `button` opens with the desktop's font at `points`.
void PickFontSize(QPushButton* button, int points) {
  test::AnswerNextModal([points](QWidget* modal) {
    auto* fonts = qobject_cast<QFontDialog*>(modal);
    ASSERT_NE(fonts, nullptr);
    QFont font = fonts->currentFont();
    font.setPointSize(points);
    fonts->setCurrentFont(font);
    fonts->accept();
  });
  button->click();
}

// Types `text` into the title cell of the grid's last row.
void TypeIntoLastTitle(TConnectWindowsGrid* grid, const QString& text) {
  const int last = grid->rowCount() - 1;
  grid->setCurrentCell(last, 0);
  grid->editItem(grid->item(last, 0));
  QLineEdit* editor = nullptr;
  for (auto* line : grid->viewport()->findChildren<QLineEdit*>()) {
    if (line->isVisible()) editor = line;
  }
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, text);
}

class PingObjectSettingsTest : public ::testing::Test {
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

  // A main window as the program makes it, shown and on the screen. A
  // parameters file without resources is there, so that no first-start
  // window opens in front of the preferences.
  std::unique_ptr<TPingObject> OpenWindow() {
    if (!std::filesystem::exists(home_.File("RAREDARI.INI"))) {
      std::ofstream(home_.File("RAREDARI.INI"), std::ios::binary)
          << "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=0\r\n"
             "[Dial_Up]\r\nNumber=4\r\nDialog1=Connect To\r\nButton1=Connect\r\n"
             "Dialog2=Dial-Up Networking\r\nButton2=OK\r\n"
             "Dialog3=Reestablish Connection\r\nButton3=Reconnect\r\n";
    }
    auto window = std::make_unique<TPingObject>(clock_);
    window->SetFlagWaitMs(0);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_FALSE(window->ParametersMissing());
    return window;
  }
  void CloseWindow(TPingObject& window) {
    clock_.AdvanceMs(6000);
    window.close();
  }
  // Presses the Settings button; `answer` acts in the preferences.
  static void Settings(TPingObject& window, const std::function<void(TParameters&)>& answer) {
    test::AnswerNextModal([&](QWidget* modal) {
      auto* preferences = qobject_cast<TParameters*>(modal);
      ASSERT_NE(preferences, nullptr);
      answer(*preferences);
    });
    window.SetBtn()->click();
  }

  FakeClock clock_;
  test::TempDir home_;
  test::TempDir state_;
};

TEST_F(PingObjectSettingsTest, CancelChangesNothing) {
  auto window = OpenWindow();
  TDialUpTimer& timer = window->EventServices().DialUpTimer();
  timer.SetIntervalMs(60000);
  timer.SetEnabled(true);
  const QFont windowFont = window->font();
  const QFont tableFont = window->DisplayResourceTable()->font();
  const QFont panelFont = window->TrendPanel().trendDatePanel->font();
  const int rows = window->EventServices().ConnectWindows().RowCount();
  Settings(*window, [](TParameters& d) {
    d.TabbedNotebook1()->setCurrentIndex(1);
    PickFontSize(d.ChoiseDlgFnt(), 19);
    PickFontSize(d.ChoiseTblFnt(), 19);
    PickFontSize(d.ChoiseEdLnFnt(), 19);
    d.TrendEnabledBtn()->click();
    d.TabbedNotebook1()->setCurrentIndex(0);
    TypeIntoLastTitle(d.ConnectWindowsGrid(), "x");
    d.KeppDialUp()->click();
    test::SendKey(d.TabbedNotebook1(), Qt::Key_Escape);
  });
  EXPECT_EQ(window->font(), windowFont);
  EXPECT_EQ(window->DisplayResourceTable()->font(), tableFont);
  EXPECT_EQ(window->TrendPanel().trendDatePanel->font(), panelFont);
  EXPECT_EQ(window->Parameters().stringGridFont.size, 8);
  EXPECT_TRUE(window->Parameters().trendEnabled);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_TRUE(timer.Running());
  EXPECT_EQ(timer.IntervalMs(), 60000);
  EXPECT_EQ(window->EventServices().ConnectWindows().RowCount(), rows);
  CloseWindow(*window);
}

TEST_F(PingObjectSettingsTest, OkAppliesFontsToTheOpenWindowAndTheNextDialogs) {
  auto window = OpenWindow();
  Settings(*window, [](TParameters& d) {
    PickFontSize(d.ChoiseDlgFnt(), 11);
    PickFontSize(d.ChoiseTblFnt(), 13);
    PickFontSize(d.ChoiseEdLnFnt(), 15);
    test::SendKey(d.ChoiseEdLnFnt(), Qt::Key_Return);
  });
  EXPECT_EQ(window->font().pointSize(), 11);
  EXPECT_EQ(window->DisplayResourceTable()->font().pointSize(), 13);
  EXPECT_EQ(window->TrendPanel().trendDatePanel->font().pointSize(), 15);
  // The edit-line colour stays with the trend date panel.
  EXPECT_EQ(window->TrendPanel().trendDatePanel->palette().color(QPalette::WindowText),
            QColor(Qt::green));

  int messageFont = 0;
  test::AnswerNextModal([&](QWidget* modal) {
    messageFont = modal->font().pointSize();
    modal->close();
  });
  window->MsgDialog().ShowMessage("Note", "Fonts");
  EXPECT_EQ(messageFont, 11);

  TSetEvent events(true, {}, window.get(), &window->Parameters());
  test::AnswerNextModal([&](QWidget*) {
    EXPECT_EQ(events.font().pointSize(), 11);
    EXPECT_EQ(events.PlayFileName()->font().pointSize(), 15);
    events.reject();
  });
  events.exec();

  Settings(*window, [](TParameters& d) {
    EXPECT_EQ(d.font().pointSize(), 11);
    EXPECT_EQ(d.DialogsText()->font().pointSize(), 11);
    EXPECT_EQ(d.TableFont()->font().pointSize(), 13);
    EXPECT_EQ(d.ConnectWindowsGrid()->font().pointSize(), 13);
    EXPECT_EQ(d.EditLine()->font().pointSize(), 15);
    EXPECT_EQ(d.DialUpTimeout()->font().pointSize(), 15);
    d.reject();
  });
  CloseWindow(*window);
}

// The keeper at 0 seconds is on but never looks (no busy loop); the table
// comes back with the grid's row count; trend writing stops.
TEST_F(PingObjectSettingsTest, WhatOkChangedSurvivesACloseAndARestart) {
  {
    auto window = OpenWindow();
    ASSERT_TRUE(window->Parameters().trendEnabled);
    int gridRows = 0;
    Settings(*window, [&](TParameters& d) {
      d.KeppDialUp()->click();
      d.DialUpTimeout()->setValue(0);
      TypeIntoLastTitle(d.ConnectWindowsGrid(), "My dialer");
      gridRows = d.ConnectWindowsGrid()->TableRowCount();
      PickFontSize(d.ChoiseTblFnt(), 14);
      d.TrendEnabledBtn()->click();
      d.CloseToTrayBtn()->click();
      d.BtnOk()->click();
    });
    EXPECT_FALSE(window->Parameters().trendEnabled);
    EXPECT_TRUE(window->Parameters().closeToTray);
    TDialUpTimer& timer = window->EventServices().DialUpTimer();
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.IntervalMs(), 0);
    EXPECT_FALSE(timer.Running());
    const ConnectWindowsTable& table = window->EventServices().ConnectWindows();
    EXPECT_EQ(gridRows, 5);
    ASSERT_EQ(table.RowCount(), gridRows);
    EXPECT_EQ(table.Cell(ConnectWindowsTable::TitleCol, 3), "My dialer");
    EXPECT_EQ(table.Cell(ConnectWindowsTable::ButtonCol, 3), "Reconnect");
    CloseWindow(*window);
  }
  auto window = OpenWindow();
  EXPECT_FALSE(window->Parameters().trendEnabled);
  EXPECT_EQ(window->Parameters().stringGridFont.size, 14);
  EXPECT_EQ(window->DisplayResourceTable()->font().pointSize(), 14);
  TDialUpTimer& timer = window->EventServices().DialUpTimer();
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.IntervalMs(), 0);
  // The file keeps no entirely empty entry, so the empty row for new entries
  // is not stored; typing into the last row makes it again.
  const ConnectWindowsTable& table = window->EventServices().ConnectWindows();
  ASSERT_EQ(table.RowCount(), 4);
  EXPECT_EQ(table.Cell(ConnectWindowsTable::TitleCol, 3), "My dialer");
  Settings(*window, [](TParameters& d) {
    EXPECT_FALSE(d.TrendEnabledBtn()->isChecked());
    EXPECT_TRUE(d.CloseToTrayBtn()->isChecked());
    EXPECT_TRUE(d.KeppDialUp()->isChecked());
    EXPECT_EQ(d.DialUpTimeout()->value(), 0);
    EXPECT_EQ(d.ConnectWindowsGrid()->TableRowCount(), 4);
    d.reject();
  });
  CloseWindow(*window);
}

}  // namespace
}  // namespace tw
