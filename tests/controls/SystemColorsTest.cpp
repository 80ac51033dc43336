#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

#include "controls/SystemColors.h"

namespace tw {
namespace {

TEST(SystemColors, RgbValuesKeepTheirBytesRedLowest) {
  struct Case {
    ColorValue value;
    QColor expected;
  } const cases[] = {
      {clRed, QColor(255, 0, 0)},          {clBlue, QColor(0, 0, 255)},
      {clGreen, QColor(0, 128, 0)},        {0x00123456, QColor(0x56, 0x34, 0x12)},
      {0x02FF8000, QColor(0, 0x80, 0xFF)},  // the top byte of a palette index is ignored
  };
  for (const Case& c : cases) EXPECT_EQ(ToQColor(c.value, QPalette()), c.expected) << c.value;
  EXPECT_EQ(ToQColor(clNone, QPalette()).alpha(), 0);
}

TEST(SystemColors, DesktopColoursComeFromThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Button, QColor(10, 10, 10));
  palette.setColor(QPalette::Dark, QColor(20, 20, 20));
  palette.setColor(QPalette::Light, QColor(30, 30, 30));
  palette.setColor(QPalette::Base, QColor(40, 40, 40));
  palette.setColor(QPalette::ButtonText, QColor(50, 50, 50));
  palette.setColor(QPalette::Shadow, QColor(60, 60, 60));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(70, 70, 70));
  palette.setColor(QPalette::Highlight, QColor(80, 80, 80));
  struct Case {
    SystemColor element;
    int grey;
  } const cases[] = {
      {SystemColor::BtnFace, 10},    {SystemColor::BtnShadow, 20}, {SystemColor::BtnHighlight, 30},
      {SystemColor::Window, 40},     {SystemColor::BtnText, 50},   {SystemColor::WindowFrame, 60},
      {SystemColor::DkShadow3D, 60}, {SystemColor::GrayText, 70},  {SystemColor::Highlight, 80},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToQColor(SystemColorValue(c.element), palette), QColor(c.grey, c.grey, c.grey))
        << ColorToString(SystemColorValue(c.element));
  }
  // Every element of the table has a colour; one past it paints black.
  for (int e = 0; e <= static_cast<int>(SystemColor::InfoBk); ++e) {
    EXPECT_TRUE(ToQColor(SystemColorValue(static_cast<SystemColor>(e)), palette).isValid());
  }
  EXPECT_EQ(ToQColor(static_cast<ColorValue>(0x800000FFu), palette), QColor(Qt::black));
}

TEST(SystemColors, FollowTheApplicationPaletteWhenItChanges) {
  const QPalette saved = QGuiApplication::palette();
  QPalette changed = saved;
  changed.setColor(QPalette::Button, QColor(1, 99, 7));
  QGuiApplication::setPalette(changed);
  EXPECT_EQ(ToQColor(SystemColorValue(SystemColor::BtnFace)), QColor(1, 99, 7));
  QGuiApplication::setPalette(saved);
}

}  // namespace
}  // namespace tw
