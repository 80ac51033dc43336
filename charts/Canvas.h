// The small drawing surface the charts, the status table and the speed icons
// draw through. The widgets hand it a painter; the tests hand it a recorder,
// so every coordinate the charts compute can be checked without a display.
//
// Coordinates are logical pixels of the design layout. Rectangles are
// (left, top, right, bottom) with right and bottom outside the area filled.
#pragma once

#include <string>

#include "util/Colour.h"

namespace tw {

struct CanvasPoint {
  int x = 0, y = 0;
  friend bool operator==(CanvasPoint a, CanvasPoint b) { return a.x == b.x && a.y == b.y; }
};

struct CanvasRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const CanvasRect& a, const CanvasRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

enum class PenStyle { Solid, Dash, Dot, DashDot };

// A font by family name and pixel height (the design sizes are in pixels).
struct CanvasFont {
  std::string family = "MS Sans Serif";
  int pixelHeight = 11;
  bool bold = false;
  bool italic = false;
};

// Horizontal placement of TextInRect; vertical is top unless centred.
enum class TextAlign { Left, CentreSingleLine };

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Fills [left, right) x [top, bottom) with a colour, no outline.
  virtual void FillRect(const CanvasRect& rect, ColorValue color) = 0;
  // The pen of the following lines, polylines and polygon outlines.
  virtual void SetPen(ColorValue color, int width, PenStyle style) = 0;
  virtual void Line(CanvasPoint from, CanvasPoint to) = 0;
  virtual void Polyline(const CanvasPoint* points, int count) = 0;
  // A polygon filled with `fill` and outlined with the current pen.
  virtual void Polygon(const CanvasPoint* points, int count, ColorValue fill) = 0;

  virtual void SetFont(const CanvasFont& font) = 0;
  virtual void SetTextColor(ColorValue color) = 0;
  // Width and height of a text in the current font (pixels).
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;
  // A text with its top left at (x, y), transparent background.
  virtual void Text(int x, int y, const std::string& text) = 0;
  // A text inside a rectangle, cut at its edges, transparent background.
  virtual void TextInRect(const CanvasRect& rect, const std::string& text, TextAlign align) = 0;
};

}  // namespace tw
