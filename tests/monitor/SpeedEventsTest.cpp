// The speed events: every transition of the event state table, the timing
// of the timeout, and what reaches the actions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/SpeedEvents.h"
#include "platform/fake/FakeClock.h"

namespace tw {
namespace {

class RecordingActions final : public EventActions {
 public:
  void PlaySoundFile(const std::string& file) override { calls.push_back("sound:" + file); }
  void RunProgram(const std::string& commandLine, const std::string& folder) override {
    calls.push_back("run:" + commandLine + "|" + folder);
  }
  void CloseProgramByFile(const std::string& file) override { calls.push_back("file:" + file); }
  void CloseProgramByTitle(const std::string& title) override { calls.push_back("title:" + title); }
  void ShowNotification(const std::string& text) override { calls.push_back("notify:" + text); }
  std::vector<std::string> calls;
};

class SpeedEventsTest : public ::testing::Test {
 protected:
  SpeedEventsTest() {
    table.SetRowCount(2);
    table.SetNewRowDefaults(1);
    table.SetCell(Col::Kind, 1, "3");
    table.SetCell(Col::PerformMinSpeed, 1, "1");
    table.SetCell(Col::MinSpeed, 1, "10");
    table.SetCell(Col::MinAction, 1, "1");
    table.SetCell(Col::MinCommand, 1, "min-prog");
    table.SetCell(Col::MaxSpeed, 1, "100");
    table.SetCell(Col::MaxAction, 1, "1");
    table.SetCell(Col::MaxCommand, 1, "max-prog");
  }
  std::string Now() const { return std::to_string(events.NowSeconds()); }
  std::string Ago(int seconds) const { return std::to_string(events.NowSeconds() - seconds); }
  // Ticks every 50 ms for `ms` milliseconds with a fixed speed.
  void RunFor(uint64_t ms, double speed) {
    for (uint64_t t = 0; t < ms; t += 50) {
      events.Check(1, speed);
      clock.AdvanceMs(50);
    }
  }

  FakeClock clock;
  ResourceTable table;
  RecordingActions actions;
  SpeedEvents events{table, clock, actions};
};

// One tick of the minimum-speed event from a given state.
TEST_F(SpeedEventsTest, StateTable) {
  struct Case {
    const char* name;
    const char* once;
    int sinceAgo;  // -1: no stamp
    const char* performed;
    double speed;
    // Expected after the tick: stamp "" (cleared), "now", "kept"; performed; actions.
    const char* since;
    const char* performedAfter;
    size_t actionCount;
  };
  const Case cases[] = {
      {"idle, condition true -> holding", "1", -1, "", 5, "now", "", 0},
      {"idle, condition false -> idle", "1", -1, "", 50, "", "", 0},
      {"holding, condition false -> idle", "1", 10, "", 50, "", "", 0},
      {"holding, exactly T -> holding", "1", 3, "", 5, "kept", "", 0},
      {"holding, more than T, once 1 -> spent", "1", 4, "", 5, "", "1", 1},
      {"holding, more than T, once 0 -> spent", "0", 4, "", 5, "", "1", 1},
      {"holding, more than T, once other -> holding", "yes", 4, "", 5, "kept", "", 0},
      {"holding, more than T, once empty -> holding", "", 4, "", 5, "kept", "", 0},
      {"spent, condition true -> spent-holding", "1", -1, "1", 5, "now", "1", 0},
      {"spent, condition false -> spent", "1", -1, "1", 50, "", "1", 0},
      {"spent-holding, condition false -> spent", "1", 10, "1", 50, "", "1", 0},
      {"spent-holding, more than T, once 0 -> spent", "0", 4, "1", 5, "", "1", 1},
      {"spent-holding, more than T, once 1 -> spent-holding", "1", 4, "1", 5, "kept", "1", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    table.SetCell(Col::MinOnce, 1, c.once);
    table.SetCell(Col::MinTimeout, 1, "3");
    const std::string stamp = c.sinceAgo < 0 ? "" : Ago(c.sinceAgo);
    table.SetCell(Col::MinSince, 1, stamp);
    table.SetCell(Col::MinPerformed, 1, c.performed);
    actions.calls.clear();
    events.Check(1, c.speed);
    const std::string since = c.since;
    const std::string expected = since == "now" ? Now() : since == "kept" ? stamp : "";
    EXPECT_EQ(table.Cell(Col::MinSince, 1), expected);
    EXPECT_EQ(table.Cell(Col::MinPerformed, 1), c.performedAfter);
    EXPECT_EQ(actions.calls.size(), c.actionCount);
  }
}

TEST_F(SpeedEventsTest, ConditionsAtTheThresholds) {
  struct Case {
    const char* name;
    bool minimum;
    const char* threshold;
    double speed;
    bool holds;
  };
  const Case cases[] = {
      {"dead resource with MinSpeed 0", true, "0", 0, true},
      {"speed equal to MinSpeed", true, "10.5", 10.5, true},
      {"speed just above MinSpeed", true, "10.5", 10.51, false},
      {"speed equal to MaxSpeed", false, "100", 100, true},
      {"speed just below MaxSpeed", false, "100", 99.99, false},
      {"unreadable MaxSpeed reads as 0", false, "fast", 0, true},
      {"empty MinSpeed reads as 0", true, "", 0.01, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const EventColumns& e = c.minimum ? kMinSpeedEvent : kMaxSpeedEvent;
    const EventColumns& o = c.minimum ? kMaxSpeedEvent : kMinSpeedEvent;
    table.SetCell(e.enabled, 1, "1");
    table.SetCell(o.enabled, 1, "0");
    table.SetCell(e.threshold, 1, c.threshold);
    table.SetCell(e.since, 1, "");
    events.Check(1, c.speed);
    EXPECT_EQ(!table.Cell(e.since, 1).empty(), c.holds);
  }
}

TEST(EventTimeout, ReadsWholeSecondsAtLeastTwo) {
  const std::pair<const char*, int64_t> cases[] = {{"", 2},    {"0", 2}, {"1", 2}, {"-5", 2},
                                                   {"abc", 2}, {"2", 2}, {"3", 3}, {" 7s", 7}};
  for (const auto& [text, seconds] : cases) EXPECT_EQ(EventTimeoutSeconds(text), seconds) << text;
}

// With the condition holding from a tick on, the action follows on the
// first tick more than T whole seconds of the counter after the stamp.
TEST_F(SpeedEventsTest, TimeoutFiresBetweenTAndTPlusOneSeconds) {
  const std::pair<const char*, int> cases[] = {{"3", 3}, {"1", 2}, {"0", 2}, {"", 2}, {"10", 10}};
  for (const auto& [timeout, seconds] : cases) {
    SCOPED_TRACE(timeout);
    for (uint64_t phase : {0, 400, 950}) {
      table.SetCell(Col::MinTimeout, 1, timeout);
      table.ClearEventBookkeeping(1);
      actions.calls.clear();
      clock.AdvanceMs(1000 - clock.TickMs() % 1000 + phase);
      const uint64_t start = clock.TickMs();
      uint64_t firedAt = 0;
      for (int i = 0; i < 400 && firedAt == 0; ++i) {
        events.Check(1, 0);
        if (!actions.calls.empty()) firedAt = clock.TickMs();
        clock.AdvanceMs(50);
      }
      ASSERT_NE(firedAt, 0u);
      EXPECT_GT(firedAt - start, static_cast<uint64_t>(seconds) * 1000 - 1000) << phase;
      EXPECT_LE(firedAt - start, static_cast<uint64_t>(seconds + 1) * 1000) << phase;
      EXPECT_GE(firedAt - start + phase, static_cast<uint64_t>(seconds) * 1000) << phase;
    }
  }
}

TEST_F(SpeedEventsTest, PerformOnceRunsOnceUntilTheOtherEventReenablesIt) {
  table.SetCell(Col::PerformMaxSpeed, 1, "1");
  table.SetCell(Col::MaxEnablesMin, 1, "1");
  RunFor(5000, 0);
  RunFor(1000, 50);
  RunFor(5000, 0);
  EXPECT_EQ(actions.calls, std::vector<std::string>{"run:min-prog|"});
  RunFor(5000, 500);  // the maximum event performs and enables the minimum again
  RunFor(5000, 0);
  EXPECT_EQ(actions.calls,
            (std::vector<std::string>{"run:min-prog|", "run:max-prog|", "run:min-prog|"}));

  actions.calls.clear();
  table.SetCell(Col::MaxEnablesMin, 1, "0");
  RunFor(5000, 500);
  RunFor(5000, 0);
  EXPECT_EQ(actions.calls, std::vector<std::string>{"run:max-prog|"});
}

TEST_F(SpeedEventsTest, PerformEveryTimeRepeatsWhileTheConditionLasts) {
  table.SetCell(Col::MinOnce, 1, "0");
  table.SetCell(Col::MinTimeout, 1, "3");
  RunFor(20000, 0);
  // Stamp, more than 3 s, perform, stamp again on the next tick: every 4 s or so.
  EXPECT_GE(actions.calls.size(), 4u);
  EXPECT_LE(actions.calls.size(), 5u);
}

TEST_F(SpeedEventsTest, BothDueInOneTickRunsMinimumFirst) {
  table.SetCell(Col::PerformMaxSpeed, 1, "1");
  table.SetCell(Col::MinSpeed, 1, "100");
  table.SetCell(Col::MaxSpeed, 1, "50");
  table.SetCell(Col::MinSince, 1, Ago(10));
  table.SetCell(Col::MaxSince, 1, Ago(10));
  events.Check(1, 75);
  EXPECT_EQ(actions.calls, (std::vector<std::string>{"run:min-prog|", "run:max-prog|"}));
  // The minimum event cleared the maximum's performed flag before the
  // maximum check ran; the maximum then set its own again.
  EXPECT_EQ(table.Cell(Col::MinPerformed, 1), "");
  EXPECT_EQ(table.Cell(Col::MaxPerformed, 1), "1");
}

TEST_F(SpeedEventsTest, ActionKinds) {
  const std::string longTitle(300, 'w');
  struct Case {
    const char* name;
    const char* kind;
    const char* sound;
    const char* command;
    const char* folder;
    const char* closeFile;
    std::string closeTitle;
    std::vector<std::string> calls;
    std::string notifyText = "";
  };
  const Case cases[] = {
      {"sound", "0", "/s/beep.wav", "prog", "", "", "", {"sound:/s/beep.wav"}},
      {"sound without a file", "0", "", "prog", "", "", "", {}},
      {"run with folder", "1", "", "prog -x", "/tmp", "", "", {"run:prog -x|/tmp"}},
      {"run without a command", "1", "", "", "/tmp", "", "", {}},
      {"close by file first", "2", "", "", "", "/bin/ed", "Ed", {"file:/bin/ed"}},
      {"close by title", "2", "", "", "", "", "Ed", {"title:Ed"}},
      {"close with nothing", "2", "", "", "", "", "", {}},
      {"title cut to 255", "2", "", "", "", "", longTitle, {"title:" + longTitle.substr(0, 255)}},
      {"kind by first character", "1x", "", "prog", "", "", "", {"run:prog|"}},
      {"empty kind", "", "/s/beep.wav", "prog", "", "/bin/ed", "Ed", {}},
      {"unknown kind", "7", "/s/beep.wav", "prog", "", "/bin/ed", "Ed", {}},
      {"notify", "3", "/s/beep.wav", "prog", "", "", "", {"notify:Link slow"}, "Link slow"},
      {"notify without a text", "3", "/s/beep.wav", "prog", "", "", "", {}, ""},
      {"notify text cut to 255",
       "3",
       "",
       "",
       "",
       "",
       "",
       {"notify:" + longTitle.substr(0, 255)},
       longTitle},
      {"a notification text alone does nothing", "1", "", "", "", "", "", {}, "Link slow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    table.SetCell(Col::MinAction, 1, c.kind);
    table.SetCell(Col::MinSound, 1, c.sound);
    table.SetCell(Col::MinCommand, 1, c.command);
    table.SetCell(Col::MinFolder, 1, c.folder);
    table.SetCell(Col::MinCloseFile, 1, c.closeFile);
    table.SetCell(Col::MinCloseTitle, 1, c.closeTitle);
    table.SetCell(Col::MinNotifyText, 1, c.notifyText);
    table.SetCell(Col::MinSince, 1, Ago(10));
    table.SetCell(Col::MinPerformed, 1, "");
    actions.calls.clear();
    events.Check(1, 0);
    EXPECT_EQ(actions.calls, c.calls);
    // Performed whether or not an action ran.
    EXPECT_EQ(table.Cell(Col::MinPerformed, 1), "1");
    EXPECT_EQ(table.Cell(Col::MinSince, 1), "");
  }
}

TEST_F(SpeedEventsTest, DisabledEventKeepsItsState) {
  for (const char* enabled : {"0", "", "true"}) {
    table.SetCell(Col::PerformMinSpeed, 1, enabled);
    table.SetCell(Col::MinSince, 1, Ago(100));
    table.SetCell(Col::MinPerformed, 1, "");
    events.Check(1, 0);
    events.Check(1, 50);
    EXPECT_EQ(table.Cell(Col::MinSince, 1), Ago(100)) << enabled;
    EXPECT_TRUE(actions.calls.empty());
  }
}

TEST_F(SpeedEventsTest, StampsSurviveLongUptimes) {
  // 30 days of uptime: past the point where a signed 32-bit millisecond
  // counter turns negative.
  clock.AdvanceMs(30ull * 24 * 3600 * 1000);
  RunFor(5000, 0);
  EXPECT_EQ(actions.calls.size(), 1u);
}

TEST_F(SpeedEventsTest, UnreadableOrFutureStampStartsAfresh) {
  for (const std::string& stamp :
       {std::string("soon"), std::string("-4"), std::to_string(events.NowSeconds() + 100000)}) {
    SCOPED_TRACE(stamp);
    table.SetCell(Col::MinSince, 1, stamp);
    table.SetCell(Col::MinPerformed, 1, "");
    actions.calls.clear();
    events.Check(1, 0);
    EXPECT_EQ(table.Cell(Col::MinSince, 1), Now());
    RunFor(5000, 0);
    EXPECT_EQ(actions.calls.size(), 1u);
  }
}

TEST_F(SpeedEventsTest, RowsOutsideTheTableAreIgnored) {
  events.Check(0, 0);
  events.Check(5, 0);
  EXPECT_EQ(table.Cell(Col::MinSince, 0), "");
  EXPECT_TRUE(actions.calls.empty());
}

}  // namespace
}  // namespace tw
