#include <gtest/gtest.h>

#include "app/PingObject.h"
#include "app/ProgExit.h"
#include "controls/Bitmpbtn.h"
#include "controls/MyCntrl.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

TBitmapButton* Bitmap(QAbstractButton* button) {
  return qobject_cast<TBitmapButton*>(button);
}

TEST(MainButtons, StartAndStopAreOneStickyGroupWithStopDownAtCreation) {
  TPingObject window;
  window.SetFlagWaitMs(0);
  EXPECT_FALSE(window.DeleteBtn()->isEnabled());  // nothing to delete yet
  window.AddResourceRow("idle", ResourceKind::None);
  TBitmapButton* start = Bitmap(window.StartBtn());
  TBitmapButton* stop = Bitmap(window.StopBtn());
  ASSERT_NE(start, nullptr);
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(start->toolTip(), "Starts the test process");
  EXPECT_EQ(stop->toolTip(), "Stops the test process");
  EXPECT_EQ(stop->DrawState(), TBitmapButton::State::Exclusive);
  EXPECT_EQ(start->DrawState(), TBitmapButton::State::Up);

  struct Step {
    TBitmapButton* press;
    bool startDown, sampling, deleteEnabled;
  } const steps[] = {
      {start, true, true, false},
      {start, true, true, false},  // the down button of the group stays
                                   // down
      {stop, false, false, true},
      {stop, false, false, true},
      {start, true, true, false},
  };
  for (const Step& step : steps) {
    step.press->click();
    EXPECT_EQ(start->Down(), step.startDown);
    EXPECT_EQ(stop->Down(), !step.startDown);
    EXPECT_EQ(window.SamplingRuns(), step.sampling);
    EXPECT_EQ(window.DeleteBtn()->isEnabled(), step.deleteEnabled);
  }
  window.StopBtnClick();
}

TEST(MainButtons, ButtonsWearTheMainWindowLookAndTheirGlyphs) {
  TPingObject window;
  window.SetFlagWaitMs(0);
  for (const char* name : {"StartBtn", "StopBtn", "DelResource", "CloseBtn", "AddResource",
                           "EditCurResource", "StayOnTop", "HelpBtn", "SetBtn"}) {
    SCOPED_TRACE(name);
    auto* button = window.findChild<TBitmapButton*>(name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->ShadowWidth(), 2);
    EXPECT_FALSE(button->Glyph().isNull());
  }
  // The Start glyph is drawn: its green shows in the button.
  TBitmapButton* start = Bitmap(window.StartBtn());
  start->resize(start->sizeHint());
  EXPECT_GT(test::CountNear(test::Render(*start), QColor(0, 0xE0, 0), 0), 20);
}

TEST(MainButtons, PleaseWaitPlaysSixFramesAtFivePerSecond) {
  TProgExit wait(nullptr, [] {});
  TMovie* movie = wait.Movie();
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(movie->NumFrames(), 6);
  EXPECT_EQ(movie->FrameInterval(), 200);
  EXPECT_TRUE(movie->MovieEnabled());
  EXPECT_EQ(movie->Picture().width() % 6, 0);
}

}  // namespace
}  // namespace tw
