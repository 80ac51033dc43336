// The thirteen speedometer icons `NotIcon1` .. `NotIcon13`: a white dial with
// red, yellow and green bands and a needle that turns evenly from the lower
// left (index 0) through straight up (6) to the lower right (12).
#pragma once

#include "charts/Canvas.h"

namespace tw {

constexpr int kSpeedIconCount = 13;
constexpr int kSpeedIconSize = 32;  // pixels

// Needle direction of icon `index` in degrees, counter-clockwise from the
// positive x axis: 225 for index 0, 90 for 6, -45 for 12.
double NeedleAngleDegrees(int index);

// The needle's tip for a dial centred at (cx, cy) with the given length,
// in canvas coordinates (y grows downwards).
CanvasPoint NeedleTip(int index, int cx, int cy, int length);

// Draws icon `index` (0..12) into a `size` x `size` canvas (the window's
// icons are 32 pixels; the program's installed icons go up to 256).
void DrawSpeedIcon(Canvas& canvas, int index, int size = kSpeedIconSize);

}  // namespace tw
