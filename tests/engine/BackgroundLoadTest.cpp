// A load run on a worker reaches the UI thread once and whole, whichever way
// it gets there, and no way of ending the wait hangs.
#include "engine/BackgroundLoad.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace tw {
namespace {

using namespace std::chrono_literals;

// A result that counts its live copies, so a dropped one is seen gone.
struct Loaded {
  std::shared_ptr<int> value;
};

class BackgroundLoadTest : public ::testing::Test {
 protected:
  // Starts a load that returns 42 once `release` is set.
  void Start(BackgroundLoad<Loaded>& load) {
    load.Start(
        [this] {
          release_.get_future().wait();
          auto value = std::make_shared<int>(42);
          made_ = value;
          return Loaded{value};
        },
        [this](Loaded loaded) {
          deliveredOn_.push_back(std::this_thread::get_id());
          values_.push_back(*loaded.value);
        });
  }
  // Waits until the worker's hand-over is queued (the load is done).
  void WaitForHandOver() {
    for (int i = 0; i < 500 && dispatcher_->PendingCount() == 0; ++i)
      std::this_thread::sleep_for(10ms);
    ASSERT_EQ(dispatcher_->PendingCount(), 1u);
  }

  std::shared_ptr<QueueDispatcher> dispatcher_ = std::make_shared<QueueDispatcher>();
  std::promise<void> release_;
  std::weak_ptr<int> made_;
  std::vector<std::thread::id> deliveredOn_;
  std::vector<int> values_;
};

// The three ways the result comes over: the UI thread runs the hand-over;
// the UI thread needs it first (Finish while the worker waits in its
// hand-over must not wait for itself); the dispatcher was cancelled at close.
TEST_F(BackgroundLoadTest, ResultArrivesOnceOnTheUiThreadWhicheverWayItComes) {
  enum class Way { HandOver, FinishDuringHandOver, CancelledThenFinish };
  for (Way way : {Way::HandOver, Way::FinishDuringHandOver, Way::CancelledThenFinish}) {
    SCOPED_TRACE(static_cast<int>(way));
    dispatcher_ = std::make_shared<QueueDispatcher>();
    release_ = {};
    deliveredOn_.clear();
    values_.clear();
    BackgroundLoad<Loaded> load(dispatcher_);
    Start(load);
    EXPECT_TRUE(load.Pending());
    release_.set_value();
    WaitForHandOver();
    if (way == Way::CancelledThenFinish) dispatcher_->Cancel();
    if (way == Way::HandOver) dispatcher_->RunPending();
    EXPECT_EQ(values_.empty(), way != Way::HandOver);
    load.Finish();
    load.Finish();
    dispatcher_->RunPending();
    EXPECT_FALSE(load.Pending());
    ASSERT_EQ(values_, std::vector<int>{42});
    EXPECT_EQ(deliveredOn_[0], std::this_thread::get_id());
  }
}

// Finish before the load is done waits for it and delivers it.
TEST_F(BackgroundLoadTest, FinishWaitsForARunningLoad) {
  BackgroundLoad<Loaded> load(dispatcher_);
  Start(load);
  std::thread releaser([this] {
    std::this_thread::sleep_for(50ms);
    release_.set_value();
  });
  load.Finish();
  releaser.join();
  EXPECT_EQ(values_, std::vector<int>{42});
  EXPECT_EQ(dispatcher_->PendingCount(), 0u);
}

// Finish called by the receiver itself (a command run while the result comes
// in) returns instead of waiting for the worker that waits for the receiver.
TEST_F(BackgroundLoadTest, FinishFromTheReceiverReturns) {
  BackgroundLoad<Loaded> load(dispatcher_);
  int calls = 0;
  load.Start([] { return Loaded{std::make_shared<int>(7)}; },
             [&](Loaded) {
               ++calls;
               load.Finish();
             });
  for (int i = 0; i < 500 && dispatcher_->PendingCount() == 0; ++i)
    std::this_thread::sleep_for(10ms);
  dispatcher_->RunPending();
  EXPECT_EQ(calls, 1);
}

// Going away during the load (a close before it ended) joins the worker and
// drops the result; nothing is delivered to a receiver that may be gone.
TEST_F(BackgroundLoadTest, GoingAwayDuringTheLoadJoinsAndDropsTheResult) {
  std::thread releaser;
  {
    BackgroundLoad<Loaded> load(dispatcher_);
    Start(load);
    releaser = std::thread([this] {
      std::this_thread::sleep_for(50ms);
      release_.set_value();
    });
  }
  releaser.join();
  EXPECT_TRUE(values_.empty());
  EXPECT_EQ(dispatcher_->PendingCount(), 0u);
  EXPECT_TRUE(made_.expired());
}

}  // namespace
}  // namespace tw
