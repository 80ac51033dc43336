// A hung network drive for tests of threads that cannot be cut short.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/DriveIo.h"

namespace tw::test {

// A hung network drive: a write blocks until the test lets it return. Its
// state is shared with the open file, which the worker owns.
class HungDrive final : public DriveIo {
 public:
  std::unique_ptr<DriveFile> CreateTestFile(const std::string&) override {
    return std::make_unique<File>(state_);
  }
  void RemoveTestFile(const std::string&, DriveFile&) override {}
  std::unique_ptr<DriveFile> OpenReadOnly(const std::string&) override { return nullptr; }

  bool Writing() {
    return Wait([this] { return state_->writing; }, 0);
  }
  void Answer() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->answered = true;
    state_->changed.notify_all();
  }
  bool WaitClosed(int ms) {
    return Wait([this] { return state_->closed; }, ms);
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool writing = false, answered = false, closed = false;
  };
  struct File final : DriveFile {
    explicit File(std::shared_ptr<State> s) : state(std::move(s)) {}
    ~File() override {
      std::lock_guard<std::mutex> lock(state->mutex);
      state->closed = true;
      state->changed.notify_all();
    }
    bool Write(const uint8_t*, int32_t, int64_t) override {
      std::unique_lock<std::mutex> lock(state->mutex);
      state->writing = true;
      state->changed.notify_all();
      state->changed.wait(lock, [this] { return state->answered; });
      return true;
    }
    int32_t Read(uint8_t*, int32_t size, int64_t) override { return size; }
    void DropCache() override {}
    bool Direct() const override { return false; }
    std::shared_ptr<State> state;
  };

  template <typename Done>
  bool Wait(Done done, int ms) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(ms), done);
  }

  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tw::test
