#include "charts/ChartRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "util/Numbers.h"

namespace tw {

namespace {

// The leading digit of Round(value) written in decimal; -1 when negative.
int LeadingDigit(double value) {
  const std::string text = std::to_string(RoundHalfEven(value));
  return std::isdigit(static_cast<unsigned char>(text[0])) != 0 ? text[0] - '0' : -1;
}

// Thousands without a fraction when they are whole, else with one decimal.
std::string Thousands(double value) {
  const double k = value / 1000;
  return k == std::floor(k) ? FixedText(k, 0) + "k" : FixedText(k, 1) + "k";
}

}  // namespace

std::string ScaleLabel(double value, double scale) {
  if (scale <= kClassicScaleCeiling) return FixedText(value, 1, 6);
  if (value >= 1000000) return FixedText(value / 1000000, 1) + "M";
  return Thousands(value);
}

double ScaleUp(double scale) {
  double s = static_cast<double>(RoundHalfEven(scale * 2));
  if (LeadingDigit(s) == 4) s = static_cast<double>(RoundHalfEven(s * 1.25));
  if (s > kScaleCeiling) s = kScaleCeiling;
  return s;
}

double ScaleDown(double scale) {
  double s = static_cast<double>(RoundHalfEven(scale * 0.5));
  if (LeadingDigit(s) == 2) s = static_cast<double>(RoundHalfEven(s * 0.8));
  if (s < kScaleFloor) s = kScaleFloor;
  return std::min(s, kScaleCeiling);
}

int RoundToPixel(double value) {
  return static_cast<int>(std::clamp<int64_t>(RoundHalfEven(value), -kFarPixels, kFarPixels));
}

double UsableScale(double scale) {
  return std::isfinite(scale) && scale > 0 ? scale : kDefaultScale;
}

void PaintScaleStrip(Canvas& canvas, int stripWidth, int stripHeight, int measure, double scale,
                     ColorValue background, const CanvasFont& font) {
  canvas.FillRect({0, 0, stripWidth, stripHeight}, background);
  canvas.SetPen(clBlack, 1, PenStyle::Solid);
  canvas.SetFont(font);
  canvas.SetTextColor(clBlack);
  const double step = measure * 0.2;
  for (int i = 1; i <= 4; ++i) {
    const std::string label = ScaleLabel(scale * 0.2 * i, scale);
    const int top =
        measure - static_cast<int>(RoundHalfEven(step * i)) - canvas.TextHeight(label) / 2;
    canvas.Text(stripWidth - canvas.TextWidth(label), top, label);
  }
  const std::string unit = "KBps";
  canvas.Text(stripWidth - canvas.TextWidth(unit), 0, unit);
}

CanvasRect ValueWindowRect(int cursorX, int cursorY, int textWidth, int textHeight,
                           const ScreenMetrics& screen) {
  int left = cursorX + screen.cursorWidth / 3;
  int top = cursorY + screen.cursorHeight / 3;
  const int width = textWidth + 6;
  const int height = textHeight + 4;
  if (top + height > screen.screenHeight) top = screen.screenHeight - height;
  if (left + width >= screen.screenWidth) left = screen.screenWidth - width;
  if (left < 0) left = 0;
  return {left, top, left + width, top + height};
}

CanvasFont ChartLabelFont() {
  CanvasFont font;
  font.family = "MS Serif";
  font.pixelHeight = 9;
  return font;
}

}  // namespace tw
