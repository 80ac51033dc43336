// A writer process killed with SIGKILL at random moments while it appends:
// every record whose append had returned must still be found afterwards, and
// the files must keep taking records.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "support/TempDir.h"
#include "trend/TrendFile.h"

namespace tw {
namespace {

constexpr double kFirstDay = 45000.0;

std::string RoundName(int round, int k) {
  return "writer-" + std::to_string(round) + "-" + std::to_string(k % 5);
}
// Five records per minute, so that a minute's records sit side by side.
double RecordTime(int round, int k) {
  return kFirstDay + round + (k / 5) / 1440.0;
}

// The child: appends records of its round until it is killed, telling the
// parent the number of every record whose append has returned.
[[noreturn]] void RunWriter(const test::TempDir& dir, int round, int ackFd) {
  FakeClock clock;
  TTrendFile trend(dir.File("MERLISK.D"), dir.File("MERLISK.ND"), clock);
  for (int32_t k = 0; k < 1000000; ++k) {
    if (!trend.AppendRecord(RoundName(round, k), k, round, 0.5 * k, RecordTime(round, k))) break;
    if (write(ackFd, &k, sizeof k) != sizeof k) break;
  }
  _exit(0);
}

TEST(TrendCrash, KilledWriterLosesNoAppendedRecord) {
  test::TempDir dir;
  FakeClock clock;
  std::mt19937 rng(4242);
  std::uniform_int_distribution<int> delayUs(0, 15000);
  std::vector<std::vector<int32_t>> acked;
  constexpr int kRounds = 40;
  for (int round = 0; round < kRounds; ++round) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      RunWriter(dir, round, fds[1]);
    }
    close(fds[1]);
    // The kill is timed from the writer's first acknowledged append: a child
    // that starts slowly (a loaded machine, a sanitizer's fork) would
    // otherwise be killed before it writes anything, round after round.
    std::vector<int32_t> got;
    int32_t first = 0;
    if (read(fds[0], &first, sizeof first) == sizeof first) got.push_back(first);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) || WIFEXITED(status));
    int32_t k = 0;
    while (read(fds[0], &k, sizeof k) == sizeof k) got.push_back(k);
    close(fds[0]);
    acked.push_back(got);

    // Right after the kill: this round's acknowledged records are there, and
    // one more record goes in and comes back.
    TTrendFile trend(dir.File("MERLISK.D"), dir.File("MERLISK.ND"), clock);
    ASSERT_TRUE(trend.DataOpen() && trend.IndexOpen()) << "round " << round;
    for (int32_t n : got) {
      TrendValues out;
      ASSERT_TRUE(trend.FindRecord(RoundName(round, n), RecordTime(round, n), out))
          << "round " << round << " record " << n << " of " << got.size();
      ASSERT_EQ(out.read, n);
      ASSERT_EQ(out.ping, 0.5 * n);
    }
    const double check = kFirstDay + round + 0.75;
    ASSERT_TRUE(trend.AppendRecord("check", round, 0, 0, check));
    TrendValues out;
    ASSERT_TRUE(trend.FindRecord("CHECK", check, out));
    ASSERT_EQ(out.read, round);
  }

  // At the end every round's records are still there.
  TTrendFile trend(dir.File("MERLISK.D"), dir.File("MERLISK.ND"), clock);
  size_t total = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (int32_t n : acked[round]) {
      TrendValues out;
      ASSERT_TRUE(trend.FindRecord(RoundName(round, n), RecordTime(round, n), out));
      ASSERT_EQ(out.write, round);
    }
    total += acked[round].size();
    TrendValues out;
    ASSERT_TRUE(trend.FindRecord("check", kFirstDay + round + 0.75, out));
  }
  EXPECT_GT(total, 0u) << "the writer was always killed before its first append";
  RecordProperty("acknowledged_records", static_cast<int>(total));
}

}  // namespace
}  // namespace tw
