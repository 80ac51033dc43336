// The time period dialog of the trend export: slots, kept texts, keys, help.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/Help.h"
#include "dialogs/SetTrTim.h"
#include "dialogs/SpinEdit.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

class TrendTimePeriodTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQtApp(); }
};

TEST_F(TrendTimePeriodTest, PresetTextsGiveTheirSlots) {
  struct Case {
    QStringList texts;
    int start, end;
  } cases[] = {
      {{"00", "00", "24", "00"}, 0, 96},
      {{"23", "45", "24", "45"}, 95, 99},
      {{"8", "0", "9", "0"}, 32, 36},
      // Out of range or unreadable: brought into range, a non-number is 0.
      {{"-3", "x", "99", "50"}, 0, 24 * 4 + 3},
  };
  for (const Case& c : cases) {
    TTrendTimePeriod dialog;
    dialog.SetTexts(c.texts);
    test::AnswerNextModal([&](QWidget*) { dialog.BtnOk()->click(); });
    ASSERT_EQ(dialog.exec(), kDialogOk);
    EXPECT_EQ(dialog.StartSlot(), c.start) << c.texts.join(":").toStdString();
    EXPECT_EQ(dialog.EndSlot(), c.end) << c.texts.join(":").toStdString();
  }
  TTrendTimePeriod fresh;
  EXPECT_EQ(fresh.windowTitle(), "Select the Time Period");
  EXPECT_EQ(fresh.StartSlot(), 0);
  EXPECT_EQ(fresh.EndSlot(), 96);
}

// A typed value counts on Enter; the texts go back to the opener.
TEST_F(TrendTimePeriodTest, TypedTimeCountsOnEnterAndEscCancels) {
  TTrendTimePeriod dialog;
  test::AnswerNextModal([&](QWidget*) {
    auto* edit = dialog.FromTimeHours()->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "8");
    test::SendKey(edit, Qt::Key_Return);
  });
  ASSERT_EQ(dialog.exec(), kDialogOk);
  EXPECT_EQ(dialog.StartSlot(), 32);
  EXPECT_EQ(dialog.Texts(), (QStringList{"8", "0", "24", "0"}));

  TTrendTimePeriod cancelled;
  test::AnswerNextModal([&](QWidget*) {
    test::SendKey(cancelled.TillTimeMins()->findChild<QLineEdit*>(), Qt::Key_Escape);
  });
  EXPECT_EQ(cancelled.exec(), kDialogCancel);
}

TEST_F(TrendTimePeriodTest, HelpOpensTheCopyTopic) {
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (bin == nullptr) GTEST_SKIP() << "TARNWICK_BIN_DIR is not set";
  THelp help;
  help.SetHelpFile(QString(bin) + "/TARNWICK.HLP");
  TTrendTimePeriod dialog;
  dialog.show();
  dialog.BtnHelp()->click();
  EXPECT_EQ(help.CurrentTopic(), "Copy");
  help.Quit();
  test::SendKey(dialog.FromTimeHours()->findChild<QLineEdit*>(), Qt::Key_F1);
  EXPECT_EQ(help.CurrentTopic(), "Copy");
  EXPECT_EQ(HelpContextOf(dialog.BtnOk()), 119);
  EXPECT_EQ(HelpContextOf(dialog.CancelBtn()), 117);
  EXPECT_EQ(HelpContextOf(dialog.BtnHelp()), 120);
  help.Quit();
}

}  // namespace
}  // namespace tw
