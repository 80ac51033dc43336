// The multimedia device behind the sound player: all that the player relies
// on is open, play, stop, back to the start, length, position and mode.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tw {

enum class SoundMode { NotReady, Stopped, Playing, Paused };

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // Opens a sound file, closing the one open before. Opening may finish
  // later; a file the media system cannot open is reported through the
  // error handler with the media system's own text.
  virtual void Open(const std::string& file) = 0;
  virtual void Close() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Back to the start of the medium.
  virtual void Rewind() = 0;
  // Length and position of the medium, milliseconds; the position equals
  // the length once the medium has played to its end.
  virtual int64_t LengthMs() const = 0;
  virtual int64_t PositionMs() const = 0;
  virtual SoundMode Mode() const = 0;
  // Called on the user-interface thread when the device fails.
  void SetErrorHandler(std::function<void(const std::string&)> handler) {
    onError_ = std::move(handler);
  }

 protected:
  void ReportError(const std::string& text) {
    if (onError_) onError_(text);
  }

 private:
  std::function<void(const std::string&)> onError_;
};

// The device of this build: Qt Multimedia when it was found, else one that
// reports every file as impossible to open.
std::unique_ptr<SoundDevice> CreateSoundDevice();

}  // namespace tw
