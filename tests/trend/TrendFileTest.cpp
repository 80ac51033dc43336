// The trend files on disk: what an append leaves in them, what a lookup
// finds, and how damaged, locked or empty files behave.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "support/TempDir.h"
#include "trend/TrendFile.h"
#include "util/DateTime.h"

namespace tw {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

double At(int day, int h, int m, int s = 0) {
  return EncodeDateTime(CivilTime{2023, 3, day, h, m, s, 0});
}

class TrendFileTest : public ::testing::Test {
 protected:
  TrendFileTest() { clock_.SetLocalNow(CivilTime{2023, 3, 15, 12, 0, 0, 0}); }
  std::unique_ptr<TTrendFile> Open() {
    return std::make_unique<TTrendFile>(DataPath(), IndexPath(), clock_);
  }
  std::string DataPath() const { return dir_.File("MERLISK.D"); }
  std::string IndexPath() const { return dir_.File("MERLISK.ND"); }

  test::TempDir dir_;
  FakeClock clock_;
};

TEST_F(TrendFileTest, FirstAppendWritesHeaderRecordAndEntryByteForByte) {
  {
    auto trend = Open();
    ASSERT_TRUE(trend->DataOpen() && trend->IndexOpen());
    EXPECT_TRUE(trend->AppendRecord("ab", 1.0, 2.5, 0.0, At(15, 12, 0, 20)));
  }
  // 2023-03-15 12:00 is day 45000.5, the double 0x40E5F91000000000; the
  // header (stamped by the clock at creation) checksums it: sum 0x10*5 +
  // 0xF9*6 + 0xE5*7 + 0x40*8 = 0x0E69, XOR 0x4C.
  const Bytes stamp = {0x00, 0x00, 0x00, 0x00, 0x10, 0xF9, 0xE5, 0x40};
  Bytes data = stamp;
  data.insert(data.end(), {0x69, 0x0E, 0x4C, 0x00});
  Bytes record(kTrendRecordSize, 0);
  record[0] = 2;
  record[1] = 'A';
  record[2] = 'B';
  record[256] = 0x81;  // read 1
  record[262] = 0x82;  // write 2.5
  record[267] = 0x20;
  std::copy(stamp.begin(), stamp.end(), record.begin() + 276);  // 12:00:20 rounds to 12:00
  // Sum 2*1 + 65*2 + 66*3 + 0x81*1 + 0x82*7 + 0x20*12 + 0x10*25 + 0xF9*26 +
  // 0xE5*27 + 0x40*28 = 16602 = 0x40DA; XOR of all bytes 0x6E.
  record[284] = 0xDA;
  record[285] = 0x40;
  record[286] = 0x6E;
  data.insert(data.end(), record.begin(), record.end());
  EXPECT_EQ(ReadAll(DataPath()), data);
  Bytes index = stamp;
  index.insert(index.end(), {0x0C, 0x00, 0x00, 0x00});
  EXPECT_EQ(ReadAll(IndexPath()), index);
}

TEST_F(TrendFileTest, LookupsByNameAndMinute) {
  {
    auto trend = Open();
    ASSERT_TRUE(trend->AppendRecord("fileserver\\share", 100.5, 50.25, 0, At(15, 10, 14, 31)));
    ASSERT_TRUE(trend->AppendRecord("example.org", 0, 0, 33.0, At(15, 10, 14, 40)));
    // Same address in other letter case: one series; the first record of the minute wins.
    ASSERT_TRUE(trend->AppendRecord("Example.ORG", 0, 0, 44.0, At(15, 10, 14, 50)));
    ASSERT_TRUE(trend->AppendRecord("example.org", 0, 0, 55.0, At(15, 10, 30, 5)));
    ASSERT_TRUE(trend->AppendRecord(std::string(255, 'n'), 7, 8, 9, At(15, 10, 30, 10)));
    // Longer names are cut to 255 bytes; bytes 224..255 are upper-cased too.
    ASSERT_TRUE(trend->AppendRecord(std::string(300, 'm'), 1, 1, 1, At(15, 10, 30, 11)));
    ASSERT_TRUE(trend->AppendRecord("h\xE0st-\xFF", 2, 2, 2, At(15, 10, 30, 12)));
  }
  auto trend = Open();  // everything must come back from the files
  ASSERT_EQ(trend->TimeIndexes().size(), 7u);
  struct Case {
    std::string name;
    double when;
    bool found;
    TrendValues values;
  };
  const Case cases[] = {
      {"FILESERVER\\SHARE", At(15, 10, 15), true, {100.5, 50.25, 0}},
      {"fileserver\\share", At(15, 10, 15, 29), true, {100.5, 50.25, 0}},
      {"fileserver\\share", At(15, 10, 14, 31), true, {100.5, 50.25, 0}},
      // Written at 10:14:31, the record carries 10:15: the minute before has nothing.
      {"fileserver\\share", At(15, 10, 14), false, {}},
      {"fileserver\\share", At(15, 10, 15, 31), false, {}},
      {"EXAMPLE.ORG", At(15, 10, 15), true, {0, 0, 33.0}},
      {"example.org", At(15, 10, 30), true, {0, 0, 55.0}},
      {"example.or", At(15, 10, 30), false, {}},
      {"example.org", At(16, 10, 30), false, {}},
      {std::string(255, 'N'), At(15, 10, 30), true, {7, 8, 9}},
      {std::string(254, 'N'), At(15, 10, 30), false, {}},
      {std::string(255, 'M'), At(15, 10, 30), true, {1, 1, 1}},
      {"H\xC0ST-\xDF", At(15, 10, 30), true, {2, 2, 2}},
      {"", At(15, 10, 30), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 20) + " at " + std::to_string(c.when));
    TrendValues out{-1, -1, -1};
    EXPECT_EQ(trend->FindRecord(c.name, c.when, out), c.found);
    EXPECT_EQ(out.read, c.values.read);
    EXPECT_EQ(out.write, c.values.write);
    EXPECT_EQ(out.ping, c.values.ping);
  }
  // The record form: speeds zeroed first, the whole stored record returned.
  TrendRecord record = MakeTrendRecord("Example.Org", 1, 2, 3);
  PutDouble(record.data() + TrendOffset::Stamp, At(15, 10, 15, 10));
  ASSERT_TRUE(trend->FindRecord(record));
  EXPECT_EQ(record[1], 'E');
  EXPECT_EQ(GetDouble(record.data() + TrendOffset::Stamp), MinuteStamp(At(15, 10, 15)));
  EXPECT_TRUE(TTrendFile::CheckSumOK(record));
  TrendRecord missing = MakeTrendRecord("nobody", 1, 2, 3);
  EXPECT_FALSE(trend->FindRecord(missing));
  EXPECT_EQ(DecodeReal48(missing.data() + TrendOffset::Read), 0.0);
  EXPECT_EQ(DecodeReal48(missing.data() + TrendOffset::Ping), 0.0);

  // A minute already looked up takes one more record, and the lookup sees it.
  TrendValues late;
  EXPECT_FALSE(trend->FindRecord("late", At(15, 10, 30), late));
  ASSERT_TRUE(trend->AppendRecord("late", 1, 2, 3, At(15, 10, 30, 20)));
  EXPECT_TRUE(trend->FindRecord("late", At(15, 10, 30), late));
  EXPECT_EQ(late.ping, 3);
}

TEST_F(TrendFileTest, HeaderOnlyDataAndEmptyIndexFindNothing) {
  { auto created = Open(); }
  EXPECT_EQ(ReadAll(DataPath()).size(), kTrendHeaderSize);
  EXPECT_EQ(ReadAll(IndexPath()).size(), 0u);
  auto trend = Open();
  TrendValues out{1, 1, 1};
  EXPECT_FALSE(trend->FindRecord("anything", At(15, 12, 0), out));
  EXPECT_EQ(out.read + out.write + out.ping, 0.0);
  EXPECT_TRUE(trend->TimeIndexes().empty());
}

// Damage as a crash, a full disk or another program leaves it. No record
// before the damage may be lost, no damaged record may be returned, and the
// files must take further records.
TEST_F(TrendFileTest, DamagedFilesLoseNothingEarlierAndStayAppendable) {
  struct Case {
    const char* what;
    void (*damage)(Bytes& data, Bytes& index);
    bool lastFound;  // whether the last record before the damage is still found
  };
  const Case cases[] = {
      {"torn index entry at the end",
       [](Bytes&, Bytes& index) {
         index.insert(index.end(), {1, 2, 3, 4, 5});
       },
       true},
      {"index entry pointing past the data",
       [](Bytes&, Bytes& index) {
         const auto e = MakeIndexEntry(MinuteStamp(At(15, 11, 0)), 1 << 30);
         index.insert(index.end(), e.begin(), e.end());
       },
       true},
      {"index entry with a negative position",
       [](Bytes&, Bytes& index) {
         const auto e = MakeIndexEntry(MinuteStamp(At(15, 11, 0)), -288);
         index.insert(index.end(), e.begin(), e.end());
       },
       true},
      {"torn record at the end of the data",
       [](Bytes& data, Bytes&) { data.insert(data.end(), 100, 0x55); }, true},
      {"last record altered on disk",
       [](Bytes& data, Bytes&) { data[data.size() - 288 + 256] ^= 0x01; }, false},
      {"last record cut short with its entry in place",
       [](Bytes& data, Bytes&) { data.resize(data.size() - 10); }, false},
      {"data header cut short",
       [](Bytes& data, Bytes&) {
         data.clear();
         data.resize(5, 0);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(DataPath());
    std::filesystem::remove(IndexPath());
    {
      auto trend = Open();
      ASSERT_TRUE(trend->AppendRecord("first", 1, 0, 0, At(15, 10, 0)));
      ASSERT_TRUE(trend->AppendRecord("last", 2, 0, 0, At(15, 10, 0)));
    }
    Bytes data = ReadAll(DataPath());
    Bytes index = ReadAll(IndexPath());
    const bool headerCut = std::string(c.what) == "data header cut short";
    c.damage(data, index);
    WriteAll(DataPath(), data);
    WriteAll(IndexPath(), index);

    auto trend = Open();
    TrendValues out;
    EXPECT_EQ(trend->FindRecord("first", At(15, 10, 0), out), !headerCut);
    EXPECT_EQ(trend->FindRecord("last", At(15, 10, 0), out), c.lastFound);
    EXPECT_FALSE(trend->FindRecord("first", At(15, 11, 0), out));
    ASSERT_TRUE(trend->AppendRecord("after", 3, 0, 0, At(15, 11, 0)));
    ASSERT_TRUE(trend->AppendRecord("last", 4, 0, 0, At(15, 10, 0)));
    trend.reset();
    trend = Open();
    EXPECT_TRUE(trend->FindRecord("after", At(15, 11, 0), out));
    EXPECT_EQ(out.read, 3);
    EXPECT_EQ(trend->FindRecord("first", At(15, 10, 0), out), !headerCut);
    // The minute's records are no longer side by side; the later one is found all the same.
    EXPECT_TRUE(trend->FindRecord("last", At(15, 10, 0), out));
    EXPECT_EQ(out.read, c.lastFound ? 2 : 4);
    // Closed first: Windows lets no other open read a file the trend holds.
    trend.reset();
    EXPECT_EQ(ReadAll(IndexPath()).size() % kTrendIndexEntrySize, 0u);
    EXPECT_GE(ReadAll(DataPath()).size(), kTrendHeaderSize + 2 * kTrendRecordSize);
  }
}

TEST_F(TrendFileTest, SecondCopyIsLockedOutAndTakesOverAfterTheFirstCloses) {
  auto first = Open();
  ASSERT_TRUE(first->AppendRecord("host", 0, 0, 1, At(15, 9, 0)));
  auto second = Open();
  EXPECT_FALSE(second->DataOpen());
  EXPECT_FALSE(second->IndexOpen());
  TrendValues out;
  EXPECT_FALSE(second->FindRecord("host", At(15, 9, 0), out));
  EXPECT_FALSE(second->AppendRecord("host", 0, 0, 2, At(15, 9, 15)));
  EXPECT_TRUE(first->AppendRecord("host", 0, 0, 3, At(15, 9, 30)));
  first.reset();
  EXPECT_EQ(ReadAll(DataPath()).size(), kTrendHeaderSize + 2 * kTrendRecordSize);

  EXPECT_TRUE(second->AppendRecord("host", 0, 0, 4, At(15, 9, 45)));
  for (auto [minute, ping] : {std::pair{0, 1.0}, {30, 3.0}, {45, 4.0}}) {
    EXPECT_TRUE(second->FindRecord("host", At(15, 9, minute), out));
    EXPECT_EQ(out.ping, ping);
  }
  EXPECT_FALSE(second->FindRecord("host", At(15, 9, 15), out));
}

// The in-memory index once dropped all but the newest 65,000 entries.
TEST_F(TrendFileTest, EveryEntryStaysFindablePastSixtyFiveThousand) {
  constexpr int kRecords = 65010;
  {
    auto trend = Open();
    for (int i = 0; i < kRecords; ++i) {
      ASSERT_TRUE(trend->AppendRecord(i % 2 ? "odd" : "even", i, 0, 0, 45000.0 + i / 1440.0));
    }
    TrendValues out;
    EXPECT_TRUE(trend->FindRecord("odd", 45000.0 + 1 / 1440.0, out));
    EXPECT_EQ(out.read, 1);
  }
  auto trend = Open();
  ASSERT_EQ(trend->TimeIndexes().size(), static_cast<size_t>(kRecords));
  // A record of the first minute written 18 MB later: the minute's two
  // records are read one by one.
  ASSERT_TRUE(trend->AppendRecord("late", 42, 0, 0, 45000.0));
  TrendValues late;
  EXPECT_TRUE(trend->FindRecord("late", 45000.0, late));
  EXPECT_EQ(late.read, 42);
  for (int i : {0, 1, 2, 9, 10, 11, 5000, kRecords - 1}) {
    TrendValues out;
    EXPECT_TRUE(trend->FindRecord(i % 2 ? "ODD" : "EVEN", 45000.0 + i / 1440.0, out)) << i;
    EXPECT_EQ(out.read, i);
  }
}

}  // namespace
}  // namespace tw
