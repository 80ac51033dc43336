// The real program at twice the scale on the test X server: the window is
// twice as large, and the glyphs are drawn pixel for pixel doubled (sharp
// edges, nothing smoothed) while the text is drawn at the finer resolution.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <fstream>

#include "actions/ActionsTestSupport.h"
#include "platform/TopWindows.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

// The program's freshly shown window at `scale`, as the X server holds it.
QImage GrabWindowAtScale(TopWindows& windows, const char* scale) {
  test::TempDir home;
  // A valid parameters file without resources: no first-start note covers the window.
  std::ofstream(home.File("RAREDARI.INI"), std::ios::binary)
      << "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=0\r\n";
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TARNWICK_HOME", QString::fromStdString(home.Path()));
  environment.insert("QT_SCALE_FACTOR", scale);
  program.setProcessEnvironment(environment);
  program.start(QString::fromStdString(test::TestProgram("tarnwick")), {});
  program.waitForStarted(5000);
  QImage image;
  // Grabbed until the chart's green ground is on show (the first paint is done).
  test::WaitFor(
      [&] {
        for (const TopWindow& w : windows.List()) {
          if (w.pid != program.processId() || w.title != "Tarnwick") continue;
          image = QGuiApplication::primaryScreen()->grabWindow(w.id).toImage();
          return test::CountNear(image, QColor(0, 128, 0), 0) > 1000;
        }
        return false;
      },
      20000);
  program.kill();
  program.waitForFinished(5000);
  return image.convertToFormat(QImage::Format_RGB32);
}

TEST(HighDpi, DoubleScaleDoublesTheWindowAndKeepsGlyphsSharp) {
  test::EnsureQtApp();
  if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
  const auto windows = OpenTopWindows();
  if (!windows->Available()) GTEST_SKIP() << "the X server cannot be reached";
  const QImage one = GrabWindowAtScale(*windows, "1");
  const QImage two = GrabWindowAtScale(*windows, "2");
  ASSERT_FALSE(one.isNull());
  ASSERT_FALSE(two.isNull());
  EXPECT_EQ(two.size(), one.size() * 2);
  // The Start glyph (the bright green triangle at the left of the button
  // bar), found in each picture: its place may move by a pixel with the
  // caption's width beside it, which text at the finer resolution changes.
  const auto glyphIn = [](const QImage& image) {
    const QRect bar(0, image.height() * 3 / 4, image.width() / 4, image.height() / 4);
    return test::BoundsOf(image.copy(bar), QColor(0, 224, 0), 0).translated(bar.topLeft());
  };
  const QRect glyphOne = glyphIn(one), glyphTwo = glyphIn(two);
  ASSERT_GT(glyphOne.width(), 4);
  EXPECT_EQ(glyphTwo.size(), glyphOne.size() * 2);
  const QRect around = glyphOne.adjusted(-1, -1, 1, 1);
  const QImage doubled =
      one.copy(around).scaled(around.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const QImage atTwo = two.copy(QRect(glyphTwo.topLeft() - QPoint(2, 2), around.size() * 2));
  int differing = 0;
  for (int y = 0; y < doubled.height(); ++y) {
    for (int x = 0; x < doubled.width(); ++x) differing += doubled.pixel(x, y) != atTwo.pixel(x, y);
  }
  EXPECT_EQ(differing, 0) << "the glyph at scale 2 is not its scale-1 picture doubled";
  // Only the glyph's own two greens and the face: no blended edge colours.
  QSet<QRgb> colours;
  for (int y = 0; y < atTwo.height(); ++y) {
    for (int x = 0; x < atTwo.width(); ++x) colours.insert(atTwo.pixel(x, y));
  }
  EXPECT_LE(colours.size(), 4);
  // Inside the live chart (right of its scale strip) the grid is drawn on
  // whole device pixels: ground and grid colours only, nothing blended.
  QSet<QRgb> chart;
  for (int y = 40; y < 160; ++y) {
    for (int x = 200; x < 600; ++x) chart.insert(two.pixel(x, y));
  }
  EXPECT_LE(chart.size(), 2) << "blended colours in the chart at scale 2";
}

}  // namespace
}  // namespace tw
