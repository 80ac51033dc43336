// The help layer on the real help file: contents, topics, context pop-ups,
// F1 and the right mouse button.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>

#include "dialogs/Help.h"
#include "support/QtTestApp.h"
#include "util/HelpIds.h"

namespace tw {
namespace {

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    const char* bin = std::getenv("TARNWICK_BIN_DIR");
    if (bin == nullptr) GTEST_SKIP() << "TARNWICK_BIN_DIR is not set";
    help_ = std::make_unique<THelp>();
    // The copy the build puts beside the program.
    help_->SetHelpFile(QString(bin) + "/TARNWICK.HLP");
  }
  void TearDown() override { help_.reset(); }

  QString PageText() const {
    return help_->Window()->findChild<QTextBrowser*>("HelpPage")->toPlainText();
  }

  std::unique_ptr<THelp> help_;
};

TEST_F(HelpTest, EveryTopicNameOpensItsPage) {
  ASSERT_EQ(THelp::Current(), help_.get());
  for (const char* name : kAllHelpTopics) {
    EXPECT_TRUE(help_->JumpToTopic(QString(name).toLower())) << name;  // letter case ignored
    EXPECT_EQ(help_->CurrentTopic(), name);
    EXPECT_GT(PageText().size(), 80) << name;
    EXPECT_TRUE(help_->Window()->isVisible());
  }
  help_->ShowContents();
  EXPECT_EQ(help_->CurrentTopic(), HelpTopicName::MainIndex);
  const auto* contents = help_->Window()->findChild<QListWidget*>("HelpContents");
  ASSERT_NE(contents, nullptr);
  EXPECT_GE(contents->count(), 12);
}

TEST_F(HelpTest, EveryContextNumberPopsUpItsText) {
  for (int context : kAllHelpContexts) {
    EXPECT_TRUE(help_->ShowContextPopup(context, QPoint(50, 50))) << context;
    QFrame* popup = help_->Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_GT(popup->findChild<QLabel*>()->text().size(), 40) << context;
  }
  // A click on the pop-up puts it away.
  QPointer<QFrame> popup = help_->Popup();
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(55, 55), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(popup, &click);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(popup.isNull() || !popup->isVisible());
}

TEST_F(HelpTest, MissingTopicsAndFilesSaySoInsteadOfFailing) {
  EXPECT_FALSE(help_->JumpToTopic("NoSuchTopic"));
  EXPECT_TRUE(PageText().contains("does not exist"));
  EXPECT_FALSE(help_->ShowContextPopup(99999, QPoint(10, 10)));
  help_->SetHelpFile("/nonexistent/TARNWICK.HLP");
  EXPECT_FALSE(help_->JumpToTopic(HelpTopicName::MainIndex));
  EXPECT_TRUE(PageText().contains("cannot be read"));
}

TEST_F(HelpTest, RightButtonAndF1ReachTheHelp) {
  QDialog window;
  auto* ok = new QPushButton("&Ok", &window);
  auto* plain = new QPushButton("Other", &window);
  SetHelpContext(ok, HelpContext::OkBtn);
  int f1Presses = 0;
  EnableContextHelp(&window, HelpContext::MessageDialog, [&] { ++f1Presses; });
  auto* late = new QPushButton("Added later", &window);  // controls added afterwards count too
  SetHelpContext(late, HelpContext::TestButtons);

  const std::pair<QWidget*, const char*> cases[] = {{ok, "Accepts what you entered"},
                                                    {plain, "notes, questions"},
                                                    {late, "Runs the action at once"}};
  for (const auto& [control, expected] : cases) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(60, 60), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &press);
    ASSERT_NE(help_->Popup(), nullptr);
    EXPECT_TRUE(help_->Popup()->findChild<QLabel*>()->text().contains(expected)) << expected;
  }
  test::SendKey(plain, Qt::Key_F1);
  EXPECT_EQ(f1Presses, 1);
}

}  // namespace
}  // namespace tw
