// Status table cells, the taskbar title, the window sizes of the compact
// view and the speed icons' needle.
#include <gtest/gtest.h>

#include <cmath>

#include "charts/SpeedIcon.h"
#include "charts/StatusTable.h"
#include "charts/WindowLayout.h"
#include "support/RecordingCanvas.h"

namespace tw {
namespace {

using test::DrawOp;
using test::RecordingCanvas;

ResourceTable ThreeResources() {
  ResourceTable table;
  table.SetRowCount(4);
  const char* rows[][4] = {{"\\\\srv\\share", "1", "clYellow", "clRed"},
                           {"/cd/file.iso", "2", "clBlack", "$0000FF00"},
                           {"10.1.2.3", "3", "clBlack", "nonsense"}};
  for (int r = 1; r <= 3; ++r) {
    table.SetCell(Col::Resource, r, rows[r - 1][0]);
    table.SetCell(Col::Kind, r, rows[r - 1][1]);
    table.SetCell(Col::WriteColor, r, rows[r - 1][2]);
    table.SetCell(Col::ReadColor, r, rows[r - 1][3]);
    for (int c = Col::WriteSpeed; c <= Col::PingSpeed; ++c)
      table.SetCell(c, r, "t" + std::to_string(c));
  }
  return table;
}

TEST(TaskbarTitle, NamesTheSelectedResourceAndItsSpeed) {
  EXPECT_EQ(TaskbarTitle(ResourceTable(), 1), "Tarnwick");
  const ResourceTable table = ThreeResources();
  EXPECT_EQ(TaskbarTitle(table, 1), "\"\\\\srv\\share\"  Read speed");
  EXPECT_EQ(TaskbarTitle(table, 2), "\"/cd/file.iso\"  Read speed");
  EXPECT_EQ(TaskbarTitle(table, 3), "\"10.1.2.3\"  Ping speed");
}

TEST(StatusCells, DataCellsInTheirColours) {
  const ResourceTable table = ThreeResources();
  const CanvasRect r{12, 24, 113, 46};
  struct Case {
    int col, row;
    ColorValue color;
  } cases[] = {
      {1, 1, clLime}, {2, 1, clYellow},         {3, 1, clRed},   {4, 1, clRed},
      {3, 2, clLime}, {4, 3, kNewRowReadColor}, {2, 3, clBlack},
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas;
    EXPECT_FALSE(DrawStatusCell(canvas, table, c.col, c.row, r, 1, CanvasFont{}));
    ASSERT_EQ(canvas.Ops().size(), 2u);
    EXPECT_EQ(canvas.Ops()[0].rect, r);
    EXPECT_EQ(canvas.Ops()[0].color, clBlack);
    const DrawOp& text = canvas.Ops()[1];
    EXPECT_EQ(text.color, c.color) << c.col << "," << c.row;
    EXPECT_EQ(text.text, table.Cell(c.col, c.row));
    EXPECT_EQ(text.rect, (CanvasRect{14, 26, 111, 44}));
    EXPECT_EQ(text.align, TextAlign::Left);
  }
}

// An unknown colour text must not draw black on the black table: it takes
// the colour a new resource gets. A colour the user chose, black included,
// stays.
TEST(StatusCells, UnknownColourTextsTakeTheNewRowColours) {
  ResourceTable table;
  table.SetRowCount(2);
  const struct {
    const char* text;
    ColorValue write, read;
  } cases[] = {
      {"clBogus", kNewRowWriteColor, kNewRowReadColor},
      {"", kNewRowWriteColor, kNewRowReadColor},
      {"$GG000000", kNewRowWriteColor, kNewRowReadColor},
      {"clBlack", clBlack, clBlack},
      {"clRed", clRed, clRed},
  };
  for (const auto& c : cases) {
    table.SetCell(Col::WriteColor, 1, c.text);
    table.SetCell(Col::ReadColor, 1, c.text);
    EXPECT_EQ(CellColor(table, Col::WriteColor, 1), c.write) << c.text;
    EXPECT_EQ(CellColor(table, Col::ReadColor, 1), c.read) << c.text;
  }
  EXPECT_NE(kNewRowWriteColor, clBlack);
  EXPECT_NE(kNewRowReadColor, clBlack);
}

TEST(StatusCells, MarkerOnlyOnTheSelectedRow) {
  const ResourceTable table = ThreeResources();
  const CanvasRect r{0, 24, 10, 46};
  RecordingCanvas canvas;
  EXPECT_TRUE(DrawStatusCell(canvas, table, 0, 2, r, 2, CanvasFont{}));
  const auto polygons = canvas.OpsOf(DrawOp::Polygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].color, clLime);
  EXPECT_EQ(polygons[0].points, (std::vector<CanvasPoint>{{4, 28}, {9, 28 + 7}, {4, 42}}));
  canvas.Clear();
  EXPECT_FALSE(DrawStatusCell(canvas, table, 0, 1, r, 2, CanvasFont{}));
  EXPECT_TRUE(canvas.OpsOf(DrawOp::Polygon).empty());
}

TEST(StatusCells, HeaderCellsAreRaisedButtonsWithShadowedText) {
  const ResourceTable table = ThreeResources();
  const ColorValue light = SystemColorValue(SystemColor::Window);
  const ColorValue dark = SystemColorValue(SystemColor::BtnShadow);
  const CanvasRect r{24, 0, 100, 22};
  RecordingCanvas canvas;
  DrawStatusCell(canvas, table, 2, 0, r, 1, CanvasFont{});
  EXPECT_EQ(canvas.Ops()[0].color, SystemColorValue(SystemColor::BtnFace));
  const auto lines = canvas.OpsOf(DrawOp::Polyline);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].color, light);
  EXPECT_EQ(lines[0].penWidth, 2);
  EXPECT_EQ(lines[0].points, (std::vector<CanvasPoint>{{99, 1}, {25, 1}, {25, 21}}));
  EXPECT_EQ(lines[1].color, dark);
  EXPECT_EQ(lines[1].points, (std::vector<CanvasPoint>{{99, 0}, {99, 21}, {24, 21}}));
  const auto texts = canvas.OpsOf(DrawOp::TextInRect);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Write speed");
  EXPECT_EQ(texts[0].color, clBlack);
  EXPECT_EQ(texts[0].rect, (CanvasRect{28, 2, 96, 19}));
  EXPECT_EQ(texts[1].color, clWhite);
  EXPECT_EQ(texts[1].rect, (CanvasRect{27, 1, 96, 19}));

  // Column 0 is the left end of the first button: edges only, no text.
  canvas.Clear();
  DrawStatusCell(canvas, table, 0, 0, {0, 0, 10, 22}, 1, CanvasFont{});
  const auto edges = canvas.OpsOf(DrawOp::Line);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_EQ(edges[0].points, (std::vector<CanvasPoint>{{10, 1}, {1, 1}}));
  EXPECT_EQ(edges[1].points, (std::vector<CanvasPoint>{{9, 21}, {0, 21}}));
  EXPECT_TRUE(canvas.OpsOf(DrawOp::TextInRect).empty());
}

TEST(WindowSizes, CompactViewAndHiddenTrend) {
  const FrameMetrics frame{3, 3, 4, 18};
  EXPECT_EQ(CompactWindowSize(frame, Layout::ShrinkAndGrow), (WindowSize{348 + 6, 98 + 6 + 18}));
  EXPECT_EQ(CompactWindowSize(FrameMetrics{}, Layout::ShrinkAndGrow), (WindowSize{348, 98}));
  EXPECT_EQ(TrendHiddenHeight(frame, Layout::ButtonsPanel), 4 + 250 + 18);
}

TEST(SpeedIcons, NeedleTurnsEvenlyFromLowerLeftToLowerRight) {
  for (int i = 0; i < kSpeedIconCount; ++i) {
    EXPECT_DOUBLE_EQ(NeedleAngleDegrees(i), 225 - 22.5 * i);
  }
  EXPECT_EQ(NeedleTip(0, 16, 16, 10), (CanvasPoint{9, 23}));
  EXPECT_EQ(NeedleTip(6, 16, 16, 10), (CanvasPoint{16, 6}));
  EXPECT_EQ(NeedleTip(12, 16, 16, 10), (CanvasPoint{23, 23}));
  // Every icon is a white dial and a black needle within 32 x 32.
  for (int i = 0; i < kSpeedIconCount; ++i) {
    RecordingCanvas canvas;
    DrawSpeedIcon(canvas, i);
    EXPECT_EQ(canvas.OpsOf(DrawOp::Polygon).front().color, clWhite);
    for (const DrawOp& op : canvas.Ops()) {
      for (const CanvasPoint& p : op.points) {
        EXPECT_TRUE(p.x >= 0 && p.x < 32 && p.y >= 0 && p.y < 32) << i;
      }
    }
  }
}

// The program's installed icons are the same dial drawn large: the design is
// scaled before rounding, so the dial stays round and its lines in proportion
// instead of showing the 32-pixel steps eight times over.
TEST(SpeedIcons, LargeIconsAreTheDesignScaledNotMagnified) {
  RecordingCanvas small, large;
  DrawSpeedIcon(small, 8);
  DrawSpeedIcon(large, 8, 256);
  ASSERT_EQ(small.Ops().size(), large.Ops().size());
  const std::vector<DrawOp> polygons = large.OpsOf(DrawOp::Polygon);
  ASSERT_FALSE(polygons.empty());
  // The dial (radius 15 of 32) and the hub (radius 2.5): every corner lies
  // on the circle to within a pixel.
  const struct {
    const DrawOp& disc;
    double radius;
  } discs[] = {{polygons.front(), 120.0}, {polygons.back(), 20.0}};
  for (const auto& d : discs) {
    for (const CanvasPoint& p : d.disc.points) {
      EXPECT_NEAR(std::hypot(p.x - 128, p.y - 128), d.radius, 1.0) << p.x << "," << p.y;
    }
  }
  EXPECT_EQ(polygons.front().penWidth, 8);
  const std::vector<DrawOp> needle = large.OpsOf(DrawOp::Line);
  ASSERT_EQ(needle.size(), 1u);
  EXPECT_EQ(needle[0].penWidth, 16);
  EXPECT_EQ(needle[0].points.back(), (CanvasPoint{202, 54}));  // 13 * 8 at 45 degrees
  for (const DrawOp& op : large.Ops()) {
    for (const CanvasPoint& p : op.points)
      EXPECT_TRUE(p.x >= 0 && p.x < 256 && p.y >= 0 && p.y < 256);
  }
}

}  // namespace
}  // namespace tw
