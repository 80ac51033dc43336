// A Canvas that remembers what was drawn, for checking chart coordinates
// without a display. Text is measured as 6 pixels per character (or the
// width set) and 10 pixels high, so label positions are predictable.
#pragma once

#include <string>
#include <vector>

#include "charts/Canvas.h"

namespace tw::test {

struct DrawOp {
  enum Kind { Fill, Line, Polyline, Polygon, Text, TextInRect } kind = Fill;
  CanvasRect rect{};                // Fill, TextInRect
  std::vector<CanvasPoint> points;  // Line (2), Polyline, Polygon; Text (1: top left)
  ColorValue color = 0;             // fill colour, pen colour or text colour
  int penWidth = 0;
  PenStyle penStyle = PenStyle::Solid;
  std::string text;
  TextAlign align = TextAlign::Left;
  CanvasFont font;
};

class RecordingCanvas final : public Canvas {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kTextHeight = 10;

  void FillRect(const CanvasRect& rect, ColorValue color) override;
  void SetPen(ColorValue color, int width, PenStyle style) override;
  void Line(CanvasPoint from, CanvasPoint to) override;
  void Polyline(const CanvasPoint* points, int count) override;
  void Polygon(const CanvasPoint* points, int count, ColorValue fill) override;
  void SetFont(const CanvasFont& font) override { font_ = font; }
  void SetTextColor(ColorValue color) override { textColor_ = color; }
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override { return kTextHeight; }
  void Text(int x, int y, const std::string& text) override;
  void TextInRect(const CanvasRect& rect, const std::string& text, TextAlign align) override;

  // Pixels per character from now on (printer pages measure wider).
  void SetCharWidth(int pixels) { charWidth_ = pixels; }

  const std::vector<DrawOp>& Ops() const { return ops_; }
  // The operations of one kind, in drawing order.
  std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const;
  // Lines drawn in a colour.
  std::vector<DrawOp> LinesIn(ColorValue color) const;
  void Clear() { ops_.clear(); }

 private:
  std::vector<DrawOp> ops_;
  ColorValue pen_ = 0;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  ColorValue textColor_ = 0;
  CanvasFont font_;
  int charWidth_ = kCharWidth;
};

}  // namespace tw::test
