// The trend storage: the data file "MERLISK.D" of 288-byte quarter-hour
// records and its index file "MERLISK.ND", appended on the UI thread and
// looked up by resource name and minute for the trend chart and the report.
//
// Both files stay open and locked from creation to destruction, so a second
// running copy of the program sees them as not open (it then neither writes
// nor finds anything). Every index entry stays findable: the lookup goes
// through a map from minute stamp to that minute's entries in file order.
// A lookup returns only a record whose bytes check out (stamp, name and
// checksum), so a torn write or a damaged file never yields a wrong value.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Clock.h"
#include "platform/LockedFile.h"
#include "trend/TrendFormat.h"

namespace tw {

// Means of one quarter hour in Kbps.
struct TrendValues {
  double read = 0, write = 0, ping = 0;
};

// One index entry in memory.
struct TIndexObject {
  double Stamp = 0;      // minute stamp, days since 30 December 1899
  int32_t Position = 0;  // byte offset of the record in the data file
};

class TTrendFile {
 public:
  // Stores the names, opens (creating when missing) and locks both files and
  // loads the index. `clock` gives the stamp of a new data file's header.
  TTrendFile(std::string dataFileName, std::string indexFileName, Clock& clock = SystemClock());
  ~TTrendFile();
  TTrendFile(const TTrendFile&) = delete;
  TTrendFile& operator=(const TTrendFile&) = delete;

  // Appends one record for `name` (upper-cased inside) with the three means
  // in Kbps, stamped with the minute of `now` (a local date-time, days since
  // 30 December 1899). False when nothing was stored: files not open (they
  // are tried again first), read-only, full, or the data file beyond 2 GiB.
  bool AppendRecord(const std::string& name, double read, double write, double ping, double now);
  // The same for a record whose name and speeds the caller filled in; stamps,
  // upper-cases and checksums it in place.
  bool AppendRecord(TrendRecord& record, double now);

  // Looks up the record of `name` (any letter case) at the minute of `stamp`
  // (any moment that rounds to that minute). `out` is zeroed first and filled
  // with the record's means when one is found.
  bool FindRecord(const std::string& name, double stamp, TrendValues& out);
  // The same on a whole record: the caller fills the name and the stamp at
  // its offset; the three speeds are zeroed, and on success all 288 bytes
  // become the stored record.
  bool FindRecord(TrendRecord& record);

  // Opens both files unless they are open (creating a missing one), and loads
  // the index whenever they have just become open.
  void OpenFilesForRead();
  // Closes both files and releases the lock; the next append tries again.
  void Close();

  // Computes the checksum of bytes 0..283 into bytes 284..287.
  static void SetCheckSum(TrendRecord& record);
  // True when bytes 284..287 hold the checksum of bytes 0..283.
  static bool CheckSumOK(const TrendRecord& record);

  // Every index entry in file order.
  const std::vector<TIndexObject>& TimeIndexes() const { return timeIndexes_; }
  bool DataOpen() const { return data_.IsOpen(); }
  bool IndexOpen() const { return index_.IsOpen(); }
  const std::string& DataFileName() const { return dataFileName_; }
  const std::string& IndexFileName() const { return indexFileName_; }

 private:
  static constexpr uint32_t kNoEntry = UINT32_MAX;
  // The records of one minute as read from the data file at once.
  struct MinuteBlock {
    int64_t low = 0;  // data file offset of bytes[0]
    std::vector<uint8_t> bytes;
    // Per entry of the minute, in order: checksum not yet checked, good, bad.
    std::vector<uint8_t> verdicts;
  };
  struct MinuteEntries {
    uint32_t first = kNoEntry, last = kNoEntry;  // places in timeIndexes_
  };

  bool OpenData();
  bool OpenIndex();
  void LoadIndex();
  void AddIndexEntry(double stamp, int32_t position);
  // Whether a stored record has the wanted stamp and name (checksum not checked).
  static bool IsWanted(const uint8_t* bytes, size_t available, const TrendRecord& wanted,
                       double stamp);
  static uint64_t StampKey(double stamp);
  // The minute's records read at once (kept for further lookups); null when
  // they lie too far apart for that.
  MinuteBlock* MinuteBlockOf(uint64_t key, const MinuteEntries& entries);
  void ForgetBlocks();

  std::string dataFileName_;
  std::string indexFileName_;
  Clock& clock_;
  LockedFile data_;
  LockedFile index_;
  std::vector<TIndexObject> timeIndexes_;
  // Next entry of the same minute for every entry of timeIndexes_.
  std::vector<uint32_t> nextSameMinute_;
  std::unordered_map<uint64_t, MinuteEntries> minutes_;
  int64_t indexEnd_ = 0;  // where the next index entry goes: after the last whole one
  // Recently looked-up minutes: a chart asks for the same minutes once per
  // resource. Emptied by every append and reload.
  std::unordered_map<uint64_t, MinuteBlock> blocks_;
  size_t blockBytes_ = 0;
};

}  // namespace tw
