// The main window in a decimal-comma desktop: this program starts its
// application object with LC_ALL=de_DE.UTF-8, so that the toolkit switches
// the C library to that locale as it does for the real program. The scale
// from the parameters file, the value window's speed and the saved file
// must all keep their ".".
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/LiveChartPanel.h"
#include "dialogs/SetTrTim.h"
#include "monitor/Parameters.h"
#include "platform/fake/FakeClock.h"
#include "support/CommaLocale.h"
#include "support/MapTrendLookup.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "util/DateTime.h"

namespace tw {
namespace {

std::string& LocaleProblem() {
  static std::string problem;
  return problem;
}

// Chooses the comma locale for the whole program before the application
// object exists; a test without it skips with the reason.
class CommaDesktop : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string name = test::PrepareCommaLocale(LocaleProblem());
    if (!name.empty()) setenv("LC_ALL", name.c_str(), 1);
    test::EnsureQtApp();
  }
};

::testing::Environment* const kDesktop = ::testing::AddGlobalTestEnvironment(new CommaDesktop);

class CommaLocaleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!LocaleProblem().empty()) GTEST_SKIP() << LocaleProblem();
    setenv("TARNWICK_HOME", home.Path().c_str(), 1);
    setenv("TARNWICK_STATE_DIR", state.Path().c_str(), 1);
  }

  std::string ReadParameters() const {
    std::ifstream in(home.File(kParametersFileName), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  test::TempDir home, state;
  FakeClock clock;
};

TEST_F(CommaLocaleWindowTest, ScaleAndSpeedKeepTheirPoint) {
  // The application object really put the C library into the comma locale.
  ASSERT_TRUE(test::DecimalCommaInEffect());
  std::ofstream(home.File(kParametersFileName), std::ios::binary)
      << "[Main]\r\nSign=Network speed\r\n[Scale]\r\nScale= 5.00000000000000E+0002\r\n";
  auto window = std::make_unique<TPingObject>(clock);
  window->SetFlagWaitMs(0);
  window->show();
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ(window->LivePanel().live.Scale(), 500);

  const int row = window->AddResourceRow("/media/cdrom/disk.iso", ResourceKind::File);
  for (int k = 0; k < 100; ++k) window->Table().Thread(row)->SetReadSpeed(250.5);
  window->SamplingTick(TickMode::Redraw);
  const int y = 87 - static_cast<int>(std::lround(87 / 500.0 * 250.5));
  window->LivePanel().display2MouseMove(266, y);
  ASSERT_TRUE(window->LivePanel().valueWindow->isVisible());
  EXPECT_EQ(window->LivePanel().valueWindow->text(),
            "\"/media/cdrom/disk.iso\" Read    250.50 Kbps");

  window->close();
  window.reset();
  const std::string saved = ReadParameters();
  EXPECT_NE(saved.find("\r\nScale= 5.00000000000000E+0002\r\n"), std::string::npos) << saved;
}

// The exported day keeps "." in every number on the clipboard.
TEST_F(CommaLocaleWindowTest, ExportedTrendKeepsItsPoint) {
  ASSERT_TRUE(test::DecimalCommaInEffect());
  clock.SetLocalNow({2026, 12, 9, 13, 0, 0, 0});
  auto window = std::make_unique<TPingObject>(clock);
  window->SetFlagWaitMs(0);
  window->show();
  window->AddResourceRow("/media/cdrom/disk.iso", ResourceKind::File);
  test::MapTrendLookup lookup;
  lookup.Add("/media/cdrom/disk.iso", EncodeDateTime({2026, 12, 9, 0, 15, 0, 0}), {1234.5, 0, 0});
  window->FinishTrendLoad();  // the window's own files first, then the test's records
  window->SetTrendLookup(&lookup);
  window->TrendRedraw();
  test::AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<TTrendTimePeriod*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->SetTexts({"0", "0", "0", "30"});
    dialog->BtnOk()->click();
  });
  window->CopyToClipbrdMenuClick();
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
            "December 9, 2026, Wednesday\t\t\r\n\t0:15\t0:30\r\n"
            "/media/cdrom/disk.iso Read (Kbps)\t1234.50\t0.00\r\n"
            "/media/cdrom/disk.iso Write (Kbps)\t0.00\t0.00\r\n"
            "/media/cdrom/disk.iso Ping (Kbps)\t0.00\t0.00\r\n");
  window->SetTrendLookup(nullptr);
  window->close();
}

}  // namespace
}  // namespace tw
