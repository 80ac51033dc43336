// A running monitor performs its speed events: a resource whose speed stays
// at 0 runs its program once the timeout has passed; a sound that cannot be
// played is reported once, in a box that goes with the main window.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QWindow>

#include "ActionsTestSupport.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "platform/fake/FakeClock.h"
#include "support/TempDir.h"

namespace tw {
namespace {

TEST(MonitorEvents, DeadResourceRunsItsProgramAfterTheTimeout) {
  test::TempDir dir;
  const std::string ran = dir.File("ran");
  TPingObject window;
  window.SetFlagWaitMs(20);
  const int row = window.AddResourceRow(dir.File("missing.iso"), ResourceKind::File);
  ResourceTable& table = window.Table();
  table.SetCell(Col::PerformMinSpeed, row, "1");
  table.SetCell(Col::MinSpeed, row, "0");
  table.SetCell(Col::MinTimeout, row, "2");
  table.SetCell(Col::MinAction, row, "1");
  table.SetCell(Col::MinCommand, row, "/usr/bin/touch \"" + ran + "\"");

  QElapsedTimer elapsed;
  elapsed.start();
  window.StartBtnClick();
  ASSERT_TRUE(test::WaitFor([&] { return QFile::exists(QString::fromStdString(ran)); }, 10000));
  // More than 2 whole seconds of the counter after the stamp: 2 to 3 s.
  EXPECT_GE(elapsed.elapsed(), 2000);
  EXPECT_LT(elapsed.elapsed(), 4500);
  EXPECT_EQ(table.Cell(Col::MinPerformed, row), "1");
  window.StopBtnClick();
  EXPECT_FALSE(window.EventServices().DialUpTimer().Running());
  EXPECT_EQ(window.EventServices().ConnectWindows().RowCount(), 2);
}

// A sound event that fails, performed every time: one error box for the
// file however often it fires, owned by the main window and gone when the
// main window closes.
TEST(MonitorEvents, AFailingSoundShowsOneBoxThatClosesWithTheWindow) {
  if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
  test::TempDir dir;
  FakeClock clock;
  TPingObject window(clock);
  window.SetFlagWaitMs(0);
  window.show();
  const int row = window.AddResourceRow(dir.File("missing.iso"), ResourceKind::File);
  ResourceTable& table = window.Table();
  table.SetCell(Col::PerformMinSpeed, row, "1");
  table.SetCell(Col::MinSpeed, row, "0");
  table.SetCell(Col::MinTimeout, row, "2");
  table.SetCell(Col::MinOnce, row, "0");
  table.SetCell(Col::MinAction, row, "0");
  table.SetCell(Col::MinSound, row, dir.File("missing.wav"));
  TPlayer& player = window.EventServices().Player();

  int performed = 0;
  for (int i = 0; i < 6; ++i) {
    table.SetCell(Col::MinPerformed, row, "");  // counts each performance
    window.SamplingTick(TickMode::Tick);        // starts the stamp
    clock.AdvanceMs(3000);
    window.SamplingTick(TickMode::Tick);  // performs
    QApplication::processEvents();
    if (table.Cell(Col::MinPerformed, row) == "1") ++performed;
  }
  EXPECT_EQ(performed, 6);
  ASSERT_EQ(player.ErrorBoxCount(), 1);
  std::vector<QPointer<QWidget>> boxes;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "PlayerErrorBox" && w->isVisible()) boxes.push_back(w);
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]->parentWidget(), &window);
  EXPECT_TRUE(boxes[0]->windowHandle()->transientParent() != nullptr);

  // Closed more than 5 s after the start: the window closes at once.
  window.close();
  EXPECT_TRUE(test::WaitFor([&] { return player.ErrorBoxCount() == 0; }, 2000));
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(boxes[0] != nullptr && boxes[0]->isVisible());
}

}  // namespace
}  // namespace tw
