// The thirteen speed icons `NotIcon1` .. `NotIcon13` as Qt icons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace tw {

// Icon `index` (0..12) drawn at the given device-pixel ratio.
QPixmap SpeedIconPixmap(int index, qreal ratio = 1.0);
// All thirteen, index 0 to 12, each with 1x and 2x pictures.
std::vector<QIcon> MakeSpeedIcons();

}  // namespace tw
