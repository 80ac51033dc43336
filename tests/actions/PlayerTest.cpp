// The sound player "Phonograph" with the real multimedia system: a WAV file
// made here, played hidden and shown, replaced, and broken files reported.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <cmath>
#include <fstream>

#include "ActionsTestSupport.h"
#include "actions/Player.h"
#include "support/TempDir.h"

namespace tw {
namespace {

using test::WaitFor;

// A mono 16-bit PCM WAV file with a tone of `ms` milliseconds.
void WriteWav(const std::string& path, int ms) {
  const uint32_t rate = 8000;
  const uint32_t samples = rate * static_cast<uint32_t>(ms) / 1000;
  const uint32_t dataBytes = samples * 2;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  for (uint32_t i = 0; i < samples; ++i) {
    u16(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / rate))));
  }
}

QMessageBox* ErrorBox() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "PlayerErrorBox" && w->isVisible()) return qobject_cast<QMessageBox*>(w);
  }
  return nullptr;
}

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
#if !TARNWICK_HAVE_MULTIMEDIA
    GTEST_SKIP() << "built without Qt Multimedia";
#endif
    WriteWav(wav, 600);
  }
  void TearDown() override {
    while (QMessageBox* box = ErrorBox()) box->close();
  }

  // Skips when the media system cannot play at all here (callers return
  // when IsSkipped()).
  void RequirePlayback() {
    player.PlaySoundFile(wav);
    if (!WaitFor([&] { return player.Device().LengthMs() > 0 || ErrorBox() != nullptr; }, 5000) ||
        ErrorBox() != nullptr) {
      const std::string why = ErrorBox() ? ErrorBox()->text().toStdString() : "no length";
      GTEST_SKIP() << "no audio back end to play through here (" << why << ")";
    }
  }

  test::TempDir dir;
  std::string wav = dir.File("tone.wav");
  TPlayer player;
};

TEST_F(PlayerTest, HiddenPlaybackRunsToTheEnd) {
  RequirePlayback();
  if (IsSkipped()) return;
  EXPECT_FALSE(player.isVisible());
  EXPECT_NEAR(static_cast<double>(player.Device().LengthMs()), 600, 50);
  EXPECT_TRUE(player.Timer1()->isActive());
  // Timer1 follows the playback and switches itself off at the end.
  ASSERT_TRUE(WaitFor([&] { return !player.Timer1()->isActive(); }, 10000));
  EXPECT_EQ(player.Device().PositionMs(), player.Device().LengthMs());
  EXPECT_FALSE(player.Timer2()->isActive());
  EXPECT_FALSE(player.isVisible());
}

TEST_F(PlayerTest, ANewSoundRestartsFromTheBeginning) {
  RequirePlayback();
  if (IsSkipped()) return;
  ASSERT_TRUE(WaitFor([&] { return player.Device().PositionMs() >= 300; }, 10000));
  player.PlaySoundFile(wav);
  EXPECT_TRUE(WaitFor([&] { return player.Device().PositionMs() < 300; }, 2000));
  EXPECT_TRUE(WaitFor([&] { return !player.Timer1()->isActive(); }, 10000));
}

TEST_F(PlayerTest, ShownModallyItPlaysAndClosesAtTheEnd) {
  RequirePlayback();
  if (IsSkipped()) return;
  ASSERT_TRUE(WaitFor([&] { return !player.Timer1()->isActive(); }, 10000));
  player.SetSoundFile(wav);
  QTimer guard;
  guard.setSingleShot(true);
  bool timedOut = false;
  QObject::connect(&guard, &QTimer::timeout, [&] {
    timedOut = true;
    player.close();
  });
  guard.start(15000);
  int progressMax = 0;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] { progressMax = player.Progress()->maximum(); });
  probe.start(50);
  player.exec();
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(player.windowTitle(), "Phonograph");
  EXPECT_EQ(player.LabelFileName()->text().toStdString(), wav);
  EXPECT_NEAR(progressMax, 600, 50);
  EXPECT_FALSE(player.isVisible());
}

TEST_F(PlayerTest, FilesItCannotOpenAreReportedInAnErrorBox) {
  std::ofstream(dir.File("noise.wav")) << "this is not a sound";
  struct Case {
    const char* name;
    std::string file;
  };
  const Case cases[] = {{"missing file", dir.File("missing.wav")},
                        {"not a sound", dir.File("noise.wav")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    player.PlaySoundFile(c.file);
    ASSERT_TRUE(WaitFor([] { return ErrorBox() != nullptr; }, 10000));
    EXPECT_FALSE(ErrorBox()->text().isEmpty());
    EXPECT_FALSE(player.Timer1()->isActive());
    ErrorBox()->close();
    WaitFor([] { return ErrorBox() == nullptr; }, 2000);
  }
}

TEST_F(PlayerTest, EmptyNameOnlyClosesTheWindow) {
  player.show();
  ASSERT_TRUE(WaitFor([&] { return player.isVisible(); }, 2000));
  player.PlaySoundFile("");
  EXPECT_TRUE(WaitFor([&] { return !player.isVisible(); }, 2000));
  EXPECT_FALSE(player.Timer1()->isActive());
  EXPECT_EQ(ErrorBox(), nullptr);
}

}  // namespace
}  // namespace tw
