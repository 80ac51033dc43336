// Which windows the dial-up keeper presses, in which order, with which
// button texts: over a given list of windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/DialUpKeeper.h"

namespace tw {
namespace {

class ListedWindows final : public TopWindows {
 public:
  bool Available() const override { return true; }
  std::vector<TopWindow> List() override { return windows; }
  void RequestClose(uint64_t) override {}
  std::vector<TopWindow> windows;
};

class RecordedPresses final : public AccessibleButtons {
 public:
  bool Available() const override { return true; }
  void PostPress(int64_t pid, const std::string& title, const std::string& button) override {
    presses.push_back(std::to_string(pid) + "|" + title + "|" + button);
  }
  bool WaitIdle(int) override { return true; }
  std::vector<std::string> presses;
};

TEST(DialUpKeeperLogic, EveryEntryEveryMatchingWindowTopmostFirst) {
  const std::string longTitle = std::string(250, 'x') + "Connect To";
  ListedWindows windows;
  windows.windows = {
      {1, "Connect To My Provider", 10}, {2, "", 11},
      {3, "connect to my provider", 12}, {4, "Dial-Up Networking", 13},
      {5, "Connect To Backup", 14},      {6, longTitle, 15},  // the text ends past 255 characters
      {7, "Reestablish Connection", 16},
  };
  RecordedPresses buttons;
  DialUpKeeper keeper(windows, buttons);
  ConnectWindowsTable& table = keeper.Table();
  table.SetDefaultEntries();
  table.SetRowCount(6);
  table.SetCell(1, 3, "");  // Reestablish Connection: no button
  table.SetCell(0, 4, "");  // an entry without a title is skipped
  table.SetCell(1, 4, "Anything");
  table.SetCell(0, 5, "My Provider");  // a second entry matching a window
  table.SetCell(1, 5, "Retry");
  keeper.DialUpTimerTimer();
  EXPECT_EQ(
      buttons.presses,
      (std::vector<std::string>{"10|Connect To My Provider|Connect", "14|Connect To Backup|Connect",
                                "13|Dial-Up Networking|OK", "10|Connect To My Provider|Retry"}));
  // Nothing is remembered: the next tick presses the same again.
  buttons.presses.clear();
  keeper.DialUpTimerTimer();
  EXPECT_EQ(buttons.presses.size(), 4u);
}

// One post presses every window of a program with that title, so two
// same-titled dialogs of one program get one post; other programs' windows
// of the same title, and other titles, get their own.
TEST(DialUpKeeperLogic, OnePostPerProgramAndTitle) {
  ListedWindows windows;
  windows.windows = {
      {1, "Connect To Twin", 20},   {2, "Connect To Twin", 20}, {3, "Connect To Twin", 21},
      {4, "Connect To Twin 2", 20}, {5, "Connect To Twin", 0},  {6, "Connect To Twin", 0},
  };
  RecordedPresses buttons;
  DialUpKeeper keeper(windows, buttons);
  keeper.Table().SetCell(0, 1, "Connect To");
  keeper.Table().SetCell(1, 1, "Connect");
  keeper.DialUpTimerTimer();
  EXPECT_EQ(buttons.presses, (std::vector<std::string>{
                                 "20|Connect To Twin|Connect", "21|Connect To Twin|Connect",
                                 "20|Connect To Twin 2|Connect", "0|Connect To Twin|Connect"}));
}

TEST(ConnectWindowsTable, HeaderAndDefaults) {
  ConnectWindowsTable table;
  EXPECT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.Cell(0, 0), "Dialog Box Title");
  EXPECT_EQ(table.Cell(1, 0), "Button To Push");
  table.SetCell(0, 0, "changed");  // the header row is fixed
  EXPECT_EQ(table.Cell(0, 0), "Dialog Box Title");
  table.SetDefaultEntries();
  ASSERT_EQ(table.RowCount(), 4);
  EXPECT_EQ(table.Cell(0, 3), "Reestablish Connection");
  EXPECT_EQ(table.Cell(1, 3), "Reconnect");
  table.SetRowCount(0);
  EXPECT_EQ(table.RowCount(), 1);
}

}  // namespace
}  // namespace tw
