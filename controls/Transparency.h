// Bitmaps of the controls name their transparent colour by one of their own
// pixels; this turns such a picture into one with real transparency.
#pragma once

#include <QImage>

namespace tw {

// The image with every pixel of colour `key` made fully transparent.
inline QImage CutOutColour(const QImage& source, QRgb key) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (line[x] == key) line[x] = 0;
    }
  }
  return image;
}

}  // namespace tw
