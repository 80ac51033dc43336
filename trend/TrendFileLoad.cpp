// Opening the trend files and loading the index into memory.
//
// The index file is outside input: a damaged disk, another program or a
// hostile user may have written it. Loading keeps an entry only when it can
// be right:
//   - its position is a record boundary (12 + k * 288) with the whole record
//     inside the data file;
//   - no later entry points at the same record (the later one wins: a data
//     file started afresh beside an old index is written over from the start);
//   - its stamp is finite, a whole minute (equal to its own MinuteStamp: no
//     lookup can ask for any other value), and, when the data's stamp range
//     is known, no further than 366 days outside the stamps of the first and
//     the last sound record of the data file (sound: checksum right, stamp a
//     non-zero whole minute; looked for among the first and last 16 records);
//   - its minute holds fewer than kMaxEntriesPerMinute earlier entries.
// So the list never holds more entries than the data file holds records, and
// a lookup never looks at more than kMaxEntriesPerMinute entries.
#include <algorithm>
#include <cmath>
#include <new>

#include "trend/TrendFile.h"
#include "util/DateTime.h"

namespace tw {

namespace {

constexpr int64_t kIndexChunkEntries = 65536;
constexpr int64_t kRangeProbeRecords = 16;
constexpr double kStampSlackDays = 366;
constexpr auto kHeader = static_cast<int64_t>(kTrendHeaderSize);
constexpr auto kRecord = static_cast<int64_t>(kTrendRecordSize);
constexpr auto kEntry = static_cast<int64_t>(kTrendIndexEntrySize);

bool IsWholeMinute(double stamp) {
  return std::isfinite(stamp) && MinuteStamp(stamp) == stamp;
}

}  // namespace

void TTrendFile::OpenFilesForRead() {
  if (data_.IsOpen() && index_.IsOpen()) return;
  Close();
  if (refused_) return;
  trouble_ = TrendTrouble::None;
  troubleFile_.clear();
  // Holding one file without the other would only keep another copy of the
  // program from getting both.
  if (!OpenData() || !OpenIndex()) {
    Close();
    return;
  }
  LoadIndex();
}

LockedFile::OpenResult TTrendFile::OpenOrCreate(LockedFile& file, const std::string& name) {
  LockedFile::OpenResult result = file.OpenExisting(name);
  if (result == LockedFile::OpenResult::Missing) {
    result = file.CreateNew(name);
    // Created by someone else in the meantime: open theirs.
    if (result == LockedFile::OpenResult::Missing) result = file.OpenExisting(name);
  }
  NoteTrouble(result, name);
  return result;
}

void TTrendFile::NoteTrouble(LockedFile::OpenResult result, const std::string& name) {
  if (result == LockedFile::OpenResult::Refused) {
    refused_ = true;
    trouble_ = TrendTrouble::NotOwnRegularFile;
  } else if (result == LockedFile::OpenResult::Failed ||
             result == LockedFile::OpenResult::Missing) {
    trouble_ = TrendTrouble::CannotOpen;
  } else {
    return;
  }
  troubleFile_ = name;
}

bool TTrendFile::OpenData() {
  if (OpenOrCreate(data_, dataFileName_) != LockedFile::OpenResult::Opened) return false;
  // A new file, or one whose header a crash cut short: nothing depends on the
  // header's bytes, so it is written whole.
  if (data_.Writable() && data_.Size() < kHeader) {
    const auto header = MakeTrendHeader(EncodeDateTime(clock_.LocalNow()));
    data_.WriteAt(0, header.data(), header.size());
  }
  return true;
}

bool TTrendFile::OpenIndex() {
  return OpenOrCreate(index_, indexFileName_) == LockedFile::OpenResult::Opened;
}

void TTrendFile::ClearIndex() {
  entries_.clear();
  entries_.shrink_to_fit();
  nextSameMinute_.clear();
  nextSameMinute_.shrink_to_fit();
  minuteList_.clear();
  minuteList_.shrink_to_fit();
  minuteIds_.clear();
  lastMinute_ = kNoEntry;
  ForgetBlocks();
}

void TTrendFile::LoadIndex() {
  ClearIndex();
  const int64_t entryCount = std::max<int64_t>(index_.Size(), 0) / kEntry;
  // New entries go after the last whole entry of the file, even when a read
  // failure stops loading early: never over an entry that may be sound. A
  // torn tail is written over by the next append.
  indexEnd_ = entryCount * kEntry;
  try {
    LoadSoundEntries(entryCount);
    BuildMinutes();
  } catch (const std::bad_alloc&) {
    // The files stay open: new records are still written and found.
    ClearIndex();
    trouble_ = TrendTrouble::NoMemoryForHistory;
    troubleFile_ = indexFileName_;
  }
}

void TTrendFile::LoadSoundEntries(int64_t entryCount) {
  const int64_t dataSize = data_.Size();
  const int64_t recordCount = dataSize >= kHeader + kRecord ? (dataSize - kHeader) / kRecord : 0;
  if (recordCount == 0 || entryCount == 0) return;
  const StampRange range = DataStampRange(recordCount);
  std::vector<bool> taken(static_cast<size_t>(recordCount));
  entries_.reserve(static_cast<size_t>(std::min(entryCount, recordCount)));
  std::vector<uint8_t> chunk(
      static_cast<size_t>(std::min(entryCount, kIndexChunkEntries) * kEntry));
  double lastSoundStamp = std::nan("");  // equal to no stamp
  for (int64_t end = entryCount; end > 0;) {
    const int64_t begin = std::max<int64_t>(0, end - kIndexChunkEntries);
    const auto bytes = static_cast<size_t>((end - begin) * kEntry);
    if (index_.ReadAt(begin * kEntry, chunk.data(), bytes) != bytes) break;
    for (int64_t i = end - 1; i >= begin; --i) {
      const uint8_t* entry = chunk.data() + (i - begin) * kEntry;
      const int64_t position = static_cast<int32_t>(GetUint32(entry + 8));
      if (position < kHeader || (position - kHeader) % kRecord != 0) continue;
      const int64_t slot = (position - kHeader) / kRecord;
      if (slot >= recordCount || taken[static_cast<size_t>(slot)]) continue;
      const double stamp = GetDouble(entry);
      // Entries of one minute mostly follow one another: check a stamp once.
      if (stamp != lastSoundStamp) {
        if (!IsWholeMinute(stamp)) continue;
        if (range.known && (stamp < range.low || stamp > range.high)) continue;
        lastSoundStamp = stamp;
      }
      taken[static_cast<size_t>(slot)] = true;
      entries_.push_back(KeptEntry{static_cast<uint32_t>(slot), MinuteOf(stamp)});
    }
    end = begin;
  }
  std::reverse(entries_.begin(), entries_.end());
}

TTrendFile::StampRange TTrendFile::DataStampRange(int64_t recordCount) const {
  StampRange range;
  double first = 0;
  if (!FirstSoundStamp(0, 1, recordCount, first)) return range;
  double last = first;
  FirstSoundStamp(recordCount - 1, -1, recordCount, last);
  range.known = true;
  range.low = std::min(first, last) - kStampSlackDays;
  range.high = std::max(first, last) + kStampSlackDays;
  return range;
}

bool TTrendFile::FirstSoundStamp(int64_t from, int64_t step, int64_t recordCount,
                                 double& stamp) const {
  TrendRecord record{};
  for (int64_t k = 0; k < std::min(kRangeProbeRecords, recordCount); ++k) {
    const int64_t slot = from + k * step;
    if (data_.ReadAt(kHeader + slot * kRecord, record.data(), record.size()) != record.size()) {
      continue;
    }
    const double candidate = GetDouble(record.data() + TrendOffset::Stamp);
    if (candidate != 0.0 && IsWholeMinute(candidate) && CheckSumOK(record)) {
      stamp = candidate;
      return true;
    }
  }
  return false;
}

void TTrendFile::BuildMinutes() {
  nextSameMinute_.assign(entries_.size(), kNoEntry);
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    entries_[kept] = entries_[i];
    if (LinkIntoMinute(static_cast<uint32_t>(kept))) ++kept;
  }
  entries_.resize(kept);
  nextSameMinute_.resize(kept);
}

uint32_t TTrendFile::MinuteOf(double stamp) {
  const uint64_t key = StampKey(stamp);
  if (lastMinute_ != kNoEntry && key == lastKey_) return lastMinute_;
  const auto [known, added] =
      minuteIds_.try_emplace(key, static_cast<uint32_t>(minuteList_.size()));
  if (added) {
    try {
      minuteList_.push_back(MinuteEntries{stamp});
    } catch (...) {
      minuteIds_.erase(known);
      throw;
    }
  }
  lastKey_ = key;
  lastMinute_ = known->second;
  return lastMinute_;
}

bool TTrendFile::LinkIntoMinute(uint32_t place) {
  MinuteEntries& minute = minuteList_[entries_[place].minute];
  if (minute.count >= kMaxEntriesPerMinute) return false;
  ++minute.count;
  if (minute.first == kNoEntry) {
    minute.first = place;
  } else {
    nextSameMinute_[minute.last] = place;
  }
  minute.last = place;
  return true;
}

std::string TTrendFile::TroubleText() const {
  switch (trouble_) {
    case TrendTrouble::None:
      return {};
    case TrendTrouble::NotOwnRegularFile:
      return "The trend file\r" + troubleFile_ +
             "\ris not a regular file of this user (a link, a folder, a special file or "
             "another user's file). It was left untouched, and no trend is recorded or shown "
             "until the program starts again.";
    case TrendTrouble::CannotOpen:
      return "The trend file\r" + troubleFile_ +
             "\rcannot be opened or created. No trend is recorded or shown until it can be.";
    case TrendTrouble::NoMemoryForHistory:
      return "There is not enough memory for the trend index\r" + troubleFile_ +
             "\rThe trend chart shows no earlier records; new records are still written.";
  }
  return {};
}

}  // namespace tw
