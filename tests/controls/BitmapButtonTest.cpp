#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "controls/Bitmpbtn.h"
#include "controls/SystemColors.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

using test::BoundsOf;
using test::CountNear;
using test::Render;

constexpr ColorValue kFace = 0x00C0C0C0;   // silver
constexpr ColorValue kLight = 0x00FFFFFF;  // white
constexpr ColorValue kDark = 0x00404040;
constexpr ColorValue kText = clRed;
constexpr ColorValue kTextShadow = clBlue;

QColor Rgb(ColorValue value) {
  return ToQColor(value, QPalette());
}

// A button with plain colours that are easy to tell apart in a picture.
void Colour(TBitmapButton& button) {
  button.SetButtonColor(kFace);
  button.SetShadowLight(kLight);
  button.SetShadowDark(kDark);
  button.SetTextColor(kText);
  button.SetTextShadowColor(kTextShadow);
  QFont font = button.font();
  font.setPixelSize(20);
  font.setBold(true);
  button.setFont(font);
}

// Sends a left-button mouse event at `pos` (the button held while moving).
void Mouse(QWidget& widget, QEvent::Type type, QPoint pos) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, held, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

QImage Solid(int width, int height, QRgb colour, QRgb key) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  image.setPixel(0, height - 1, key);  // the lower left pixel names the key colour
  return image;
}

TEST(BitmapButton, CaptionShadowFollowsTextShadowShift) {
  for (int shift : {0, 1, 3}) {
    SCOPED_TRACE(shift);
    TBitmapButton button("Ww", nullptr);
    Colour(button);
    button.SetTextShadowShift(shift);
    button.resize(90, 40);
    const QImage image = Render(button);
    const QRect text = BoundsOf(image, Rgb(kText));
    ASSERT_TRUE(text.isValid());
    if (shift == 0) {
      // Drawn once, without a shadow: no pixel in the shadow colour.
      EXPECT_EQ(CountNear(image, Rgb(kTextShadow)), 0);
    } else {
      const QRect shadow = BoundsOf(image, Rgb(kTextShadow));
      ASSERT_TRUE(shadow.isValid());
      EXPECT_EQ(shadow.right(), text.right() + shift);
      EXPECT_EQ(shadow.bottom(), text.bottom() + shift);
    }
  }
}

TEST(BitmapButton, EdgesFollowTheDrawnState) {
  struct Case {
    const char* name;
    bool grouped, down, enabled;
    TBitmapButton::State state;
    ColorValue topLeft, bottomRight;
  } const cases[] = {
      {"up", false, false, true, TBitmapButton::State::Up, kLight, kDark},
      {"grouped up", true, false, true, TBitmapButton::State::Up, kLight, kDark},
      {"exclusive", true, true, true, TBitmapButton::State::Exclusive, kDark, kLight},
      {"disabled", true, true, false, TBitmapButton::State::Disabled, kLight, kDark},
      {"down without group is ignored", false, true, true, TBitmapButton::State::Up, kLight, kDark},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget parent;
    auto* button = new TBitmapButton("A", &parent);
    Colour(*button);
    button->SetShadowWidth(3);
    button->resize(40, 30);
    if (c.grouped) button->SetGroupIndex(1);
    button->SetDown(c.down);
    button->setEnabled(c.enabled);
    EXPECT_EQ(button->DrawState(), c.state);
    const QImage image = Render(*button);
    EXPECT_EQ(image.pixelColor(1, 1), Rgb(c.topLeft));
    EXPECT_EQ(image.pixelColor(38, 28), Rgb(c.bottomRight));
    EXPECT_EQ(image.pixelColor(6, 6), Rgb(kFace));
  }
}

TEST(BitmapButton, GroupedDownButtonIsExclusiveAgainAfterBeingDisabled) {
  QWidget parent;
  auto* button = new TBitmapButton("Stop", &parent);
  Colour(*button);
  button->resize(60, 30);
  button->SetGroupIndex(1);
  button->SetDown(true);
  const QImage exclusive = Render(*button);
  button->setEnabled(false);
  EXPECT_EQ(button->DrawState(), TBitmapButton::State::Disabled);
  // A disabled caption is drawn in the edge colours, not in TextColor.
  const QImage disabled = Render(*button);
  EXPECT_EQ(CountNear(disabled, Rgb(kText)), 0);
  EXPECT_GT(CountNear(disabled, Rgb(kDark)), 0);
  button->setEnabled(true);
  EXPECT_EQ(button->DrawState(), TBitmapButton::State::Exclusive);
  EXPECT_EQ(Render(*button), exclusive);
}

TEST(BitmapButton, GroupKeepsAtMostOneButtonDownAndAllowAllUpLetsItRise) {
  for (bool allowAllUp : {false, true}) {
    SCOPED_TRACE(allowAllUp);
    QWidget parent;
    QWidget otherParent;
    TBitmapButton* buttons[3];
    for (auto*& b : buttons) {
      b = new TBitmapButton("B", &parent);
      b->resize(30, 30);
      b->SetGroupIndex(1);
    }
    auto* otherGroup = new TBitmapButton("O", &parent);
    otherGroup->SetGroupIndex(2);
    otherGroup->SetDown(true);
    auto* elsewhere = new TBitmapButton("E", &otherParent);
    elsewhere->SetGroupIndex(1);
    elsewhere->SetDown(true);
    buttons[0]->SetAllowAllUp(allowAllUp);  // the whole group shares it
    EXPECT_EQ(buttons[2]->AllowAllUp(), allowAllUp);

    test::SignalCount clicks(buttons[1], &QAbstractButton::clicked);
    buttons[0]->click();
    EXPECT_TRUE(buttons[0]->Down());
    buttons[1]->click();
    EXPECT_TRUE(buttons[1]->Down());
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_FALSE(buttons[2]->Down());
    // A click on the one down button: it only rises with AllowAllUp, and
    // the click is reported either way.
    buttons[1]->click();
    EXPECT_EQ(buttons[1]->Down(), !allowAllUp);
    EXPECT_EQ(clicks.count, 2);
    // Other groups and other parents are not touched.
    EXPECT_TRUE(otherGroup->Down());
    EXPECT_TRUE(elsewhere->Down());
  }
}

TEST(BitmapButton, MouseDrawsDownWhilePressedInsideAndClicksOnReleaseInside) {
  QWidget parent;
  auto* button = new TBitmapButton("Go", &parent);
  button->resize(50, 30);
  parent.show();
  test::SignalCount clicks(button, &QAbstractButton::clicked);
  const QPoint inside(10, 10);
  const QPoint outside(200, 10);

  Mouse(*button, QEvent::MouseButtonPress, inside);
  EXPECT_EQ(button->DrawState(), TBitmapButton::State::Down);
  Mouse(*button, QEvent::MouseMove, outside);
  EXPECT_EQ(button->DrawState(), TBitmapButton::State::Up);
  Mouse(*button, QEvent::MouseMove, inside);
  EXPECT_EQ(button->DrawState(), TBitmapButton::State::Down);
  Mouse(*button, QEvent::MouseButtonRelease, inside);
  EXPECT_EQ(button->DrawState(), TBitmapButton::State::Up);
  EXPECT_EQ(clicks.count, 1);

  Mouse(*button, QEvent::MouseButtonPress, inside);
  Mouse(*button, QEvent::MouseMove, outside);
  Mouse(*button, QEvent::MouseButtonRelease, outside);
  EXPECT_EQ(clicks.count, 1);

  button->setEnabled(false);
  Mouse(*button, QEvent::MouseButtonPress, inside);
  Mouse(*button, QEvent::MouseButtonRelease, inside);
  EXPECT_EQ(clicks.count, 1);
}

TEST(BitmapButton, DoubleClickIsReportedOnlyWhenDown) {
  QWidget parent;
  auto* button = new TBitmapButton("D", &parent);
  button->resize(30, 30);
  button->SetGroupIndex(3);
  test::SignalCount doubles(button, &TBitmapButton::doubleClicked);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(button, &dbl);
  Mouse(*button, QEvent::MouseButtonRelease, QPoint(5, 5));
  EXPECT_EQ(doubles.count, 0);
  button->SetDown(true);
  QApplication::sendEvent(button, &dbl);
  EXPECT_EQ(doubles.count, 1);
}

TEST(BitmapButton, LoadingAGlyphSetsNumGlyphsFromItsShape) {
  struct Case {
    int width, height, preset, expected;
  } const cases[] = {
      {16, 16, 3, 1}, {32, 16, 1, 2}, {64, 16, 1, 4}, {80, 16, 2, 1},  // 5 images: too many
      {20, 16, 3, 3},                                                  // no whole multiple
  };
  for (const Case& c : cases) {
    TBitmapButton button;
    button.SetNumGlyphs(c.preset);
    button.SetGlyph(Solid(c.width, c.height, 0xFF00FF00u, 0xFFFF00FFu));
    EXPECT_EQ(button.NumGlyphs(), c.expected) << c.width << "x" << c.height;
  }
}

TEST(BitmapButton, EachStateShowsItsOwnGlyphImage) {
  // Four images in four colours, the lower left pixel magenta as the key.
  const QRgb colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
  QImage strip(64, 16, QImage::Format_ARGB32);
  for (int i = 0; i < 4; ++i) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) strip.setPixel(i * 16 + x, y, colours[i]);
    }
  }
  strip.setPixel(0, 15, 0xFFFF00FFu);
  QWidget parent;
  parent.show();
  auto* button = new TBitmapButton(&parent);
  button->SetButtonColor(kFace);
  button->resize(30, 30);
  button->SetGlyph(strip);
  button->SetGroupIndex(1);
  auto shows = [&](int index) {
    const QImage image = Render(*button);
    for (int i = 0; i < 4; ++i) {
      const int n = CountNear(image, QColor::fromRgb(colours[i]), 0);
      if (i == index ? n < 200 : n != 0) return false;
    }
    // The key colour itself never appears: it is transparent.
    return CountNear(image, QColor(255, 0, 255), 0) == 0;
  };
  EXPECT_TRUE(shows(0));
  Mouse(*button, QEvent::MouseButtonPress, QPoint(5, 5));
  EXPECT_TRUE(shows(2));
  Mouse(*button, QEvent::MouseButtonRelease, QPoint(5, 5));
  EXPECT_TRUE(shows(3));
  button->setEnabled(false);
  EXPECT_TRUE(shows(1));
}

TEST(BitmapButton, DisabledSingleGlyphIsEmbossedInTheEdgeColours) {
  QImage glyph = Solid(16, 16, 0xFFFF00FFu, 0xFFFF00FFu);
  for (int y = 4; y < 12; ++y) {
    for (int x = 4; x < 12; ++x) glyph.setPixel(x, y, 0xFF800000u);  // a dark red block
  }
  TBitmapButton button;
  button.SetButtonColor(kFace);
  button.SetShadowLight(kLight);
  button.SetShadowDark(kDark);
  button.SetShadowWidth(0);
  button.resize(30, 30);
  button.SetGlyph(glyph);
  button.setEnabled(false);
  const QImage image = Render(button);
  EXPECT_EQ(CountNear(image, QColor(0x80, 0, 0), 0), 0);
  EXPECT_EQ(CountNear(image, Rgb(kDark), 0), 64);   // the block in the dark colour
  EXPECT_EQ(CountNear(image, Rgb(kLight), 0), 15);  // its light rim right and below
  EXPECT_EQ(CountNear(image, QColor(255, 0, 255), 0), 0);
}

TEST(BitmapButton, GlyphAndCaptionArePlacedLikeSpeedButtons) {
  const QRect content(1, 1, 100, 30);
  const QSize glyph(16, 16);
  const QSize caption(40, 14);
  struct Case {
    ButtonLayout layout;
    int margin, spacing;
    QPoint glyphAt;
    QPoint captionAt;
  } const cases[] = {
      // Centred: (100 - (16 + 4 + 40) + 1) / 2 = 20 on each side.
      {ButtonLayout::GlyphLeft, -1, 4, {21, 8}, {41, 9}},
      {ButtonLayout::GlyphRight, -1, 4, {65, 8}, {21, 9}},
      {ButtonLayout::GlyphLeft, 5, 4, {6, 8}, {26, 9}},
      // Margin and spacing equal: (100 - 56) / 3 = 14.
      {ButtonLayout::GlyphLeft, -1, -1, {15, 8}, {45, 9}},
      // Fixed margin, the caption centred in the rest: (100 - 21 - 40) / 2 = 19.
      {ButtonLayout::GlyphLeft, 5, -1, {6, 8}, {41, 9}},
      // Vertical: (30 - (16 + 4 + 14) + 1) / 2 = -1.
      {ButtonLayout::GlyphTop, -1, 4, {43, 0}, {31, 20}},
  };
  for (const Case& c : cases) {
    const ButtonContent placed =
        PlaceGlyphAndCaption(content, glyph, caption, c.layout, c.margin, c.spacing);
    EXPECT_EQ(placed.glyphTopLeft, c.glyphAt) << static_cast<int>(c.layout) << c.margin;
    EXPECT_EQ(placed.captionRect.topLeft(), c.captionAt) << static_cast<int>(c.layout) << c.margin;
  }
  // Without a caption the glyph alone is centred; spacing does not count.
  EXPECT_EQ(
      PlaceGlyphAndCaption(content, glyph, QSize(), ButtonLayout::GlyphLeft, -1, 4).glyphTopLeft,
      QPoint(1 + 42, 8));
}

}  // namespace
}  // namespace tw
