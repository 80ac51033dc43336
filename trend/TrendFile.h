// The trend storage: the data file "MERLISK.D" of 288-byte quarter-hour
// records and its index file "MERLISK.ND", appended on the UI thread and
// looked up by resource name and minute for the trend chart and the report.
//
// Both files stay open and locked from creation to destruction, so a second
// running copy of the program sees them as not open (it then neither writes
// nor finds anything). Every kept index entry stays findable: the lookup goes
// through a map from minute stamp to that minute's entries in file order.
// A lookup returns only a record whose bytes check out (stamp, name and
// checksum), so a torn write or a damaged file never yields a wrong value.
//
// The index file comes from disk and may be damaged or hostile, so loading
// keeps only entries that can be right (see LoadIndex): their number is
// bounded by the data file's size / 288, and at most kMaxEntriesPerMinute of
// them share a minute. An index too large for the memory left loses the
// history (nothing is found), never the program.
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

// Why the trend files are not (fully) in use, for the user.
enum class TrendTrouble {
  None,
  NotOwnRegularFile,  // a link, folder, FIFO or device, or another user's file: left alone
  CannotOpen,         // could not be opened or created (permissions, full disk, ...)
  NoMemoryForHistory  // the index did not fit in memory: the history is not shown
};

class TTrendFile {
 public:
  // A minute holds one record per resource (at most 1000); more entries on
  // one minute than this come from a damaged or crafted index and are left
  // out, so that no lookup has to look at more.
  static constexpr uint32_t kMaxEntriesPerMinute = 1024;

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
  // the index whenever they have just become open. After a file was refused
  // (not a regular file of this user) nothing is opened again in this run.
  void OpenFilesForRead();
  // Closes both files and releases the lock; the next append tries again.
  void Close();

  // Computes the checksum of bytes 0..283 into bytes 284..287.
  static void SetCheckSum(TrendRecord& record);
  // True when bytes 284..287 hold the checksum of bytes 0..283.
  static bool CheckSumOK(const TrendRecord& record);

  // A copy of the index entries kept in memory (those that can be right), in
  // file order.
  std::vector<TIndexObject> TimeIndexes() const;
  // How many index entries are kept in memory.
  size_t IndexEntryCount() const { return entries_.size(); }
  bool DataOpen() const { return data_.IsOpen(); }
  bool IndexOpen() const { return index_.IsOpen(); }
  // What went wrong at the last open or load (None also while another copy
  // of the program holds the files), and which file it concerns.
  TrendTrouble Trouble() const { return trouble_; }
  const std::string& TroubleFileName() const { return troubleFile_; }
  // A sentence for the user about Trouble(); empty when there is none.
  std::string TroubleText() const;
  const std::string& DataFileName() const { return dataFileName_; }
  const std::string& IndexFileName() const { return indexFileName_; }

 private:
  static constexpr uint32_t kNoEntry = UINT32_MAX;
  // The records of one minute as read from the data file at once.
  static constexpr uint32_t kNoRecord = UINT32_MAX;
  struct MinuteBlock {
    std::vector<uint8_t> bytes;
    // Per entry of the minute, in order: where its record starts in bytes
    // (kNoRecord when it could not be read whole), and its checksum verdict:
    // not yet checked, good, bad.
    std::vector<uint32_t> offsets;
    std::vector<uint8_t> verdicts;
  };
  struct MinuteEntries {
    double stamp = 0;
    uint32_t first = kNoEntry, last = kNoEntry;  // places in entries_
    uint32_t count = 0;
  };
  // One index entry as kept: 8 bytes, where ten years of 20 resources are
  // 7,000,000 entries. The position is 12 + record * 288.
  struct KeptEntry {
    uint32_t record = 0;  // record number in the data file
    uint32_t minute = 0;  // place in minuteList_
  };
  // The stamps that index entries may carry: those of the data's first and
  // last sound records, widened by a year each way. Unknown when no sound
  // record was found near either end.
  struct StampRange {
    bool known = false;
    double low = 0, high = 0;
  };

  bool OpenData();
  bool OpenIndex();
  // Opens one file (creating it when missing); notes a refusal or failure.
  LockedFile::OpenResult OpenOrCreate(LockedFile& file, const std::string& name);
  void NoteTrouble(LockedFile::OpenResult result, const std::string& name);
  void LoadIndex();
  void ClearIndex();
  // Reads the index file from its end, keeping the newest entry for every
  // record position that can be right; leaves them in file order.
  void LoadSoundEntries(int64_t entryCount);
  StampRange DataStampRange(int64_t recordCount) const;
  bool FirstSoundStamp(int64_t from, int64_t step, int64_t recordCount, double& stamp) const;
  // Links entries_ into minutes, dropping entries beyond a minute's limit.
  void BuildMinutes();
  // The place in minuteList_ of the minute of `stamp`, added when new.
  uint32_t MinuteOf(double stamp);
  // Adds entry `place` to its minute; false when the minute is full.
  bool LinkIntoMinute(uint32_t place);
  static int64_t PositionOf(const KeptEntry& entry);
  void AddIndexEntry(double stamp, int32_t position);
  // The data file position where the next record goes.
  int64_t NextRecordPosition() const;
  // Whether a stored record has the wanted stamp and name (checksum not checked).
  static bool IsWanted(const uint8_t* bytes, size_t available, const TrendRecord& wanted,
                       double stamp);
  static uint64_t StampKey(double stamp);
  // The minute's records, read once and kept for further lookups.
  MinuteBlock& MinuteBlockOf(uint64_t key, const MinuteEntries& entries);
  void ReadSpan(MinuteBlock& block, const std::vector<int64_t>& positions, int64_t low,
                int64_t high) const;
  void GatherRecords(MinuteBlock& block, const std::vector<int64_t>& positions) const;
  bool FindInMinute(TrendRecord& record, double stamp, uint64_t key, const MinuteEntries& entries);
  void ForgetBlocks();

  std::string dataFileName_;
  std::string indexFileName_;
  Clock& clock_;
  LockedFile data_;
  LockedFile index_;
  std::vector<KeptEntry> entries_;
  // Next entry of the same minute for every entry of entries_.
  std::vector<uint32_t> nextSameMinute_;
  std::vector<MinuteEntries> minuteList_;
  std::unordered_map<uint64_t, uint32_t> minuteIds_;  // stamp bits -> place in minuteList_
  // The minute of the last entry added: consecutive entries mostly share it.
  uint64_t lastKey_ = 0;
  uint32_t lastMinute_ = kNoEntry;
  int64_t indexEnd_ = 0;  // where the next index entry goes: after the last whole one
  TrendTrouble trouble_ = TrendTrouble::None;
  std::string troubleFile_;
  bool refused_ = false;  // a file was not a regular file of this user
  // Recently looked-up minutes: a chart asks for the same minutes once per
  // resource. Emptied by every append and reload.
  std::unordered_map<uint64_t, MinuteBlock> blocks_;
  size_t blockBytes_ = 0;
};

}  // namespace tw
