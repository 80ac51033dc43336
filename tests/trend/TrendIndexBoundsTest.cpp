// An index file of random bytes, of zeros, or crafted to crowd one minute
// loads only the entries that can be right, in memory bounded by the data
// file; and running out of memory while loading costs the history, not the
// program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "support/TempDir.h"
#include "trend/TrendFile.h"

namespace tw {
namespace {

constexpr double kDay = 45000.0;  // 15 March 2023
constexpr int kRecords = 50;

std::string Name(int i) {
  return "host" + std::to_string(i);
}
double When(int i) {
  return kDay + i / 96.0;  // one record a quarter hour
}

class TrendIndexBoundsTest : public ::testing::Test {
 protected:
  std::string Data() const { return dir_.File("MERLISK.D"); }
  std::string Index() const { return dir_.File("MERLISK.ND"); }
  std::unique_ptr<TTrendFile> Open() {
    return std::make_unique<TTrendFile>(Data(), Index(), clock_);
  }
  // Writes kRecords sound records and returns their index entries' bytes.
  std::vector<char> WriteSoundRecords() {
    {
      auto trend = Open();
      for (int i = 0; i < kRecords; ++i) {
        EXPECT_TRUE(trend->AppendRecord(Name(i), i, 0, 0, When(i)));
      }
    }
    std::ifstream in(Index(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
  }
  void ExpectAllSoundRecordsFound(TTrendFile& trend) {
    for (int i = 0; i < kRecords; ++i) {
      TrendValues out;
      EXPECT_TRUE(trend.FindRecord(Name(i), When(i), out)) << i;
      EXPECT_EQ(out.read, i);
    }
  }

  test::TempDir dir_;
  FakeClock clock_;
};

// 100 MB of random bytes, or of zeros, written over the index before the
// sound entries: none of it may stay, and nothing sound may be lost.
TEST_F(TrendIndexBoundsTest, RandomOrZeroIndexKeepsOnlyTheEntriesThatCanBeRight) {
  const std::vector<char> sound = WriteSoundRecords();
  constexpr int kBlocks = 128;  // of 65,536 entries: 100.7 MB
  for (const bool random : {true, false}) {
    SCOPED_TRACE(random ? "random bytes" : "zeros");
    {
      std::ofstream out(Index(), std::ios::binary | std::ios::trunc);
      std::mt19937_64 bits(7);
      std::vector<uint64_t> block(65536 * kTrendIndexEntrySize / 8);
      for (int k = 0; k < kBlocks; ++k) {
        for (uint64_t& b : block) b = random ? bits() : 0;
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(block.size() * 8));
      }
      out.write(sound.data(), static_cast<std::streamsize>(sound.size()));
    }
    auto trend = Open();
    EXPECT_EQ(trend->TimeIndexes().size(), static_cast<size_t>(kRecords));
    ExpectAllSoundRecordsFound(*trend);
  }
}

// One minute named by a million entries, each at its own record boundary
// of a (sparse) 288 MB data file: a lookup looks at no more than the
// minute's limit, and the first entries of the minute stay findable.
TEST_F(TrendIndexBoundsTest, CrowdedMinuteIsCutToItsLimit) {
  constexpr int kCrowd = 1000000;
  {
    auto trend = Open();
    ASSERT_TRUE(trend->AppendRecord("first", 1, 0, 0, kDay));
    ASSERT_TRUE(trend->AppendRecord("second", 2, 0, 0, kDay));
  }
  ASSERT_EQ(truncate(Data().c_str(), static_cast<off_t>(kTrendHeaderSize) +
                                         static_cast<off_t>(kCrowd) * kTrendRecordSize),
            0);
  {
    std::ofstream out(Index(), std::ios::binary | std::ios::trunc);
    for (int k = 0; k < kCrowd; ++k) {
      const auto entry = MakeIndexEntry(
          MinuteStamp(kDay), static_cast<int32_t>(kTrendHeaderSize + k * kTrendRecordSize));
      out.write(reinterpret_cast<const char*>(entry.data()), entry.size());
    }
  }
  auto trend = Open();
  EXPECT_EQ(trend->TimeIndexes().size(), TTrendFile::kMaxEntriesPerMinute);
  TrendValues out;
  EXPECT_TRUE(trend->FindRecord("second", kDay, out));
  EXPECT_EQ(out.read, 2);
  for (int resource = 0; resource < 20; ++resource) {  // what a redraw asks
    EXPECT_FALSE(trend->FindRecord(Name(resource), kDay, out));
  }
  // The full minute still takes the next record into the file.
  EXPECT_TRUE(trend->AppendRecord("late", 3, 0, 0, kDay + 1));
  EXPECT_TRUE(trend->FindRecord("late", kDay + 1, out));
}

// Entries that point between records, past the data, at a record another
// entry names later, or carry a stamp no lookup can ask for, are left out.
TEST_F(TrendIndexBoundsTest, EntriesThatCannotBeRightAreLeftOut) {
  const std::vector<char> sound = WriteSoundRecords();
  const int32_t first = kTrendHeaderSize;
  const int32_t end = kTrendHeaderSize + kRecords * kTrendRecordSize;
  struct Bad {
    const char* what;
    double stamp;
    int32_t position;
  };
  const double minute = MinuteStamp(When(3));
  const Bad bad[] = {
      {"inside a record", minute, first + 1},
      {"inside the header", minute, 4},
      {"past the data", minute, end},
      {"negative", minute, -static_cast<int32_t>(kTrendRecordSize)},
      {"not a number", std::nan(""), first},
      {"infinite", HUGE_VAL, first},
      {"not a whole minute", minute + 1e-6, first},
      {"years before the data", MinuteStamp(kDay - 400), first},
      {"years after the data", MinuteStamp(kDay + 400), first},
  };
  {
    std::ofstream out(Index(), std::ios::binary | std::ios::trunc);
    for (const Bad& b : bad) {
      const auto entry = MakeIndexEntry(b.stamp, b.position);
      out.write(reinterpret_cast<const char*>(entry.data()), entry.size());
    }
    out.write(sound.data(), static_cast<std::streamsize>(sound.size()));
    // A later entry for the first record wins over the sound one before it.
    const auto again = MakeIndexEntry(MinuteStamp(When(0)), first);
    out.write(reinterpret_cast<const char*>(again.data()), again.size());
  }
  auto trend = Open();
  EXPECT_EQ(trend->TimeIndexes().size(), static_cast<size_t>(kRecords));
  EXPECT_EQ(trend->TimeIndexes().back().Position, first);
  ExpectAllSoundRecordsFound(*trend);
  // A stamp within a year of the data is kept: a clock set a few months wrong.
  {
    std::ofstream out(Index(), std::ios::binary | std::ios::app);
    const auto near = MakeIndexEntry(MinuteStamp(kDay + 200), first + kTrendRecordSize);
    out.write(reinterpret_cast<const char*>(near.data()), near.size());
  }
  trend.reset();  // the next open must not find the files locked
  trend = Open();
  ASSERT_FALSE(trend->TimeIndexes().empty());
  EXPECT_EQ(trend->TimeIndexes().back().Stamp, MinuteStamp(kDay + 200));
}

bool UnderSanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

// Address space the process has mapped now, in bytes.
size_t MappedBytes() {
  unsigned long pages = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
  std::fclose(statm);
  return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Two million sound-looking entries need some 100 MB in memory; with only
// 16 MB of address space to spare the load fails, and the child process
// goes on: no history, yet the files take and find new records.
TEST_F(TrendIndexBoundsTest, AllocationFailureCostsTheHistoryNotTheProgram) {
  if (UnderSanitizer()) {
    GTEST_SKIP() << "sanitizers reserve terabytes of address space: RLIMIT_AS cannot be lowered "
                    "under them";
  }
  constexpr int kEntries = 2000000;
  { auto created = Open(); }
  ASSERT_EQ(truncate(Data().c_str(), static_cast<off_t>(kTrendHeaderSize) +
                                         static_cast<off_t>(kEntries) * kTrendRecordSize),
            0);
  {
    std::ofstream out(Index(), std::ios::binary | std::ios::trunc);
    for (int k = 0; k < kEntries; ++k) {
      const auto entry =
          MakeIndexEntry(MinuteStamp(kDay + k / 1440.0),
                         static_cast<int32_t>(kTrendHeaderSize + k * kTrendRecordSize));
      out.write(reinterpret_cast<const char*>(entry.data()), entry.size());
    }
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const size_t limit = MappedBytes() + (16u << 20);
    const rlimit lowered{limit, limit};
    if (setrlimit(RLIMIT_AS, &lowered) != 0) _exit(10);
    TTrendFile trend(Data(), Index(), clock_);
    if (trend.Trouble() != TrendTrouble::NoMemoryForHistory) _exit(11);
    if (!trend.TimeIndexes().empty() || !trend.DataOpen() || !trend.IndexOpen()) _exit(12);
    if (trend.TroubleText().find(Index()) == std::string::npos) _exit(13);
    TrendValues out;
    if (trend.FindRecord("anything", kDay, out)) _exit(14);
    if (!trend.AppendRecord("after", 5, 0, 0, kDay + 1)) _exit(15);
    if (!trend.FindRecord("after", kDay + 1, out) || out.read != 5) _exit(16);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child was ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tw
