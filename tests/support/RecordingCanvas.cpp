#include "support/RecordingCanvas.h"

namespace tw::test {

void RecordingCanvas::FillRect(const CanvasRect& rect, ColorValue color) {
  DrawOp op;
  op.kind = DrawOp::Fill;
  op.rect = rect;
  op.color = color;
  ops_.push_back(op);
}

void RecordingCanvas::SetPen(ColorValue color, int width, PenStyle style) {
  pen_ = color;
  penWidth_ = width;
  penStyle_ = style;
}

void RecordingCanvas::Line(CanvasPoint from, CanvasPoint to) {
  DrawOp op;
  op.kind = DrawOp::Line;
  op.points = {from, to};
  op.color = pen_;
  op.penWidth = penWidth_;
  op.penStyle = penStyle_;
  ops_.push_back(op);
}

void RecordingCanvas::Polyline(const CanvasPoint* points, int count) {
  DrawOp op;
  op.kind = DrawOp::Polyline;
  op.points.assign(points, points + count);
  op.color = pen_;
  op.penWidth = penWidth_;
  op.penStyle = penStyle_;
  ops_.push_back(op);
}

void RecordingCanvas::Polygon(const CanvasPoint* points, int count, ColorValue fill) {
  DrawOp op;
  op.kind = DrawOp::Polygon;
  op.points.assign(points, points + count);
  op.color = fill;
  op.penWidth = penWidth_;
  op.penStyle = penStyle_;
  ops_.push_back(op);
}

int RecordingCanvas::TextWidth(const std::string& text) {
  return charWidth_ * static_cast<int>(text.size());
}

void RecordingCanvas::Text(int x, int y, const std::string& text) {
  DrawOp op;
  op.kind = DrawOp::Text;
  op.points = {{x, y}};
  op.text = text;
  op.color = textColor_;
  op.font = font_;
  ops_.push_back(op);
}

void RecordingCanvas::TextInRect(const CanvasRect& rect, const std::string& text, TextAlign align) {
  DrawOp op;
  op.kind = DrawOp::TextInRect;
  op.rect = rect;
  op.text = text;
  op.align = align;
  op.color = textColor_;
  op.font = font_;
  ops_.push_back(op);
}

std::vector<DrawOp> RecordingCanvas::OpsOf(DrawOp::Kind kind) const {
  std::vector<DrawOp> result;
  for (const DrawOp& op : ops_) {
    if (op.kind == kind) result.push_back(op);
  }
  return result;
}

std::vector<DrawOp> RecordingCanvas::LinesIn(ColorValue color) const {
  std::vector<DrawOp> result;
  for (const DrawOp& op : ops_) {
    if (op.kind == DrawOp::Line && op.color == color) result.push_back(op);
  }
  return result;
}

}  // namespace tw::test
