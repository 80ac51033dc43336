// The global preferences on their own: what a showing loads, the dial-up
// timer stopped while the window is open and put back by Cancel, Esc and
// any key but Enter, fonts that change only the previews before "OK", what
// "OK" hands back, and the help. (The window's own fonts are tested with
// the main window that gives them.)
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/DialUpTimer.h"
#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/Help.h"
#include "dialogs/Settings.h"
#include "dialogs/SpinEdit.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

// A desktop without windows that counts how often the keeper looked.
class CountingWindows final : public TopWindows {
 public:
  bool Available() const override { return true; }
  std::vector<TopWindow> List() override {
    ++looks;
    return {};
  }
  void RequestClose(uint64_t) override {}
  int looks = 0;
};

class NoButtons final : public AccessibleButtons {
 public:
  bool Available() const override { return true; }
  void PostPress(int64_t, const std::string&, const std::string&) override {}
  bool WaitIdle(int) override { return true; }
};

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    table_.SetDefaultEntries();
    timer_ = std::make_unique<TDialUpTimer>(keeper_);
    dialog_ = std::make_unique<TParameters>(prefs_, table_, *timer_);
  }
  void TearDown() override {
    dialog_.reset();
    timer_.reset();
  }

  // Shows the preferences modally; `answer` runs inside, as the user would.
  int Exec(const std::function<void(TParameters&)>& answer) {
    test::AnswerNextModal([&](QWidget*) { answer(*dialog_); });
    return dialog_->exec();
  }

  // Answers the font dialog that `button` opens with `font`.
  static void PickFont(QPushButton* button, const QFont& font) {
    test::AnswerNextModal([font](QWidget* modal) {
      auto* fonts = qobject_cast<QFontDialog*>(modal);
      ASSERT_NE(fonts, nullptr);
      fonts->setCurrentFont(font);
      fonts->accept();
    });
    button->click();
  }

  CountingWindows windows_;
  NoButtons buttons_;
  DialUpKeeper keeper_{windows_, buttons_};
  ConnectWindowsTable table_;
  WindowParameters prefs_;
  std::unique_ptr<TDialUpTimer> timer_;
  std::unique_ptr<TParameters> dialog_;
};

TEST_F(SettingsTest, AShowingLoadsEveryControl) {
  timer_->SetIntervalMs(7000);
  timer_->SetEnabled(true);
  prefs_.trendEnabled = false;
  dialog_->TabbedNotebook1()->setCurrentIndex(2);  // a page left open the last time
  Exec([&](TParameters& d) {
    EXPECT_EQ(d.windowTitle(), "Global Preferences");
    const QStringList pages{"Keep &Dial-Up connection", "&Fonts", "&Miscellaneous"};
    for (int page = 0; page < 3; ++page) EXPECT_EQ(d.TabbedNotebook1()->tabText(page), pages[page]);
    EXPECT_EQ(d.TabbedNotebook1()->currentIndex(), 0);
    EXPECT_TRUE(d.KeppDialUp()->isChecked());
    EXPECT_TRUE(d.KeepDialPanel()->isVisible());
    EXPECT_EQ(d.DialUpTimeout()->value(), 7);
    EXPECT_EQ(d.ConnectWindowsGrid()->TableRowCount(), 4);
    EXPECT_EQ(d.ConnectWindowsGrid()->item(1, 0)->text(), "Dial-Up Networking");
    EXPECT_FALSE(d.TrendEnabledBtn()->isChecked());
    for (QLabel* preview : {d.DialogsText(), d.TableFont(), d.EditLine()}) {
      EXPECT_EQ(preview->text(), "ABCabc ÀÁÂàáâ");
    }
    d.KeppDialUp()->click();
    EXPECT_FALSE(d.KeepDialPanel()->isVisible());
    d.reject();
  });
}

// Cancel, Esc and the window's close box, with the keeper on and off.
TEST_F(SettingsTest, CancelLeavesTheTimerExactlyAsItWas) {
  const std::function<void(TParameters&)> cancels[] = {
      [](TParameters& d) { d.CancelBtn()->click(); },
      [](TParameters& d) { test::SendKey(d.ConnectWindowsGrid(), Qt::Key_Escape); },
      [](TParameters& d) { d.close(); }};
  for (const bool wasOn : {true, false}) {
    for (const auto& cancel : cancels) {
      timer_->SetIntervalMs(60000);
      timer_->SetEnabled(wasOn);
      EXPECT_EQ(Exec([&](TParameters& d) {
                  EXPECT_FALSE(timer_->Running());  // the keeper rests while the window is open
                  d.KeppDialUp()->click();
                  d.DialUpTimeout()->setValue(1);
                  cancel(d);
                }),
                kDialogCancel);
      EXPECT_EQ(timer_->Enabled(), wasOn);
      EXPECT_EQ(timer_->Running(), wasOn);
      EXPECT_EQ(timer_->IntervalMs(), 60000);
    }
  }
}

TEST_F(SettingsTest, TheKeeperRestsUntilAKeyOtherThanEnter) {
  timer_->SetIntervalMs(30);
  timer_->SetEnabled(true);
  int looksWhileResting = -1;
  EXPECT_EQ(Exec([&](TParameters& d) {
              const int before = windows_.looks;
              QTest::qWait(200);
              looksWhileResting = windows_.looks - before;
              test::SendKey(d.ConnectWindowsGrid(), Qt::Key_Down);
              EXPECT_TRUE(timer_->Running());
              EXPECT_TRUE(test::WaitFor([&] { return windows_.looks > before; }, 5000));
              test::SendKey(d.ConnectWindowsGrid(), Qt::Key_Return);
            }),
            kDialogOk);
  EXPECT_EQ(looksWhileResting, 0);
  EXPECT_TRUE(dialog_->Chosen().keepDialUp);
}

TEST_F(SettingsTest, EveryKeyButEnterWakesTheKeeper) {
  const struct {
    int key;
    bool wakes;
  } cases[] = {{Qt::Key_A, true},     {Qt::Key_Tab, true},     {Qt::Key_F1, true},
               {Qt::Key_Space, true}, {Qt::Key_Return, false}, {Qt::Key_Enter, false}};
  for (const auto& c : cases) {
    timer_->SetIntervalMs(60000);
    timer_->SetEnabled(true);
    bool running = false;
    Exec([&](TParameters& d) {
      test::SendKey(d.DialUpTimeout(), c.key);
      running = timer_->Running();
      d.reject();
    });
    EXPECT_EQ(running, c.wakes) << c.key;
  }
}

TEST_F(SettingsTest, FontsChangeOnlyThePreviewsUntilOk) {
  QFont big = dialog_->font();
  big.setPointSize(17);
  big.setBold(false);
  big.setItalic(true);
  Exec([&](TParameters& d) {
    d.TabbedNotebook1()->setCurrentIndex(1);
    PickFont(d.ChoiseTblFnt(), big);
    EXPECT_EQ(d.TableFont()->font().pointSize(), 17);
    EXPECT_TRUE(d.TableFont()->font().italic());
    EXPECT_EQ(d.DialogsText()->font().pointSize(), prefs_.dialogFont.size);
    d.CancelBtn()->click();
  });
  // The next showing starts again from the fonts in force.
  Exec([&](TParameters& d) {
    EXPECT_EQ(d.TableFont()->font().pointSize(), prefs_.stringGridFont.size);
    EXPECT_FALSE(d.TableFont()->font().italic());
    PickFont(d.ChoiseEdLnFnt(), big);
    test::SendKey(d.TrendEnabledBtn(), Qt::Key_Return);
  });
  const GlobalPreferences chosen = dialog_->Chosen();
  EXPECT_EQ(chosen.editLineFont.size, 17);
  EXPECT_TRUE(chosen.editLineFont.italic);
  EXPECT_FALSE(chosen.editLineFont.bold);
  EXPECT_EQ(chosen.editLineFont.color, prefs_.editLineFont.color);  // the colour stays
  EXPECT_EQ(chosen.stringGridFont.size, prefs_.stringGridFont.size);
  EXPECT_EQ(chosen.stringGridFont.name, prefs_.stringGridFont.name);
}

TEST_F(SettingsTest, AnUnchangedFontKeepsItsName) {
  Exec([&](TParameters& d) {
    test::AnswerNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    d.ChoiseDlgFnt()->click();
    d.BtnOk()->click();
  });
  EXPECT_EQ(dialog_->Chosen().dialogFont.name, "MS Sans Serif");
}

TEST_F(SettingsTest, OkHandsBackTheTableTheKeeperAndTheTrendSwitch) {
  timer_->SetEnabled(false);
  Exec([&](TParameters& d) {
    d.KeppDialUp()->click();
    d.DialUpTimeout()->setValue(0);
    TConnectWindowsGrid* grid = d.ConnectWindowsGrid();
    grid->setCurrentCell(2, 0);
    grid->editItem(grid->item(2, 0));
    QLineEdit* editor = nullptr;
    for (auto* line : grid->viewport()->findChildren<QLineEdit*>()) editor = line;
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "My dialer");  // the last row: an empty one appears below
    d.TabbedNotebook1()->setCurrentIndex(2);
    d.TrendEnabledBtn()->click();
    test::SendKey(editor, Qt::Key_Return);  // Enter in the cell: OK at once
  });
  EXPECT_EQ(dialog_->result(), kDialogOk);
  EXPECT_FALSE(timer_->Enabled());  // the opener switches it as chosen
  const GlobalPreferences chosen = dialog_->Chosen();
  EXPECT_TRUE(chosen.keepDialUp);
  EXPECT_EQ(chosen.dialUpIntervalMs, 0);
  EXPECT_FALSE(chosen.trendEnabled);
  ASSERT_EQ(chosen.connectWindows.RowCount(), 5);
  EXPECT_EQ(chosen.connectWindows.Cell(ConnectWindowsTable::TitleCol, 3), "My dialer");
  EXPECT_EQ(chosen.connectWindows.Cell(ConnectWindowsTable::ButtonCol, 3), "Reconnect");
  EXPECT_EQ(chosen.connectWindows.Cell(ConnectWindowsTable::TitleCol, 4), "");
  EXPECT_EQ(chosen.connectWindows.Cell(ConnectWindowsTable::TitleCol, 1), "Connect To");
}

TEST_F(SettingsTest, HelpOpensThePageTopicAndTheContextNumbers) {
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (bin == nullptr) GTEST_SKIP() << "TARNWICK_BIN_DIR is not set";
  THelp help;
  help.SetHelpFile(QString(bin) + "/TARNWICK.HLP");
  Exec([&](TParameters& d) {
    const char* topics[] = {"Setup1", "Setup2", "Setup3"};
    for (int page = 0; page < 3; ++page) {
      d.TabbedNotebook1()->setCurrentIndex(page);
      d.BtnHelp()->click();
      EXPECT_EQ(help.CurrentTopic(), topics[page]);
    }
    help.Quit();
    d.TabbedNotebook1()->setCurrentIndex(1);
    test::SendKey(d.ChoiseTblFnt(), Qt::Key_F1);
    EXPECT_EQ(help.CurrentTopic(), "Setup2");
    help.Quit();
    d.reject();
  });
  const std::pair<const char*, int> contexts[] = {
      {"KeppDialUp", 108}, {"ChoiseDlgFnt", 185}, {"ChoiseTblFnt", 185}, {"ChoiseEdLnFnt", 185},
      {"BtnOk", 119},      {"CancelBtn", 117},    {"BtnHelp", 120}};
  for (const auto& [name, context] : contexts) {
    EXPECT_EQ(HelpContextOf(dialog_->findChild<QWidget*>(name)), context) << name;
  }
}

}  // namespace
}  // namespace tw
