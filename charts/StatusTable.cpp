#include "charts/StatusTable.h"

#include "engine/ResourceKinds.h"
#include "util/Colour.h"

namespace tw {

namespace {

constexpr int kG = StatusTableLayout::kGridLineWidth;
constexpr int kH = kG / 2;

void DrawHeaderCell(Canvas& canvas, const ResourceTable& table, int col, const CanvasRect& r,
                    const CanvasFont& font) {
  canvas.FillRect(r, SystemColorValue(SystemColor::BtnFace));
  const ColorValue light = SystemColorValue(SystemColor::Window);
  const ColorValue dark = SystemColorValue(SystemColor::BtnShadow);
  canvas.SetPen(light, kG, PenStyle::Solid);
  if (col == 0) {
    canvas.Line({r.right, r.top + kH}, {r.left + kH, r.top + kH});
    canvas.SetPen(dark, kG, PenStyle::Solid);
    canvas.Line({r.right - kH, r.bottom - kH}, {r.left, r.bottom - kH});
    return;
  }
  if (col == 1) {
    canvas.Line({r.right - kH, r.top + kH}, {r.left + kH, r.top + kH});
  } else {
    const CanvasPoint light3[] = {
        {r.right - kH, r.top + kH}, {r.left + kH, r.top + kH}, {r.left + kH, r.bottom - kH}};
    canvas.Polyline(light3, 3);
  }
  canvas.SetPen(dark, kG, PenStyle::Solid);
  const CanvasPoint dark3[] = {
      {r.right - kH, r.top}, {r.right - kH, r.bottom - kH}, {r.left, r.bottom - kH}};
  canvas.Polyline(dark3, 3);

  // White text with a black shadow one pixel below and to the right.
  const std::string& text = table.Cell(col, 0);
  canvas.SetFont(font);
  CanvasRect t{r.left + 2 * kG, r.top + 2, r.right - 2 * kG, r.bottom - (2 * kG - 1)};
  canvas.SetTextColor(clBlack);
  canvas.TextInRect(t, text, TextAlign::Left);
  t.top -= 1;
  t.left -= 1;
  canvas.SetTextColor(clWhite);
  canvas.TextInRect(t, text, TextAlign::Left);
}

}  // namespace

ColorValue CellColor(const ResourceTable& table, int col, int row) {
  const ColorValue fallback = col == Col::WriteColor ? kNewRowWriteColor : kNewRowReadColor;
  return StringToColor(table.Cell(col, row)).value_or(fallback);
}

bool DrawStatusCell(Canvas& canvas, const ResourceTable& table, int col, int row,
                    const CanvasRect& r, int selectedRow, const CanvasFont& font) {
  if (row == 0) {
    DrawHeaderCell(canvas, table, col, r, font);
    return false;
  }
  canvas.FillRect(r, clBlack);
  if (col == 0) {
    if (row != selectedRow) return false;
    canvas.SetPen(clLime, 1, PenStyle::Solid);
    const CanvasRect m{r.left + 2 * kG, r.top + 2 * kG, r.right - 2 * kG, r.bottom - 2 * kG};
    const CanvasPoint triangle[] = {
        {m.left, m.top}, {m.left + 5, m.top + (m.bottom - m.top) / 2}, {m.left, m.bottom}};
    canvas.Polygon(triangle, 3, clLime);
    return true;
  }
  ColorValue color = clLime;
  if (col == Col::WriteSpeed) color = CellColor(table, Col::WriteColor, row);
  if (col == Col::ReadSpeed || col == Col::PingSpeed) color = CellColor(table, Col::ReadColor, row);
  canvas.SetFont(font);
  canvas.SetTextColor(color);
  canvas.TextInRect({r.left + kG, r.top + kG, r.right - kG, r.bottom - kG}, table.Cell(col, row),
                    TextAlign::Left);
  return false;
}

std::string TaskbarTitle(const ResourceTable& table, int selectedRow) {
  if (table.RowCount() < 2) return "Tarnwick";
  return "\"" + table.Cell(Col::Resource, selectedRow) + "\" " +
         Describe(table.Kind(selectedRow)).mainLabel;
}

}  // namespace tw
