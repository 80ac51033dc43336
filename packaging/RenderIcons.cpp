// Draws the program's icon, the speed dial of the window's speed icons, as
// PNG files for the hicolor icon theme, with the same drawing code the window
// uses (so the installed icon and the window icon are one picture).
//
//   tarnwick_render_icons <folder> <name> <size>...
// writes <folder>/<size>x<size>/apps/<name>.png for every size.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

#include "charts/SpeedIcon.h"
#include "charts/qt/QtCanvas.h"

namespace {

// The needle at 45 degrees, as in the scalable icon
// (packaging/org.tarnwick.Tarnwick.svg).
constexpr int kProgramIconIndex = 8;

QImage DrawIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  tw::QtCanvas canvas(painter);
  painter.setRenderHint(QPainter::Antialiasing, true);
  tw::DrawSpeedIcon(canvas, kProgramIconIndex, size);
  painter.end();
  return image;
}

bool WriteIcon(const QString& folder, const QString& name, int size) {
  const QString dir = QString("%1/%2x%2/apps").arg(folder).arg(size);
  if (!QDir().mkpath(dir)) return false;
  return DrawIcon(size).save(dir + "/" + name + ".png", "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <folder> <name> <size>...\n", argv[0]);
    return 2;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 8 || size > 1024 || !WriteIcon(argv[1], argv[2], size)) {
      std::fprintf(stderr, "%s: cannot write the %s pixel icon into %s\n", argv[0], argv[i],
                   argv[1]);
      return 1;
    }
  }
  return 0;
}
