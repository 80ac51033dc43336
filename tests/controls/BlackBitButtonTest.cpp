#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "controls/MyCntrl.h"
#include "controls/SystemColors.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

using test::Render;

void Mouse(QWidget& widget, QEvent::Type type, QPoint pos) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, held, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// The colour in the middle of the light, where it sits in the drawn state.
QColor LightColour(TBlackBitButton& button) {
  const int off = button.IsOn() ? 2 : 0;
  const QPoint middle((button.width() - button.LightWidth()) / 2 + button.LightWidth() / 2 + off,
                      6 + button.LightHeight() / 2 + off);
  return Render(button).pixelColor(middle);
}

TEST(BlackBitButton, LightFollowsTheDrawnState) {
  QWidget parent;
  auto* button = new TBlackBitButton("Ok", &parent);
  button->SetOffColor(clRed);
  button->SetOnColor(clBlue);
  parent.show();
  test::SignalCount clicks(button, &QAbstractButton::clicked);
  const QPoint inside(20, 20);
  const QPoint outside(300, 20);

  EXPECT_EQ(LightColour(*button), QColor(255, 0, 0));
  Mouse(*button, QEvent::MouseButtonPress, inside);
  EXPECT_TRUE(button->IsOn());
  EXPECT_EQ(LightColour(*button), QColor(0, 0, 255));
  Mouse(*button, QEvent::MouseMove, outside);
  EXPECT_FALSE(button->IsOn());
  EXPECT_EQ(LightColour(*button), QColor(255, 0, 0));
  Mouse(*button, QEvent::MouseMove, inside);
  EXPECT_TRUE(button->IsOn());
  Mouse(*button, QEvent::MouseButtonRelease, inside);
  EXPECT_FALSE(button->IsOn());
  EXPECT_EQ(clicks.count, 1);

  // Released outside: drawn up, no click.
  Mouse(*button, QEvent::MouseButtonPress, inside);
  Mouse(*button, QEvent::MouseMove, outside);
  Mouse(*button, QEvent::MouseButtonRelease, outside);
  EXPECT_EQ(clicks.count, 1);

  button->setEnabled(false);
  EXPECT_EQ(LightColour(*button), ToQColor(SystemColorValue(SystemColor::BtnFace)));
}

TEST(BlackBitButton, FixedButtonTogglesOnEveryPressAndClicksWhenReleasedDown) {
  QWidget parent;
  auto* button = new TBlackBitButton("Keep", &parent);
  button->SetFixed(true);
  parent.show();
  test::SignalCount clicks(button, &QAbstractButton::clicked);
  const QPoint inside(20, 20);

  Mouse(*button, QEvent::MouseButtonPress, inside);
  EXPECT_TRUE(button->Down());
  Mouse(*button, QEvent::MouseMove, QPoint(300, 20));  // a toggle does not follow the mouse
  EXPECT_TRUE(button->Down());
  Mouse(*button, QEvent::MouseMove, inside);
  Mouse(*button, QEvent::MouseButtonRelease, inside);
  EXPECT_TRUE(button->Down());
  EXPECT_TRUE(button->IsOn());
  EXPECT_EQ(clicks.count, 1);

  Mouse(*button, QEvent::MouseButtonPress, inside);
  EXPECT_FALSE(button->Down());
  Mouse(*button, QEvent::MouseButtonRelease, inside);
  EXPECT_FALSE(button->IsOn());
  EXPECT_EQ(clicks.count, 1);
}

TEST(BlackBitButton, DisabledCaptionIsEngraved) {
  TBlackBitButton button("Help", nullptr);
  QFont font = button.font();
  font.setPixelSize(14);
  button.setFont(font);
  const QColor shadow = ToQColor(SystemColorValue(SystemColor::BtnShadow));
  const int before = test::CountNear(Render(button), shadow, 0);
  button.setEnabled(false);
  EXPECT_GT(test::CountNear(Render(button), shadow, 0), before + 10);
}

}  // namespace
}  // namespace tw
