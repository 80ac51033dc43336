// Colour values as the controls and charts paint them. The values from
// clScrollBar on stand for the desktop's current colours; here they are read
// from the application palette, so every control draws clBtnFace, clBtnShadow,
// clWindow and the rest alike and follows a palette change.
#pragma once

#include <QColor>
#include <QPalette>

#include "util/Colour.h"

namespace tw {

// The colour a value paints in: an RGB value as it is (lowest byte red), a
// desktop colour from `palette`, clNone as fully transparent. A desktop colour
// the palette has no role for paints black.
QColor ToQColor(ColorValue value, const QPalette& palette);

// The same with the application's current palette.
QColor ToQColor(ColorValue value);

}  // namespace tw
