// Design positions of the main window's chart controls and the window sizes
// of the compact view and of the hidden trend screen.
#pragma once

#include "charts/Canvas.h"

namespace tw {

// Control rectangles at the design size (logical pixels, window client area).
namespace Layout {
constexpr CanvasRect Display{4, 4, 4 + 307, 4 + 91};
constexpr CanvasRect DisplayResourceTable{34, 98, 34 + 369, 98 + 113};
constexpr CanvasRect ButtonsPanel{0, 214, 408, 214 + 36};
constexpr CanvasRect TrendDisplay{4, 254, 4 + 305, 254 + 98};
constexpr CanvasRect ShrinkAndGrow{316, 76, 316 + 30, 76 + 20};
constexpr CanvasRect ScaleUP{316, 16, 316 + 16, 16 + 12};
constexpr CanvasRect ScaleDown{316, 28, 316 + 16, 28 + 12};
constexpr CanvasRect HGrdBtn{316, 42, 316 + 16, 42 + 16};
constexpr CanvasRect VGrdBtn{316, 58, 316 + 16, 58 + 16};
constexpr CanvasRect TrendScaleUp{314, 256, 314 + 16, 256 + 12};
constexpr CanvasRect TrendScaleDown{314, 268, 314 + 16, 268 + 12};
constexpr CanvasRect HTrendGrdBtn{314, 280, 314 + 16, 280 + 16};
constexpr CanvasRect VTrendGrdBtn{314, 298, 314 + 16, 298 + 16};
constexpr CanvasRect TrendPrevDate{4, 354, 4 + 20, 354 + 19};
constexpr CanvasRect TrendNextDate{288, 354, 288 + 20, 354 + 19};
constexpr CanvasRect TrendDatePanel{56, 354, 56 + 203, 354 + 19};
constexpr CanvasRect PrintTrend{314, 323, 314 + 87, 323 + 24};
constexpr CanvasRect CopyTrendBtn{314, 350, 314 + 87, 350 + 24};
constexpr int kBevel = 2;          // lowered bevel of the chart panels
constexpr int kClientWidth = 408;  // full window client size
constexpr int kClientHeight = 378;
}  // namespace Layout

// The system's window-frame measures (pixels); zero when sizes are given as
// client sizes.
struct FrameMetrics {
  int dialogFrameWidth = 0, dialogFrameHeight = 0;
  int sizingFrameHeight = 0;
  int captionHeight = 0;
};

struct WindowSize {
  int width = 0, height = 0;
  friend bool operator==(WindowSize a, WindowSize b) {
    return a.width == b.width && a.height == b.height;
  }
};

// The compact view: just the live chart and the buttons down to `ShrinkAndGrow`.
WindowSize CompactWindowSize(const FrameMetrics& frame, const CanvasRect& shrinkAndGrow);

// The window height with the trend screen hidden: it ends below the button bar.
int TrendHiddenHeight(const FrameMetrics& frame, const CanvasRect& buttonsPanel);

}  // namespace tw
