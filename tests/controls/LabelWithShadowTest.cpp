#include <gtest/gtest.h>

#include "controls/Shadowlb.h"
#include "controls/SystemColors.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

using test::BoundsOf;
using test::CountNear;
using test::Render;

TEST(LabelWithShadow, CaptionCarriesItsShadowAndGreysOutWhenDisabled) {
  struct Case {
    int shift;
    bool enabled;
  } const cases[] = {{2, true}, {4, true}, {2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shift);
    TLabelWithShadow label("Hor.Grid", nullptr);
    QFont font = label.font();
    font.setPixelSize(18);
    font.setBold(true);
    label.setFont(font);
    label.SetColor(clWhite);
    label.SetColorOfShadow(clBlue);
    label.SetFontColor(clRed);
    label.SetShadowShift(c.shift);
    label.setEnabled(c.enabled);
    label.resize(label.sizeHint());
    const QImage image = Render(label);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 255, 255));  // filled in its colour
    const QColor face =
        c.enabled ? QColor(255, 0, 0) : ToQColor(SystemColorValue(SystemColor::GrayText));
    const QRect text = BoundsOf(image, face, 10);
    const QRect shadow = BoundsOf(image, QColor(0, 0, 255), 10);
    ASSERT_TRUE(text.isValid());
    ASSERT_TRUE(shadow.isValid());
    EXPECT_EQ(shadow.bottomRight(), text.bottomRight() + QPoint(c.shift, c.shift));
    // The shadow stays inside the label: its size hint makes room for it.
    EXPECT_LT(shadow.right(), label.width());
    if (!c.enabled) {
      EXPECT_EQ(CountNear(image, QColor(255, 0, 0), 10), 0);
    }
  }
}

TEST(LabelWithShadow, TransparentLabelLeavesItsGroundAlone) {
  TLabelWithShadow label("x", nullptr);
  label.SetColor(clWhite);
  label.SetTransparent(true);
  label.resize(40, 20);
  EXPECT_NE(Render(label).pixelColor(39, 0), QColor(255, 255, 255));
}

}  // namespace
}  // namespace tw
