// The program's own buttons through the accessibility framework: the action
// a screen reader runs clicks them as the mouse does, and they are named by
// caption, label or hint.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QWidget>

#include "controls/Bitmpbtn.h"
#include "controls/MyCntrl.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

// Runs the button's first accessible action and lets the queued click happen.
void Activate(QAbstractButton& button) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&button);
  ASSERT_NE(iface, nullptr);
  QAccessibleActionInterface* actions = iface->actionInterface();
  ASSERT_NE(actions, nullptr);
  ASSERT_FALSE(actions->actionNames().isEmpty());
  actions->doAction(actions->actionNames().first());
  test::WaitFor([] { return false; }, 50);
}

TEST(AccessibleControls, TheActionClicksLikeTheMouse) {
  QWidget parent;
  TBitmapButton start("Start", &parent), stop("Stop", &parent), plain("Go", &parent);
  for (TBitmapButton* b : {&start, &stop}) b->SetGroupIndex(1);
  stop.SetDown(true);
  TBlackBitButton toggle("Fixed", &parent);
  toggle.SetFixed(true);
  const struct {
    QAbstractButton* button;
    const char* what;
  } cases[] = {{&start, "grouped"}, {&plain, "plain"}, {&toggle, "light toggle"}};
  for (const auto& c : cases) {
    test::SignalCount clicks(c.button, &QAbstractButton::clicked);
    Activate(*c.button);
    EXPECT_EQ(clicks.count, 1) << c.what;
  }
  EXPECT_TRUE(start.Down());
  EXPECT_FALSE(stop.Down());  // the group's other button came up, as after a mouse click
  EXPECT_TRUE(toggle.Down());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&start)->role(), QAccessible::RadioButton);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&plain)->role(), QAccessible::Button);
}

TEST(AccessibleControls, NamesComeFromCaptionLabelOrHint) {
  QWidget parent;
  TBitmapButton captioned("&Print trend", &parent), labelled(&parent), hinted(&parent);
  QLabel label("&Shrink", &parent);
  label.setBuddy(&labelled);
  hinted.setToolTip("Next day");
  const auto name = [](QWidget& w) {
    return QAccessible::queryAccessibleInterface(&w)->text(QAccessible::Name);
  };
  EXPECT_EQ(name(captioned), "Print trend");
  EXPECT_EQ(name(labelled), "Shrink");
  EXPECT_EQ(name(hinted), "Next day");
  hinted.setAccessibleName("Trend chart next day");
  EXPECT_EQ(name(hinted), "Trend chart next day");
}

}  // namespace
}  // namespace tw
