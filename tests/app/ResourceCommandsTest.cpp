#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/PingObject.h"
#include "charts/qt/DisplayResourceTable.h"
#include "controls/Bitmpbtn.h"
#include "dialogs/AboutBox.h"
#include "monitor/ResourceWizard.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

class ResourceCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  }

  // A drive row on a folder of its own, measured every 50 ms.
  static WizardResult DriveRow(const std::string& folder) {
    std::filesystem::create_directories(folder);
    WizardResult result;
    result.resource = folder;
    result.kind = ResourceKind::Drive;
    result.processDelay = "50";
    return result;
  }

  // Every row's thread knows its row and measures the row's own resource.
  static void ExpectThreadsFollowRows(TPingObject& window) {
    ResourceTable& table = window.Table();
    for (int row = 1; row < table.RowCount(); ++row) {
      SCOPED_TRACE("row " + std::to_string(row));
      ASSERT_NE(table.Thread(row), nullptr);
      EXPECT_EQ(table.Thread(row)->Row(), row);
      EXPECT_EQ(table.Thread(row)->Settings().address, table.Cell(Col::Resource, row));
    }
  }

  // Empties every read-speed cell, starts sampling and waits until every
  // row has shown a new read speed of its own.
  static bool EveryRowReportsAgain(TPingObject& window) {
    ResourceTable& table = window.Table();
    for (int row = 1; row < table.RowCount(); ++row) table.SetCell(Col::ReadSpeed, row, "");
    window.StartBtnClick();
    return QTest::qWaitFor(
        [&] {
          for (int row = 1; row < table.RowCount(); ++row) {
            if (table.Cell(Col::ReadSpeed, row).empty()) return false;
          }
          return true;
        },
        10000);
  }

  test::TempDir home, shares;
  OffsetClock clock;
};

TEST_F(ResourceCommandsTest, DeletedRowsTakeTheirThreadsAlongAndEveryRowReportsIntoItsNewPlace) {
  const struct { int rows, deleted; } cases[] = {{3, 1}, {4, 2}, {2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE("delete row " + std::to_string(c.deleted) + " of " + std::to_string(c.rows));
    TPingObject window(clock);
    window.SetFlagWaitMs(20);
    std::vector<std::string> names;
    for (int i = 1; i <= c.rows; ++i) {
      names.push_back(shares.File(std::to_string(c.rows) + "-" + std::to_string(i)));
      window.AddResourceRow(DriveRow(names.back()));
    }
    ASSERT_TRUE(EveryRowReportsAgain(window));
    window.StopBtnClick();
    window.DisplayResourceTable()->SelectRow(c.deleted);
    QTest::mouseClick(window.DeleteBtn(), Qt::LeftButton);

    names.erase(names.begin() + (c.deleted - 1));
    ASSERT_EQ(window.Table().ResourceCount(), c.rows - 1);
    for (size_t i = 0; i < names.size(); ++i)
      EXPECT_EQ(window.Table().Cell(Col::Resource, static_cast<int>(i) + 1), names[i]);
    ExpectThreadsFollowRows(window);
    EXPECT_TRUE(EveryRowReportsAgain(window));
    window.StopBtnClick();
  }
}

TEST_F(ResourceCommandsTest, DeletionsBetweenStopAndStartLeaveEveryRemainingThreadRunning) {
  TPingObject window(clock);
  window.SetFlagWaitMs(20);
  for (int i = 0; i < 5; ++i) window.AddResourceRow(DriveRow(shares.File("r" + std::to_string(i))));
  window.StartBtnClick();
  window.StopBtnClick();
  for (int row : {1, 3, 1}) {
    window.DisplayResourceTable()->SelectRow(row);
    window.DelResourceClick();
  }
  ASSERT_EQ(window.Table().ResourceCount(), 2);
  window.StartBtnClick();
  for (int row = 1; row <= 2; ++row) {
    TPingThread* thread = window.Table().Thread(row);
    EXPECT_FALSE(thread->IsSuspended());
    const uint64_t before = thread->SampleCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return thread->SampleCount() > before + 2; }, 10000));
  }
  window.StopBtnClick();
}

TEST_F(ResourceCommandsTest, EditAndDeleteFollowTheRowCountAndDeleteWaitsForStop) {
  TPingObject window(clock);
  window.SetFlagWaitMs(0);
  window.show();
  QApplication::processEvents();
  EXPECT_FALSE(window.EditCurResourceBtn()->isEnabled());
  EXPECT_FALSE(window.DeleteBtn()->isEnabled());
  window.DelResourceClick();  // nothing to delete: nothing happens
  EXPECT_EQ(window.Table().RowCount(), 1);

  window.StartBtnClick();
  window.AddResourceRow(DriveRow(shares.File("a")));
  EXPECT_EQ(window.Table().RowCount(), 2);
  EXPECT_TRUE(window.EditCurResourceBtn()->isEnabled());
  EXPECT_FALSE(window.DeleteBtn()->isEnabled());  // sampling runs
  // Added while sampling runs, it measures at once.
  TPingThread* thread = window.Table().Thread(1);
  EXPECT_FALSE(thread->IsSuspended());
  EXPECT_TRUE(QTest::qWaitFor([&] { return thread->SampleCount() > 0; }, 10000));
  window.StopBtnClick();
  EXPECT_TRUE(window.DeleteBtn()->isEnabled());

  window.DelResourceClick();
  EXPECT_EQ(window.Table().RowCount(), 1);
  EXPECT_FALSE(window.EditCurResourceBtn()->isEnabled());
  EXPECT_FALSE(window.DeleteBtn()->isEnabled());
}

TEST_F(ResourceCommandsTest, StayOnTopIsDroppedAroundAModalDialogAndComesBackAfterIt) {
  TPingObject window(clock);
  window.SetFlagWaitMs(0);
  window.show();
  QApplication::processEvents();
  EXPECT_FALSE(window.StaysOnTop());
  QTest::mouseClick(window.StayOnTopBtn(), Qt::LeftButton);
  EXPECT_TRUE(window.StaysOnTop());
  EXPECT_TRUE(window.Parameters().stayOnTop);

  bool onTopDuringDialog = true;
  QString version;
  test::AnswerNextModal([&](QWidget* modal) {
    onTopDuringDialog = window.StaysOnTop();
    auto* about = qobject_cast<TAboutBox*>(modal);
    if (about != nullptr) version = about->Version()->text();
    modal->close();
  });
  window.AboutClick();
  EXPECT_FALSE(onTopDuringDialog);
  EXPECT_EQ(version, "Version " + ProgramVersion());
  EXPECT_FALSE(ProgramVersion().isEmpty());
  EXPECT_TRUE(window.StaysOnTop());
  EXPECT_TRUE(window.isVisible());

  QTest::mouseClick(window.StayOnTopBtn(), Qt::LeftButton);
  EXPECT_FALSE(window.StaysOnTop());
  EXPECT_FALSE(window.Parameters().stayOnTop);
}

TEST_F(ResourceCommandsTest, ASavedStayOnTopIsAppliedAfterStartUpAndSavedAgain) {
  std::ofstream(home.File("RAREDARI.INI"), std::ios::binary)
      << "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=0\r\n"
      << "[Buttons]\r\nStayOnTop=1\r\n";
  auto window = std::make_unique<TPingObject>(clock);
  window->SetFlagWaitMs(0);
  window->show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->StaysOnTop(); }, 3000));
  EXPECT_TRUE(window->StayOnTopBtn()->isChecked());
  window.reset();
  std::ifstream saved(home.File("RAREDARI.INI"), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("StayOnTop=1"), std::string::npos);
}

TEST_F(ResourceCommandsTest, TheHelpButtonShowsHelpAndAbout) {
  TPingObject window(clock);
  window.SetFlagWaitMs(0);
  window.show();
  QApplication::processEvents();
  window.HelpBtn()->click();
  QMenu* menu = window.HelpPopup();
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 3000));
  QStringList items;
  for (QAction* action : menu->actions()) items << action->text();
  EXPECT_EQ(items, (QStringList{"Help", "About"}));
  EXPECT_EQ(menu->actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));
  menu->close();
  EXPECT_EQ(window.SetBtn()->toolTip(), "Program settings");
}

}  // namespace
}  // namespace tw
