// The Windows font families the program names ("MS Sans Serif", the
// parameters file's default; "MS Serif", the charts' scale labels) and their
// look-alikes on this desktop. Those bitmap fonts are narrow: the design
// widths of the windows (status table columns, captions beside the buttons,
// the 33-pixel scale strips) were made for them, so a wide desktop default
// cuts texts off.
#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// Teaches the font lookup the look-alikes of the Windows families (once per
// program; later calls do nothing). The main window calls it first thing.
void RegisterFontLookAlikes();

// The look-alikes tried for a family, in order (empty for other families).
QStringList FontLookAlikes(const QString& family);

// True when text set in `family` is drawn in that family or one of its
// look-alikes, not in whatever the desktop falls back to.
bool FontFamilyAvailable(const QString& family);

}  // namespace tw
