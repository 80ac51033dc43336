// The message dialog: button kinds and layout, results, keys, the standing
// look, the scroll-bar rule and the help button.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QWindow>

#include "controls/MyCntrl.h"
#include "dialogs/Help.h"
#include "dialogs/Msgdlg.h"
#include "support/QtTestApp.h"
#include "util/HelpIds.h"

namespace tw {
namespace {

class MsgDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    dialog_ = std::make_unique<TMsgDialog>();
  }

  // Shows a message and answers it with `answer` once it is up.
  int Show(const QString& title, const QString& text, std::function<void(TMsgDialog&)> answer) {
    test::AnswerNextModal([this, answer](QWidget*) { answer(*dialog_); });
    return dialog_->ShowMessage(title, text);
  }

  std::unique_ptr<TMsgDialog> dialog_;
};

TEST_F(MsgDialogTest, ButtonKindsGiveCaptionsLightsAndLayout) {
  const ColorValue lime = clLime, red = clRed, navy = clNavy;
  struct Case {
    int ok, cancel, help;
    bool cancelShown, helpShown;
    const char *okCaption, *cancelCaption;
    ColorValue okLight, cancelLight;
  };
  const Case cases[] = {
      {mbOk, mbHidden, mbHelp, false, true, "Ok", "", lime, clNone},
      {mbYes, mbNo, mbHelp, true, true, "Yes", "No", lime, red},
      {mbOk, mbCancel, mbHidden, true, false, "Ok", "Cancel", lime, red},
      {mbYes, mbNo, mbHidden, true, false, "Yes", "No", lime, red},
  };
  for (const Case& c : cases) {
    dialog_->SetButtons(c.ok, c.cancel, c.help);
    SCOPED_TRACE(c.okCaption + std::string("/") + c.cancelCaption);
    EXPECT_EQ(dialog_->OkBtn()->text(), c.okCaption);
    EXPECT_EQ(dialog_->OkBtn()->OffColor(), c.okLight);
    EXPECT_EQ(dialog_->CancelBtn()->isVisibleTo(dialog_.get()), c.cancelShown);
    EXPECT_EQ(dialog_->HelpBtn()->isVisibleTo(dialog_.get()), c.helpShown);
    if (c.cancelShown) {
      EXPECT_EQ(dialog_->CancelBtn()->text(), c.cancelCaption);
      EXPECT_EQ(dialog_->CancelBtn()->OffColor(), c.cancelLight);
      EXPECT_EQ(dialog_->OkBtn()->x(), dialog_->CancelBtn()->x() - dialog_->OkBtn()->width() - 2);
    } else {
      EXPECT_EQ(dialog_->OkBtn()->x(), dialog_->CancelBtn()->x());
    }
    if (c.helpShown) {
      EXPECT_EQ(dialog_->HelpBtn()->OffColor(), navy);
    }
  }
}

TEST_F(MsgDialogTest, ButtonsAndKeysGiveTheirResults) {
  struct Case {
    const char* name;
    std::function<void(TMsgDialog&)> answer;
    int expected;
  };
  const Case cases[] = {
      {"Yes button", [](TMsgDialog& d) { d.OkBtn()->click(); }, kMsgResultOk},
      {"No button", [](TMsgDialog& d) { d.CancelBtn()->click(); }, kMsgResultCancel},
      {"Enter", [](TMsgDialog& d) { test::SendKey(&d, Qt::Key_Return); }, kMsgResultOk},
      {"Esc", [](TMsgDialog& d) { test::SendKey(&d, Qt::Key_Escape); }, kMsgResultCancel},
      // Keys reach the window before the control that has the focus.
      {"Enter on No", [](TMsgDialog& d) { test::SendKey(d.CancelBtn(), Qt::Key_Return); },
       kMsgResultOk},
      {"Enter on box", [](TMsgDialog& d) { test::SendKey(d.NeverAsk(), Qt::Key_Enter); },
       kMsgResultOk},
      {"Esc on Yes", [](TMsgDialog& d) { test::SendKey(d.OkBtn(), Qt::Key_Escape); },
       kMsgResultCancel},
      {"window closed", [](TMsgDialog& d) { d.close(); }, kMsgResultCancel},
  };
  for (const Case& c : cases) {
    dialog_->SetButtons(mbYes, mbNo, mbHelp);
    EXPECT_EQ(Show("Warning", "Do you want to proceed?", c.answer), c.expected) << c.name;
  }
}

TEST_F(MsgDialogTest, EveryMessageEndsInTheStandingLook) {
  EXPECT_EQ(dialog_->windowTitle(), "Error");
  dialog_->SetButtons(mbYes, mbNo, mbHidden);
  dialog_->OfferNeverShow();
  bool offered = false;
  Show("Warning", "The file has size 12 KB.", [&](TMsgDialog& d) {
    offered = d.NeverAsk()->isVisible() && d.AskBevel()->isVisible();
    d.NeverAsk()->setChecked(true);
    d.CancelBtn()->click();
  });
  EXPECT_TRUE(offered);
  EXPECT_TRUE(dialog_->NeverAskChecked());
  // The next message without its own set-up shows Ok and Help again.
  bool standing = false;
  Show("Error", "Next", [&](TMsgDialog& d) {
    standing = d.OkBtn()->text() == "Ok" && d.OkBtn()->isVisible() && !d.CancelBtn()->isVisible() &&
               d.HelpBtn()->isVisible() && !d.NeverAsk()->isVisible() && !d.AskBevel()->isVisible();
    d.OkBtn()->click();
  });
  EXPECT_TRUE(standing);
  EXPECT_EQ(dialog_->windowTitle(), "Error");
  EXPECT_TRUE(dialog_->NeverAskChecked());  // the box keeps its state, only hidden
}

TEST_F(MsgDialogTest, CarriageReturnsStartLines) {
  const std::pair<QString, QStringList> cases[] = {
      {"\rFile access error!", {"", "File access error!"}},
      {"An ERROR occured during writing parameters file\r/x/RAREDARI.INI",
       {"An ERROR occured during writing parameters file", "/x/RAREDARI.INI"}},
      {"a\r\nb\nc\r\r", {"a", "b", "c", "", ""}},
      {"", {""}},
  };
  for (const auto& [text, lines] : cases)
    EXPECT_EQ(TMsgDialog::MessageLines(text), lines) << text.toStdString();
}

TEST_F(MsgDialogTest, ScrollBarOnlyWhenTheWrappedLinesDoNotFit) {
  const QString longLine = QString("word ").repeated(30);  // wraps inside the field
  const std::pair<QString, bool> cases[] = {
      {"Short note.", false},
      {longLine, false},
      {longLine + "\r" + longLine + "\r" + longLine + "\r" + longLine, true},
      {QString("line\r").repeated(20), true},
  };
  for (const auto& [text, expected] : cases) {
    Qt::ScrollBarPolicy policy = Qt::ScrollBarAsNeeded;
    Show("Note", text, [&](TMsgDialog& d) {
      policy = d.MessageTxt()->verticalScrollBarPolicy();
      d.OkBtn()->click();
    });
    EXPECT_EQ(policy, expected ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff)
        << text.left(40).toStdString();
  }
}

TEST_F(MsgDialogTest, HelpOpensItsTopicAndLeavesTheDialogOpen) {
  THelp help;
  help.SetHelpFile(QString(std::getenv("TARNWICK_SOURCE_DIR")) + "/resources/TARNWICK.HLP");
  bool stillOpen = false;
  const int result = Show("Warning", "Question", [&](TMsgDialog& d) {
    d.HelpBtn()->click();
    stillOpen = d.isVisible();
    d.OkBtn()->click();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, kMsgResultOk);
  EXPECT_EQ(help.CurrentTopic(), "HelpID_5");
  help.Quit();
}

// Clicks the first link of the help window's page through the window
// system and returns the topic shown afterwards ("" when that failed).
QString ClickFirstLink(THelp& help) {
  QDialog* window = help.Window();
  if (window == nullptr || !QTest::qWaitForWindowExposed(window)) return "no help window";
  auto* page = window->findChild<QTextBrowser*>("HelpPage");
  QPoint link(-1, -1);
  for (int y = 0; y < page->viewport()->height() && link.x() < 0; y += 2) {
    for (int x = 0; x < page->viewport()->width(); x += 2) {
      if (page->anchorAt(QPoint(x, y)).startsWith("topic:")) {
        link = QPoint(x + 1, y + 1);
        break;
      }
    }
  }
  if (link.x() < 0) return "no link on the page";
  const QString before = help.CurrentTopic();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    page->viewport()->mapTo(window, link));
  test::WaitFor([&] { return help.CurrentTopic() != before; }, 2000);
  return help.CurrentTopic();
}

// The dialog is application-modal; the help it opens must still take the
// user's clicks (sent through the window system, where modality applies)
// while the dialog waits, whether it was opened by Help or by F1.
TEST_F(MsgDialogTest, HelpOpenedFromTheWaitingDialogTakesClicks) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X server (DISPLAY is not set)";
  THelp help;
  help.SetHelpFile(QString(std::getenv("TARNWICK_SOURCE_DIR")) + "/resources/TARNWICK.HLP");
  const std::pair<const char*, std::function<void(TMsgDialog&)>> openers[] = {
      {"Help button", [](TMsgDialog& d) { d.HelpBtn()->click(); }},
      {"F1", [](TMsgDialog& d) { test::SendKey(d.OkBtn(), Qt::Key_F1); }},
  };
  for (const auto& [how, open] : openers) {
    SCOPED_TRACE(how);
    QString topicAfterClick;
    bool dialogStillAnswers = false;
    const int result = Show("Warning", "Question", [&](TMsgDialog& d) {
      open(d);
      topicAfterClick = ClickFirstLink(help);
      dialogStillAnswers = d.isVisible();
      d.OkBtn()->click();  // always: a failed check must not leave the dialog waiting
    });
    EXPECT_EQ(result, kMsgResultOk);
    EXPECT_TRUE(dialogStillAnswers);
    EXPECT_EQ(topicAfterClick.toStdString(), "FilesTopic");
    help.Quit();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
}  // namespace tw
