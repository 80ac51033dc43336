// The parameters file and the speed thresholds under a decimal-comma locale:
// the window toolkit switches the program to the desktop's locale, and the
// numbers must still be read and written with ".".
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "monitor/Parameters.h"
#include "monitor/SpeedEvents.h"
#include "platform/fake/FakeClock.h"
#include "support/CommaLocale.h"
#include "support/Environment.h"
#include "support/TempDir.h"

namespace tw {
namespace {

using test::ReadAll;

class LocaleIndependenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!comma_.Active()) GTEST_SKIP() << comma_.Problem();
    test::SetEnvironment("TARNWICK_STATE_DIR", state_.Path().c_str());
  }
  void TearDown() override { test::UnsetEnvironment("TARNWICK_STATE_DIR"); }

  test::CommaLocaleScope comma_;
  test::TempDir folder_;
  test::TempDir state_;
};

TEST_F(LocaleIndependenceTest, ScalesSurviveALoadAndASave) {
  const std::string path = folder_.File(kParametersFileName);
  std::ofstream(path, std::ios::binary) << "[Main]\r\nSign=Network speed\r\n[Scale]\r\n"
                                           "Scale= 5.00000000000000E+0002\r\n"
                                           "TrendScale= 2.50000000000000E-0001\r\n";
  ResourceTable table;
  WindowParameters params;
  ASSERT_EQ(LoadParameters(path, table, params), LoadOutcome::Loaded);
  EXPECT_DOUBLE_EQ(params.scale, 500);
  EXPECT_DOUBLE_EQ(params.trendScale, 0.25);
  ASSERT_TRUE(SaveParameters(path, table, params));
  const std::string saved = ReadAll(path);
  EXPECT_NE(saved.find("Scale= 5.00000000000000E+0002\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("TrendScale= 2.50000000000000E-0001\r\n"), std::string::npos) << saved;
}

class NoActions final : public EventActions {
 public:
  void PlaySoundFile(const std::string&) override {}
  void RunProgram(const std::string&, const std::string&) override {}
  void CloseProgramByFile(const std::string&) override {}
  void CloseProgramByTitle(const std::string&) override {}
  void ShowNotification(const std::string&) override {}
};

TEST_F(LocaleIndependenceTest, ThresholdsKeepTheirFraction) {
  FakeClock clock;
  ResourceTable table;
  NoActions actions;
  SpeedEvents events{table, clock, actions};
  table.SetRowCount(2);
  table.SetNewRowDefaults(1);
  table.SetCell(kMinSpeedEvent.enabled, 1, "1");
  table.SetCell(kMinSpeedEvent.threshold, 1, "2.5");
  // 2.4 is below a minimum of 2.5 (read as 2, it would not be).
  events.Check(1, 2.4);
  EXPECT_FALSE(table.Cell(kMinSpeedEvent.since, 1).empty());
  events.Check(1, 2.6);
  EXPECT_TRUE(table.Cell(kMinSpeedEvent.since, 1).empty());
}

}  // namespace
}  // namespace tw
