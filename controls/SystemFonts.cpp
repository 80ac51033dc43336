#include "controls/SystemFonts.h"

#include <QFont>
#include <QFontDatabase>

namespace tw {

namespace {

// The Windows families the program names, each with its look-alikes.
const char* const kWindowsFamilies[] = {"MS Sans Serif", "MS Serif"};

}  // namespace

QStringList FontLookAlikes(const QString& family) {
  // Sans serif: the Arial-metric families first (what Windows itself puts in
  // place of "MS Sans Serif" at larger sizes), then a condensed fallback.
  if (family.compare("MS Sans Serif", Qt::CaseInsensitive) == 0) {
    return {"Microsoft Sans Serif", "Arial",     "Liberation Sans",      "Arimo",
            "Nimbus Sans",          "Helvetica", "DejaVu Sans Condensed"};
  }
  // Serif: the Times-metric families, whose figures are as narrow as the
  // bitmap font's; the chart scale strips (33 pixels) need that for labels
  // such as "80000.0". A wide serif fallback would cut them.
  if (family.compare("MS Serif", Qt::CaseInsensitive) == 0) {
    return {"Times New Roman", "Liberation Serif",      "Tinos", "Nimbus Roman",
            "Times",           "DejaVu Serif Condensed"};
  }
  return {};
}

void RegisterFontLookAlikes() {
  static const bool done = [] {
    for (const char* family : kWindowsFamilies) {
      QStringList present;
      for (const QString& alike : FontLookAlikes(family)) {
        if (QFontDatabase::hasFamily(alike)) present << alike;
      }
      // Only families the desktop has; without any, the desktop's fallback stays.
      if (!present.isEmpty()) QFont::insertSubstitutions(family, present);
    }
    return true;
  }();
  (void)done;
}

bool FontFamilyAvailable(const QString& family) {
  if (QFontDatabase::hasFamily(family)) return true;
  for (const QString& alike : QFont::substitutes(family)) {
    if (QFontDatabase::hasFamily(alike)) return true;
  }
  return false;
}

}  // namespace tw
