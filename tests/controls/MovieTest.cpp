#include <gtest/gtest.h>

#include "controls/Glyphs.h"
#include "controls/MyCntrl.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

using test::Render;

// A strip of `frames` frames of 10 x 10 pixels, frame i in grey level 20 * i,
// with the top left pixel of the strip in magenta (the transparent key).
QPixmap GreyStrip(int frames) {
  QImage strip(10 * frames, 10, QImage::Format_ARGB32);
  for (int i = 0; i < frames; ++i) {
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) strip.setPixel(10 * i + x, y, qRgb(20 * i, 20 * i, 20 * i));
    }
  }
  strip.setPixel(0, 0, qRgb(255, 0, 255));
  return QPixmap::fromImage(strip);
}

int FrameShown(TMovie& movie) {
  return Render(movie).pixelColor(5, 5).red() / 20 + 1;
}

TEST(Movie, FramesPerSecondIsKeptAsTheTimerInterval) {
  struct Case {
    int fps, interval;
  } const cases[] = {{5, 200}, {20, 50}, {3, 333}, {0, 50}, {-4, 50}, {2000, 1}};
  for (const Case& c : cases) {
    TMovie movie;
    movie.SetFramesPerSecond(c.fps);
    EXPECT_EQ(movie.FrameInterval(), c.interval) << c.fps;
    EXPECT_EQ(movie.Timer()->interval(), c.interval) << c.fps;
  }
  TMovie fresh;
  EXPECT_EQ(fresh.FrameInterval(), 50);
  EXPECT_TRUE(fresh.MovieEnabled());
  EXPECT_EQ(fresh.Frame(), 1);
}

TEST(Movie, SixFramesAtFivePerSecondShowEachFrameForOneTickAndStartOver) {
  TMovie movie;
  movie.resize(10, 10);
  movie.SetPicture(GreyStrip(6));
  movie.SetNumFrames(6);
  movie.SetFramesPerSecond(5);
  EXPECT_EQ(movie.Timer()->interval(), 200);
  std::vector<int> shown{FrameShown(movie)};
  for (int tick = 0; tick < 7; ++tick) {
    movie.TimerTimer();
    shown.push_back(FrameShown(movie));
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5, 6, 1, 2}));
}

TEST(Movie, TheTimerDrivesTheFrames) {
  TMovie movie;
  movie.SetPicture(GreyStrip(3));
  movie.SetNumFrames(3);
  movie.SetFramesPerSecond(0);  // 50 ms
  EXPECT_TRUE(test::WaitFor([&] { return movie.Frame() == 3; }, 5000));
}

TEST(Movie, NumFramesAndMovieEnabledStartTheFilmOver) {
  TMovie movie;
  movie.SetNumFrames(4);
  movie.TimerTimer();
  movie.TimerTimer();
  ASSERT_EQ(movie.Frame(), 3);
  movie.SetNumFrames(4);
  EXPECT_EQ(movie.Frame(), 1);
  movie.TimerTimer();
  movie.SetMovieEnabled(false);
  EXPECT_EQ(movie.Frame(), 1);
  EXPECT_FALSE(movie.Timer()->isActive());
  movie.SetMovieEnabled(true);
  EXPECT_TRUE(movie.Timer()->isActive());
}

TEST(Movie, TransparentFrameShowsTheControlColourForTheKeyColour) {
  for (bool transparent : {false, true}) {
    TMovie movie;
    movie.resize(30, 20);
    movie.SetPicture(GreyStrip(2));
    movie.SetNumFrames(2);
    movie.SetColor(clYellow);
    movie.SetTransparent(transparent);
    movie.SetCenter(true);
    const QImage image = Render(movie);
    // Centred: the 10 x 10 frame starts at (10, 5).
    EXPECT_EQ(image.pixelColor(11, 6), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(10, 5), transparent ? QColor(255, 255, 0) : QColor(255, 0, 255));
    if (transparent) {
      EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 255, 0));
    }
  }
}

TEST(Movie, PleaseWaitFilmHasSixDifferentFramesOverTheKeyColour) {
  const QImage strip = PleaseWaitFilm().toImage();
  ASSERT_EQ(strip.width() % kPleaseWaitFrames, 0);
  const int width = strip.width() / kPleaseWaitFrames;
  EXPECT_EQ(strip.pixel(0, 0), GlyphKeyColour());
  for (int i = 1; i < kPleaseWaitFrames; ++i) {
    EXPECT_NE(strip.copy((i - 1) * width, 0, width, strip.height()),
              strip.copy(i * width, 0, width, strip.height()))
        << i;
  }
}

}  // namespace
}  // namespace tw
