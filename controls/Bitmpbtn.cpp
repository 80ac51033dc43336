#include "controls/Bitmpbtn.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "controls/AccessibleControls.h"
#include "controls/SystemColors.h"
#include "controls/Transparency.h"

namespace tw {

namespace {

// Along-axis and across-axis parts of a size, so that the placement below is
// written once for horizontal and vertical layouts.
bool Horizontal(ButtonLayout layout) {
  return layout == ButtonLayout::GlyphLeft || layout == ButtonLayout::GlyphRight;
}
int Along(QSize s, bool horizontal) {
  return horizontal ? s.width() : s.height();
}
int Across(QSize s, bool horizontal) {
  return horizontal ? s.height() : s.width();
}

// Pixels of the image that carry ink in a disabled glyph: opaque and not
// light (light pixels read as the paper of a monochrome picture).
QImage InkMask(const QImage& image) {
  QImage mask(image.size(), QImage::Format_ARGB32);
  mask.fill(Qt::transparent);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb px = image.pixel(x, y);
      if (qAlpha(px) >= 128 && qGray(px) < 0xC0) mask.setPixel(x, y, 0xFF000000u);
    }
  }
  return mask;
}

QImage Tinted(const QImage& mask, const QColor& colour) {
  QImage out = mask;
  QPainter p(&out);
  p.setCompositionMode(QPainter::CompositionMode_SourceIn);
  p.fillRect(out.rect(), colour);
  return out;
}

}  // namespace

ButtonContent PlaceGlyphAndCaption(const QRect& content, QSize glyph, QSize caption,
                                   ButtonLayout layout, int margin, int spacing) {
  const bool h = Horizontal(layout);
  const QSize client = content.size();
  if (glyph.isEmpty()) glyph = QSize(0, 0);
  if (caption.isEmpty()) caption = QSize(0, 0);
  // Spacing means nothing without both a glyph and a caption.
  if (Along(caption, h) == 0 || Along(glyph, h) == 0) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (Along(client, h) - Along(glyph, h) - Along(caption, h)) / 3;
      spacing = margin;
    } else {
      margin = (Along(client, h) - (Along(glyph, h) + spacing + Along(caption, h)) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (Along(client, h) - (margin + Along(glyph, h)) - Along(caption, h)) / 2;
  }
  int glyphAlong = 0;
  int captionAlong = 0;
  if (layout == ButtonLayout::GlyphLeft || layout == ButtonLayout::GlyphTop) {
    glyphAlong = margin;
    captionAlong = glyphAlong + Along(glyph, h) + spacing;
  } else {
    glyphAlong = Along(client, h) - margin - Along(glyph, h);
    captionAlong = glyphAlong - spacing - Along(caption, h);
  }
  const int glyphAcross = (Across(client, h) - Across(glyph, h) + 1) / 2;
  const int captionAcross = (Across(client, h) - Across(caption, h) + 1) / 2;
  const QPoint origin = content.topLeft();
  ButtonContent placed;
  if (h) {
    placed.glyphTopLeft = origin + QPoint(glyphAlong, glyphAcross);
    placed.captionRect = QRect(origin + QPoint(captionAlong, captionAcross), caption);
  } else {
    placed.glyphTopLeft = origin + QPoint(glyphAcross, glyphAlong);
    placed.captionRect = QRect(origin + QPoint(captionAcross, captionAlong), caption);
  }
  return placed;
}

TBitmapButton::TBitmapButton(QWidget* parent) : QAbstractButton(parent) {
  InstallButtonAccessibility();
  // A graphic button: it never takes the keyboard focus, so the window's own
  // Enter and Esc handling stays in charge.
  setFocusPolicy(Qt::NoFocus);
  resize(25, 25);
  connect(this, &QAbstractButton::toggled, this, [this](bool down) {
    if (down) RaiseGroupSiblings();
  });
}

TBitmapButton::TBitmapButton(const QString& caption, QWidget* parent) : TBitmapButton(parent) {
  setText(caption);
}

void TBitmapButton::ApplyWindowLook(int shadowWidth) {
  buttonColor_ = SystemColorValue(SystemColor::BtnFace);
  shadowLight_ = SystemColorValue(SystemColor::BtnHighlight);
  shadowDark_ = SystemColorValue(SystemColor::BtnShadow);
  textColor_ = SystemColorValue(SystemColor::BtnHighlight);
  textShadowColor_ = SystemColorValue(SystemColor::BtnText);
  textShadowShift_ = 1;
  SetShadowWidth(shadowWidth);
  update();
}

void TBitmapButton::Set(ColorValue& field, ColorValue value) {
  if (field == value) return;
  field = value;
  update();
}

void TBitmapButton::SetButtonColor(ColorValue value) {
  Set(buttonColor_, value);
}
void TBitmapButton::SetShadowLight(ColorValue value) {
  Set(shadowLight_, value);
}
void TBitmapButton::SetShadowDark(ColorValue value) {
  Set(shadowDark_, value);
}
void TBitmapButton::SetTextColor(ColorValue value) {
  Set(textColor_, value);
}
void TBitmapButton::SetTextShadowColor(ColorValue value) {
  Set(textShadowColor_, value);
}

void TBitmapButton::SetShadowWidth(int pixels) {
  shadowWidth_ = std::max(0, pixels);
  updateGeometry();
  update();
}

void TBitmapButton::SetTextShadowShift(int pixels) {
  textShadowShift_ = pixels;
  update();
}

void TBitmapButton::SetGlyph(const QImage& glyph) {
  glyph_ = glyph.convertToFormat(QImage::Format_ARGB32);
  if (!glyph_.isNull() && glyph_.height() > 0 && glyph_.width() % glyph_.height() == 0) {
    const int count = glyph_.width() / glyph_.height();
    numGlyphs_ = count >= 1 && count <= 4 ? count : 1;
  }
  updateGeometry();
  update();
}

void TBitmapButton::SetNumGlyphs(int count) {
  numGlyphs_ = std::clamp(count, 1, 4);
  updateGeometry();
  update();
}

void TBitmapButton::UpdateCheckable() {
  setCheckable(groupIndex_ != 0);
}

void TBitmapButton::SetGroupIndex(int index) {
  if (index == 0 && isChecked()) setChecked(false);
  groupIndex_ = index;
  UpdateCheckable();
  if (isChecked()) RaiseGroupSiblings();
  update();
}

void TBitmapButton::SetAllowAllUp(bool allow) {
  allowAllUp_ = allow;
  // The whole group shares the setting, as the buttons of a group behave as one.
  if (groupIndex_ == 0 || parentWidget() == nullptr) return;
  for (auto* other : parentWidget()->findChildren<TBitmapButton*>(Qt::FindDirectChildrenOnly)) {
    if (other != this && other->groupIndex_ == groupIndex_) other->allowAllUp_ = allow;
  }
}

void TBitmapButton::SetDown(bool down) {
  if (groupIndex_ == 0) return;
  setChecked(down);
}

void TBitmapButton::SetLayout(ButtonLayout layout) {
  layout_ = layout;
  updateGeometry();
  update();
}

void TBitmapButton::SetMargin(int pixels) {
  margin_ = pixels;
  update();
}

void TBitmapButton::SetSpacing(int pixels) {
  spacing_ = pixels;
  updateGeometry();
  update();
}

void TBitmapButton::RaiseGroupSiblings() {
  if (groupIndex_ == 0 || parentWidget() == nullptr) return;
  for (auto* other : parentWidget()->findChildren<TBitmapButton*>(Qt::FindDirectChildrenOnly)) {
    if (other != this && other->groupIndex_ == groupIndex_ && other->isChecked()) {
      other->setChecked(false);
    }
  }
}

void TBitmapButton::nextCheckState() {
  // The one down button of a group without AllowAllUp stays down when it is
  // clicked again; the click itself still happens.
  if (isChecked() && !allowAllUp_) return;
  setChecked(!isChecked());
}

void TBitmapButton::mouseDoubleClickEvent(QMouseEvent* event) {
  QAbstractButton::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton && isChecked()) emit doubleClicked();
}

void TBitmapButton::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateGeometry();
}

TBitmapButton::State TBitmapButton::DrawState() const {
  if (!isEnabled()) return State::Disabled;
  if (isChecked()) return State::Exclusive;
  if (isDown()) return State::Down;
  return State::Up;
}

QSize TBitmapButton::GlyphSize() const {
  if (glyph_.isNull()) return QSize(0, 0);
  return QSize(glyph_.width() / numGlyphs_, glyph_.height());
}

QString TBitmapButton::PlainCaption() const {
  QString plain = text();
  plain.replace(QLatin1String("&&"), QLatin1String("\x01"));
  plain.remove(QLatin1Char('&'));
  plain.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return plain;
}

QImage TBitmapButton::StateImage(State state) const {
  if (glyph_.isNull()) return QImage();
  const QSize size = GlyphSize();
  int index = static_cast<int>(state);
  const bool embossed = state == State::Disabled && numGlyphs_ < 2;
  if (index >= numGlyphs_) index = 0;
  // The lower left pixel of the bitmap names the transparent colour.
  const QImage image =
      CutOutColour(glyph_.copy(index * size.width(), 0, size.width(), size.height()),
                   glyph_.pixel(0, glyph_.height() - 1));
  if (!embossed) return image;
  // A disabled picture made from the up image: its ink once in ShadowLight,
  // one pixel right and down, and over it in ShadowDark.
  const QImage mask = InkMask(image);
  QImage out(image.size() + QSize(1, 1), QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.drawImage(1, 1, Tinted(mask, ToQColor(shadowLight_, palette())));
  p.drawImage(0, 0, Tinted(mask, ToQColor(shadowDark_, palette())));
  return out;
}

QSize TBitmapButton::sizeHint() const {
  const QSize glyph = GlyphSize();
  const QString caption = PlainCaption();
  const QFontMetrics fm(font());
  const QSize text =
      caption.isEmpty() ? QSize(0, 0) : QSize(fm.horizontalAdvance(caption), fm.height());
  const bool h = Horizontal(layout_);
  const int gap = glyph.isEmpty() || text.isEmpty() ? 0 : std::max(spacing_, 0);
  const int along = Along(glyph, h) + gap + Along(text, h);
  const int across = std::max(Across(glyph, h), Across(text, h));
  const int frame = 2 * (shadowWidth_ + 1) + std::abs(textShadowShift_) + 8;
  QSize size = h ? QSize(along + frame, across + frame - 4) : QSize(across + frame, along + frame);
  return size.expandedTo(QSize(25, 25));
}

void TBitmapButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const State state = DrawState();
  const bool sunk = state == State::Down || state == State::Exclusive;
  const QRect r = rect();
  const int w = r.width();
  const int h = r.height();

  p.fillRect(r, ToQColor(buttonColor_, pal));
  if (shadowWidth_ > 0) {
    const int s = std::min(shadowWidth_, std::min(w, h) / 2);
    const QColor topLeft = ToQColor(sunk ? shadowDark_ : shadowLight_, pal);
    const QColor bottomRight = ToQColor(sunk ? shadowLight_ : shadowDark_, pal);
    p.setPen(Qt::NoPen);
    p.setBrush(bottomRight);
    p.drawPolygon(QPolygon({{w, 0}, {w, h}, {0, h}, {s, h - s}, {w - s, h - s}, {w - s, s}}));
    p.setBrush(topLeft);
    p.drawPolygon(QPolygon({{0, 0}, {w, 0}, {w - s, s}, {s, s}, {s, h - s}, {0, h}}));
  }

  QRect content = r.adjusted(1, 1, -1, -1);
  if (sunk) content.translate(1, 1);
  const QImage image = StateImage(state);
  const QString caption = PlainCaption();
  const QFontMetrics fm(font());
  const QSize captionSize =
      caption.isEmpty() ? QSize(0, 0) : QSize(fm.horizontalAdvance(caption), fm.height());
  const ButtonContent placed =
      PlaceGlyphAndCaption(content, GlyphSize(), captionSize, layout_, margin_, spacing_);
  if (!image.isNull()) p.drawImage(placed.glyphTopLeft, image);
  if (text().isEmpty()) return;

  p.setFont(font());
  const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  const QRect at = placed.captionRect;
  const QRect shifted = at.translated(textShadowShift_, textShadowShift_);
  if (state == State::Disabled) {
    p.setPen(ToQColor(shadowLight_, pal));
    p.drawText(shifted, flags, text());
    p.setPen(ToQColor(shadowDark_, pal));
    p.drawText(at, flags, text());
    return;
  }
  if (textShadowShift_ != 0) {
    p.setPen(ToQColor(textShadowColor_, pal));
    p.drawText(shifted, flags, text());
  }
  p.setPen(ToQColor(textColor_, pal));
  p.drawText(at, flags, text());
}

}  // namespace tw
