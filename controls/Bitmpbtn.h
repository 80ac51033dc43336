// TBitmapButton: the push button of the main window and most dialogs. A face
// with 3-D edges of a chosen width, a caption with a drop shadow and up to
// four glyphs (up, disabled, down, exclusive). Buttons with the same non-zero
// GroupIndex on one parent stick down like radio buttons.
#pragma once

#include <QAbstractButton>
#include <QImage>

#include "util/Colour.h"

namespace tw {

enum class ButtonLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

// Where glyph and caption go inside the content rectangle, placed as on the
// platform's speed buttons: along the layout's axis glyph, spacing and
// caption follow each other from `margin` (-1 = the block centred, with
// `spacing` -1 = margins and spacing equal); across it both are centred.
struct ButtonContent {
  QPoint glyphTopLeft;
  QRect captionRect;
};
ButtonContent PlaceGlyphAndCaption(const QRect& content, QSize glyph, QSize caption,
                                   ButtonLayout layout, int margin, int spacing);

class TBitmapButton final : public QAbstractButton {
  Q_OBJECT

 public:
  // The drawn states, in the order of the images in a glyph.
  enum class State { Up = 0, Disabled = 1, Down = 2, Exclusive = 3 };

  explicit TBitmapButton(QWidget* parent = nullptr);
  TBitmapButton(const QString& caption, QWidget* parent);

  // The look the program's windows give their buttons: clBtnFace face,
  // clBtnHighlight/clBtnShadow edges, clBtnHighlight caption with a clBtnText
  // shadow 1 pixel off; `shadowWidth` 2 on the main window, 4 in dialogs.
  void ApplyWindowLook(int shadowWidth);

  ColorValue ButtonColor() const { return buttonColor_; }
  void SetButtonColor(ColorValue value);
  ColorValue ShadowLight() const { return shadowLight_; }
  void SetShadowLight(ColorValue value);
  ColorValue ShadowDark() const { return shadowDark_; }
  void SetShadowDark(ColorValue value);
  // Width of the 3-D edges in pixels; 0 draws none.
  int ShadowWidth() const { return shadowWidth_; }
  void SetShadowWidth(int pixels);
  ColorValue TextColor() const { return textColor_; }
  void SetTextColor(ColorValue value);
  ColorValue TextShadowColor() const { return textShadowColor_; }
  void SetTextShadowColor(ColorValue value);
  // Offset of the caption's shadow in pixels, right and down; 0 draws none.
  int TextShadowShift() const { return textShadowShift_; }
  void SetTextShadowShift(int pixels);

  // 1 to 4 equal images side by side. When the width is a whole multiple of
  // the height (at most 4), NumGlyphs becomes that multiple, else 1. The
  // colour of the lower left pixel is drawn as transparent.
  const QImage& Glyph() const { return glyph_; }
  void SetGlyph(const QImage& glyph);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int count);

  // 0 = no group. A group is the buttons of one parent with the same index.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int index);
  // Lets the one down button of a group be raised by a click on itself.
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool allow);
  // Sticky down state; only buttons of a group can be down. Setting it
  // raises the other buttons of the group and emits toggled(), not clicked().
  bool Down() const { return isChecked(); }
  void SetDown(bool down);

  ButtonLayout Layout() const { return layout_; }
  void SetLayout(ButtonLayout layout);
  // Pixels from the edge to the glyph; -1 centres glyph and caption.
  int Margin() const { return margin_; }
  void SetMargin(int pixels);
  // Pixels between glyph and caption; -1 spreads them evenly.
  int Spacing() const { return spacing_; }
  void SetSpacing(int pixels);

  // The state the button is drawn in now.
  State DrawState() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  // A double click on a button that is down.
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void nextCheckState() override;
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void RaiseGroupSiblings();
  void UpdateCheckable();
  // The glyph image for a state, transparent where the key colour was.
  QImage StateImage(State state) const;
  QSize GlyphSize() const;
  QString PlainCaption() const;
  void Set(ColorValue& field, ColorValue value);

  ColorValue buttonColor_ = SystemColorValue(SystemColor::BtnFace);
  ColorValue shadowLight_ = SystemColorValue(SystemColor::Window);
  ColorValue shadowDark_ = SystemColorValue(SystemColor::BtnShadow);
  int shadowWidth_ = 2;
  ColorValue textColor_ = SystemColorValue(SystemColor::Window);
  ColorValue textShadowColor_ = SystemColorValue(SystemColor::BtnText);
  int textShadowShift_ = 1;
  QImage glyph_;
  int numGlyphs_ = 1;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  ButtonLayout layout_ = ButtonLayout::GlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

}  // namespace tw
