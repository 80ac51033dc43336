// The window's metrics book, fed by its real threads: every row's speeds and
// counters arrive, and a deleted row's resource is gone from the exposition
// while the rows below it come back under their own names.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "app/PingObject.h"
#include "charts/qt/DisplayResourceTable.h"
#include "monitor/ResourceWizard.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

std::string Resource(const std::string& folder) {
  return "resource=\"" + folder + "\",kind=\"drive\"";
}

bool Reports(const TPingObject& window, const std::string& folder) {
  const std::string text = window.Metrics().Exposition("test");
  const std::string counter = "tarnwick_measurements_total{" + Resource(folder) + "} ";
  const size_t at = text.find(counter);
  return at != std::string::npos && text.compare(at + counter.size(), 2, "0\n") != 0;
}

TEST(PingObjectMetricsTest, RowsReportUnderTheirOwnNamesAndADeletedRowLeavesNothing) {
  test::EnsureQtApp();
  test::TempDir home, shares;
  setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  OffsetClock clock;
  TPingObject window(clock);
  window.SetFlagWaitMs(20);
  std::vector<std::string> folders;
  for (const char* name : {"a", "b \"quoted\"", "c"}) {
    folders.push_back(shares.File(name));
    std::filesystem::create_directories(folders.back());
    WizardResult row;
    row.resource = folders.back();
    row.kind = ResourceKind::Drive;
    row.processDelay = "50";
    window.AddResourceRow(row);
  }
  window.StartBtnClick();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return Reports(window, folders[0]) && Reports(window, folders[2]); }, 10000));
  std::string text = window.Metrics().Exposition("test");
  EXPECT_NE(text.find(R"(b \"quoted\")"), std::string::npos) << text;
  EXPECT_NE(text.find("tarnwick_speed_kbps{" + Resource(folders[0]) + ",direction=\"write\"}"),
            std::string::npos);

  window.StopBtnClick();
  window.DisplayResourceTable()->SelectRow(1);
  window.DelResourceClick();
  ASSERT_EQ(window.Table().ResourceCount(), 2);
  EXPECT_EQ(window.Metrics().Exposition("test").find(folders[0]), std::string::npos);
  window.StartBtnClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Reports(window, folders[2]); }, 10000));
  text = window.Metrics().Exposition("test");
  EXPECT_EQ(text.find(folders[0]), std::string::npos) << text;
  window.StopBtnClick();
  unsetenv("TARNWICK_HOME");
}

}  // namespace
}  // namespace tw
