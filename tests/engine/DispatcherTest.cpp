// The hand-over queue between the measuring threads and the UI thread: calls
// that wait and posted calls, in one order, withdrawn and cancelled alike.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/Dispatcher.h"

namespace tw {
namespace {

struct Counted {
  std::atomic<int> wakes{0};
  QueueDispatcher queue{[this] { ++wakes; }, PostedCalls::Proceed};
};

TEST(DispatcherTest, PostsReturnAtOnceAndRunInOrderWithCallsThatWait) {
  Counted d;
  std::vector<std::string> ran;  // UI thread only
  const int owner = 0;
  std::atomic<bool> postsReturned{false};
  std::thread worker([&] {
    d.queue.Post(&owner, [&] { ran.push_back("a"); });
    d.queue.Post(&owner, [&] { ran.push_back("b"); });
    postsReturned = true;
    d.queue.Invoke(&owner, [&] { ran.push_back("c"); });
  });
  while (d.queue.PendingCount() < 3) std::this_thread::yield();
  EXPECT_TRUE(postsReturned);
  EXPECT_TRUE(ran.empty());
  d.queue.RunPending();
  worker.join();
  EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(d.wakes, 3);
}

TEST(DispatcherTest, WithdrawnAndCancelledPostsAreDroppedUnrun) {
  Counted d;
  const int gone = 0, staying = 0;
  std::vector<const int*> ran;
  d.queue.Post(&gone, [&] { ran.push_back(&gone); });
  d.queue.Post(&staying, [&] { ran.push_back(&staying); });
  d.queue.Withdraw(&gone);
  EXPECT_FALSE(d.queue.Post(&gone, [&] { ran.push_back(&gone); }));
  d.queue.RunPending();
  EXPECT_EQ(ran, std::vector<const int*>{&staying});

  d.queue.Post(&staying, [&] { ran.push_back(&staying); });
  d.queue.Cancel();
  EXPECT_EQ(d.queue.PendingCount(), 0u);
  EXPECT_FALSE(d.queue.Post(&staying, [&] { ran.push_back(&staying); }));
  d.queue.RunPending();
  EXPECT_EQ(ran.size(), 1u);
}

TEST(DispatcherTest, WhilePolledPostsWakeNothingButCallsThatWaitDo) {
  Counted d;
  const int owner = 0;
  int ran = 0;
  d.queue.SetPolled(true);
  for (int i = 0; i < 5; ++i) d.queue.Post(&owner, [&] { ++ran; });
  EXPECT_EQ(d.wakes, 0);
  std::thread worker([&] { d.queue.Invoke(&owner, [&] { ++ran; }); });
  while (d.wakes == 0) std::this_thread::yield();
  d.queue.RunPending();
  worker.join();
  EXPECT_EQ(ran, 6);
  d.queue.SetPolled(false);
  d.queue.Post(&owner, [&] { ++ran; });
  EXPECT_EQ(d.wakes, 2);
}

// Dispatchers built for waiting keep posted calls waiting too: tests that
// look at a worker inside its hand-over rely on it.
TEST(DispatcherTest, InWaitModeAPostWaitsUntilItRan) {
  QueueDispatcher queue;
  const int owner = 0;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    queue.Post(&owner, [] {});
    returned = true;
  });
  while (queue.PendingCount() == 0) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(returned);
  queue.RunPending();
  worker.join();
  EXPECT_TRUE(returned);
}

}  // namespace
}  // namespace tw
