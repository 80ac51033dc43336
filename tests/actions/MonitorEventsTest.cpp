// A running monitor performs a speed event: a resource whose speed stays at
// 0 runs its program once the timeout has passed.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include "ActionsTestSupport.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "support/TempDir.h"

namespace tw {
namespace {

TEST(MonitorEvents, DeadResourceRunsItsProgramAfterTheTimeout) {
  test::TempDir dir;
  const std::string ran = dir.File("ran");
  TPingObject window;
  window.SetFlagWaitMs(20);
  const int row = window.AddResourceRow(dir.File("missing.iso"), '2');
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

}  // namespace
}  // namespace tw
