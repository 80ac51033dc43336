// Rules shared by the live chart and the trend chart: the 1-2-5 scale steps,
// the scale strip and where a value window goes on the screen.
#pragma once

#include <string>

#include "charts/Canvas.h"

namespace tw {

constexpr double kScaleFloor = 1;  // Kbps
// 10 GB/s: a gigabit link fills a fifth of the 5,000,000 scale.
constexpr double kScaleCeiling = 10000000;  // Kbps
// Up to this full scale the labels keep their classic form "%6.1f".
constexpr double kClassicScaleCeiling = 100000;  // Kbps
constexpr double kDefaultScale = 2;              // Kbps

// One step up the 1-2-5 series: x2, and x1.25 more when that starts with 4;
// at most 10,000,000. Off-series values move by the same rule (3 gives 6).
double ScaleUp(double scale);
// One step down: x0.5, and x0.8 more when that starts with 2; within 1 and
// the ceiling (5 gives 2, 3 gives 2).
double ScaleDown(double scale);

// A pixel offset: `value` rounded half to even and kept within
// +-kFarPixels, far beyond any screen or printed page, so that a speed of any
// size from a damaged trend file gives a point off the chart, never an
// overflow.
constexpr int kFarPixels = 1 << 20;
int RoundToPixel(double value);

// A full-scale value fit for dividing by: positive and finite, else the
// default of a new window. Guards the charts against a damaged saved scale.
double UsableScale(double scale);

// The label of `value` on a strip of full scale `scale`: "%6.1f" up to the
// classic ceiling; above it, too wide for the 33-pixel strip, a compact form
// in thousands or millions ("400k", "2.5k", "1.2M").
std::string ScaleLabel(double value, double scale);

// Paints a scale strip: background, four labels (ScaleLabel) of scale x 0.2 x i
// centred on the horizontal grid lines of a chart of height `measure`, and
// "KBps" at the top, all right-aligned to the strip's right edge.
void PaintScaleStrip(Canvas& canvas, int stripWidth, int stripHeight, int measure, double scale,
                     ColorValue background, const CanvasFont& font);

// Screen facts for placing a value window.
struct ScreenMetrics {
  int screenWidth = 0, screenHeight = 0;
  int cursorWidth = 32, cursorHeight = 32;
};

// The rectangle of a value window for a text of the given size shown with
// the cursor at (cursorX, cursorY): below right of the cursor, kept on screen.
CanvasRect ValueWindowRect(int cursorX, int cursorY, int textWidth, int textHeight,
                           const ScreenMetrics& screen);

// The font of the scale strips and the trend time labels: "MS Serif", 9 pixels.
CanvasFont ChartLabelFont();

// A speed right-aligned in 9 characters with 2 decimals.

}  // namespace tw
