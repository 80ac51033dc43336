// The program's own glyphs, icons and animation frames, painted here so that
// they share one style: small pixel pictures in a few plain colours. Every
// glyph has the transparent colour in its lower left pixel, as
// TBitmapButton expects; the animation strip has it in its top left pixel,
// as a transparent TMovie expects.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

namespace tw {

enum class GlyphId {
  Start,
  Stop,
  Close,
  Delete,
  Add,
  Edit,
  Settings,
  Help,
  Trend,
  StayOnTop,
  HorGrid,
  VertGrid,
  Shrink,
  Grow,
  ScaleUp,
  ScaleDown,
  DayBack,
  DayForward
};

// The colour that stands for transparent in every picture of this file.
QRgb GlyphKeyColour();

// One glyph image (a single state; disabled looks are embossed by the button).
QImage MakeGlyph(GlyphId id);

// The "Please wait" film: six frames of a packet travelling between two
// computers, side by side in one strip.
constexpr int kPleaseWaitFrames = 6;
QPixmap PleaseWaitFilm();

// The decorative picture at the left of the wizard's pages.
QPixmap WizardPicture(QSize size = QSize(120, 220));

}  // namespace tw
