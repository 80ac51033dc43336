// The main window as a screen reader meets it: the real program started
// with its accessibility bridge on, read and worked from this process
// through the AT-SPI accessibility bus only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "actions/ActionsTestSupport.h"
#include "support/Environment.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

#if TARNWICK_TEST_ATSPI
#include "support/linux/AtspiTree.h"
#endif

namespace tw {
namespace {

#if TARNWICK_TEST_ATSPI

using test::Accessible;

// Sets an environment variable for the programs this test starts.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    test::SetEnvironment(name, value.c_str());
  }
  ~ScopedVariable() {
    if (old_) {
      test::SetEnvironment(name_, old_->c_str());
    } else {
      test::UnsetEnvironment(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class ScreenReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    if (!test::ConnectAccessibilityBus()) {
      GTEST_SKIP() << "the AT-SPI accessibility bus cannot be reached";
    }
    std::filesystem::create_directories(folder());
    WriteParameters();
    ScopedVariable home("TARNWICK_HOME", home_.Path());
    ScopedVariable state("TARNWICK_STATE_DIR", state_.Path());
    ScopedVariable bridge("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    program_ = std::make_unique<test::Child>(test::TestProgram("tarnwick"), QStringList{});
    ASSERT_TRUE(test::WaitFor(
        [&] {
          window_ = test::WindowOfProcess(program_->Pid(), "Start");
          return static_cast<bool>(window_);
        },
        20000))
        << "the window never showed on the accessibility bus";
  }

  // One folder resource, sampling stopped at the last close.
  void WriteParameters() const {
    std::ofstream ini(home_.File("RAREDARI.INI"), std::ios::binary);
    // Up to ten resources the keys are "Object" row column, without a separator.
    ini << "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=1\r\n"
        << "Object11=" << folder() << "\r\nObject15=1\r\n"
        << "Object16=$00FF0000\r\nObject17=$000000FF\r\nObject18=300\r\n"
        << "Object19=1\r\nObject110=1024\r\nObject111=2500\r\n"
        << "Object112=0\r\nObject113=999999\r\n"
        << "[Buttons]\r\nPing objects=0\r\n";
  }
  std::string folder() const { return home_.File("tested"); }

  Accessible Named(const std::string& name) const {
    Accessible found;
    window_.Walk([&](const Accessible& a) {
      if (a.Name() != name) return false;
      found = a;
      return true;
    });
    return found;
  }
  static bool IsButton(const Accessible& a) {
    const AtspiRole role = a.Role();
    return role == ATSPI_ROLE_PUSH_BUTTON || role == ATSPI_ROLE_TOGGLE_BUTTON ||
           role == ATSPI_ROLE_RADIO_BUTTON || role == ATSPI_ROLE_CHECK_BOX;
  }

  test::TempDir home_, state_;
  std::unique_ptr<test::Child> program_;
  Accessible window_;
};

// A screen reader's "activate" runs the control's first action; for Start it
// must start sampling exactly as a click does (Delete goes off while the
// threads run), not only put the button down.
TEST_F(ScreenReaderTest, StartActionStartsSamplingLikeAClick) {
  const Accessible start = Named("Start");
  const Accessible remove = Named("Delete");
  ASSERT_TRUE(start && remove);
  ASSERT_TRUE(IsButton(start)) << start.Role();
  EXPECT_TRUE(remove.Has(ATSPI_STATE_SENSITIVE));
  ASSERT_FALSE(start.Actions().empty());
  ASSERT_TRUE(start.DoAction(0));
  EXPECT_TRUE(test::WaitFor([&] { return start.Has(ATSPI_STATE_CHECKED); }, 5000));
  EXPECT_TRUE(test::WaitFor([&] { return !remove.Has(ATSPI_STATE_SENSITIVE); }, 5000))
      << "the button went down but sampling did not start";
  // Stop through the bus stops it again.
  ASSERT_TRUE(Named("Stop").DoAction(0));
  EXPECT_TRUE(test::WaitFor([&] { return remove.Has(ATSPI_STATE_SENSITIVE); }, 8000));
  EXPECT_FALSE(start.Has(ATSPI_STATE_CHECKED));
}

// Every button of the window is named, the glyph-only ones from their
// captions or hints, and the charts are there by name.
TEST_F(ScreenReaderTest, EveryControlHasANameAndRole) {
  std::set<std::string> buttons;
  int nameless = 0;
  window_.Walk([&](const Accessible& a) {
    if (IsButton(a)) {
      const std::string name = a.Name();
      if (name.empty()) ++nameless;
      buttons.insert(name);
    }
    return false;
  });
  EXPECT_EQ(nameless, 0);
  for (const char* name :
       {"Start", "Stop", "Delete", "Close", "Trend", "Shrink", "Live chart scale up",
        "Live chart scale down", "Live chart horizontal grid", "Live chart vertical grid",
        "Trend chart scale up", "Trend chart scale down", "Trend chart horizontal grid",
        "Trend chart vertical grid", "Previous day", "Next day", "Print trend", "Copy trend"}) {
    EXPECT_EQ(buttons.count(name), 1u) << name;
  }
  // The sticky buttons say how they stick and whether they are down.
  EXPECT_EQ(Named("Live chart horizontal grid").Role(), ATSPI_ROLE_CHECK_BOX);
  EXPECT_TRUE(Named("Live chart horizontal grid").Has(ATSPI_STATE_CHECKED));
  EXPECT_EQ(Named("Start").Role(), ATSPI_ROLE_RADIO_BUTTON);
  EXPECT_TRUE(Named("Stop").Has(ATSPI_STATE_CHECKED));
  EXPECT_EQ(Named("Delete").Role(), ATSPI_ROLE_PUSH_BUTTON);
  for (const char* chart : {"Live chart", "Trend chart"}) {
    const Accessible image = window_.Find(chart, ATSPI_ROLE_CHART);
    ASSERT_TRUE(image) << chart;
    EXPECT_NE(image.Description().find(folder()), std::string::npos)
        << chart << ": " << image.Description();
  }
}

// The status table is a table of its resources: the header texts as column
// headers, one row per resource, and the cells' texts as the thread writes
// them once sampling runs; the live chart tells the latest speeds.
TEST_F(ScreenReaderTest, StatusTableShowsItsRowsAndCells) {
  const Accessible table = window_.FindRole(ATSPI_ROLE_TABLE);
  ASSERT_TRUE(table) << "the status table is not on the bus";
  EXPECT_EQ(table.Name(), "Resources");
  test::AccessibleTable read = test::ReadTable(table);
  ASSERT_EQ(read.rows, 1);
  ASSERT_EQ(read.columns, 4);
  EXPECT_EQ(read.columnHeaders,
            (std::vector<std::string>{"Resource", "Write speed", "Read speed", "Ping speed"}));
  EXPECT_EQ(read.cells[0][0], folder());
  ASSERT_TRUE(Named("Start").DoAction(0));
  EXPECT_TRUE(test::WaitFor(
      [&] {
        read = test::ReadTable(table);
        return read.rows == 1 && read.cells[0][1].find(" Kbps") != std::string::npos &&
               read.cells[0][2].find(" Kbps") != std::string::npos;
      },
      15000))
      << read.cells[0][1] << "|" << read.cells[0][2];
  const std::string live = window_.Find("Live chart", ATSPI_ROLE_CHART).Description();
  EXPECT_NE(live.find(folder() + ": Write "), std::string::npos) << live;
  EXPECT_NE(live.find(" Kbps"), std::string::npos) << live;
}

#else

TEST(ScreenReaderTest, NeedsTheAccessibilityLibrary) {
  GTEST_SKIP() << "built without libatspi";
}

#endif

}  // namespace
}  // namespace tw
