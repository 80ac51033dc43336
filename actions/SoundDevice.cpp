#include "actions/SoundDevice.h"

#if TARNWICK_HAVE_MULTIMEDIA
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>
#endif

namespace tw {

namespace {

#if TARNWICK_HAVE_MULTIMEDIA

class QtSoundDevice final : public SoundDevice {
 public:
  QtSoundDevice() {
    player_.setAudioOutput(&output_);
    QObject::connect(
        &player_, &QMediaPlayer::errorOccurred,
        [this](QMediaPlayer::Error, const QString& text) { ReportError(text.toStdString()); });
    QObject::connect(
        &player_, &QMediaPlayer::mediaStatusChanged, [this](QMediaPlayer::MediaStatus status) {
          if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) {
            loaded_ = true;
          } else if (status == QMediaPlayer::EndOfMedia) {
            loaded_ = true;
            atEnd_ = true;
          }
        });
    QObject::connect(&player_, &QMediaPlayer::playbackStateChanged,
                     [this](QMediaPlayer::PlaybackState state) {
                       if (state == QMediaPlayer::PlayingState) atEnd_ = false;
                     });
  }
  ~QtSoundDevice() override {
    player_.stop();
    player_.setSource(QUrl());
  }

  void Open(const std::string& file) override {
    player_.stop();
    player_.setSource(QUrl());
    // Length and end belong to the medium now opening: until it has loaded,
    // what the player reports may still be the previous medium's.
    loaded_ = false;
    atEnd_ = false;
    const QString name = QString::fromStdString(file);
    // The media system reports a missing file only later and in vaguer
    // words; a file that is not there is known at once.
    if (!QFileInfo(name).isFile()) {
      ReportError("The file \"" + file + "\" does not exist or is not a file.");
      return;
    }
    player_.setSource(QUrl::fromLocalFile(QFileInfo(name).absoluteFilePath()));
  }
  void Close() override {
    player_.stop();
    player_.setSource(QUrl());
    loaded_ = false;
    atEnd_ = false;
  }
  void Play() override {
    if (!player_.source().isEmpty()) player_.play();
  }
  void Stop() override { player_.pause(); }
  void Rewind() override { player_.setPosition(0); }
  int64_t LengthMs() const override { return loaded_ ? player_.duration() : 0; }
  int64_t PositionMs() const override {
    if (!loaded_) return 0;
    return atEnd_ ? player_.duration() : player_.position();
  }
  SoundMode Mode() const override {
    if (player_.source().isEmpty() || player_.mediaStatus() == QMediaPlayer::InvalidMedia) {
      return SoundMode::NotReady;
    }
    switch (player_.playbackState()) {
      case QMediaPlayer::PlayingState:
        return SoundMode::Playing;
      case QMediaPlayer::PausedState:
        return SoundMode::Paused;
      default:
        return SoundMode::Stopped;
    }
  }

 private:
  QMediaPlayer player_;
  QAudioOutput output_;
  bool loaded_ = false;  // the open medium has loaded (its length is known)
  bool atEnd_ = false;   // it has played to its end
};

#else

class NoSoundDevice final : public SoundDevice {
 public:
  void Open(const std::string&) override {
    ReportError("This program was built without a multimedia system: sounds cannot be played.");
  }
  void Close() override {}
  void Play() override {}
  void Stop() override {}
  void Rewind() override {}
  int64_t LengthMs() const override { return 0; }
  int64_t PositionMs() const override { return 0; }
  SoundMode Mode() const override { return SoundMode::NotReady; }
};

#endif

}  // namespace

std::unique_ptr<SoundDevice> CreateSoundDevice() {
#if TARNWICK_HAVE_MULTIMEDIA
  return std::make_unique<QtSoundDevice>();
#else
  return std::make_unique<NoSoundDevice>();
#endif
}

}  // namespace tw
