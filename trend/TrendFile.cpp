#include "trend/TrendFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "util/DateTime.h"

namespace tw {

namespace {

constexpr size_t kIndexChunkEntries = 65536;
// A minute's records normally lie side by side; their span is read at once
// when it is no larger than this.
constexpr int64_t kMaxMinuteSpan = 1 << 20;
// How many bytes of minute blocks are kept for further lookups.
constexpr size_t kMaxBlockBytes = 4 << 20;
constexpr uint8_t kUnchecked = 0, kGood = 1, kBad = 2;

bool RecordCheckSumOK(const uint8_t* bytes) {
  return GetUint32(bytes + TrendOffset::CheckSum) == TrendCheckSum(bytes, TrendOffset::CheckSum);
}

}  // namespace

TTrendFile::TTrendFile(std::string dataFileName, std::string indexFileName, Clock& clock)
    : dataFileName_(std::move(dataFileName)),
      indexFileName_(std::move(indexFileName)),
      clock_(clock) {
  OpenFilesForRead();
}

TTrendFile::~TTrendFile() {
  Close();
}

void TTrendFile::Close() {
  data_.Close();
  index_.Close();
  timeIndexes_.clear();
  timeIndexes_.shrink_to_fit();
  nextSameMinute_.clear();
  nextSameMinute_.shrink_to_fit();
  minutes_.clear();
  indexEnd_ = 0;
  ForgetBlocks();
}

void TTrendFile::ForgetBlocks() {
  blocks_.clear();
  blockBytes_ = 0;
}

TTrendFile::MinuteBlock* TTrendFile::MinuteBlockOf(uint64_t key, const MinuteEntries& entries) {
  const auto known = blocks_.find(key);
  if (known != blocks_.end()) return &known->second;
  int64_t low = std::numeric_limits<int64_t>::max();
  int64_t high = 0;
  size_t count = 0;
  for (uint32_t i = entries.first; i != kNoEntry; i = nextSameMinute_[i]) {
    ++count;
    const int64_t position = timeIndexes_[i].Position;
    if (position < 0) continue;
    low = std::min(low, position);
    high = std::max(high, position + static_cast<int64_t>(kTrendRecordSize));
  }
  if (high == 0 || high - low > kMaxMinuteSpan) return nullptr;
  const auto span = static_cast<size_t>(high - low);
  if (blockBytes_ + span > kMaxBlockBytes) ForgetBlocks();
  MinuteBlock block;
  block.low = low;
  block.bytes.resize(span);
  block.bytes.resize(data_.ReadAt(low, block.bytes.data(), span));
  block.verdicts.assign(count, kUnchecked);
  blockBytes_ += block.bytes.size();
  return &blocks_.emplace(key, std::move(block)).first->second;
}

void TTrendFile::OpenFilesForRead() {
  if (data_.IsOpen() && index_.IsOpen()) return;
  Close();
  // Holding one file without the other would only keep another copy of the
  // program from getting both.
  if (!OpenData() || !OpenIndex()) {
    Close();
    return;
  }
  LoadIndex();
}

bool TTrendFile::OpenData() {
  LockedFile::OpenResult result = data_.OpenExisting(dataFileName_);
  if (result == LockedFile::OpenResult::Missing) {
    result = data_.CreateNew(dataFileName_);
    // Created by someone else in the meantime: open theirs.
    if (result == LockedFile::OpenResult::Missing) result = data_.OpenExisting(dataFileName_);
  }
  if (result != LockedFile::OpenResult::Opened) return false;
  // A new file, or one whose header a crash cut short: nothing depends on the
  // header's bytes, so it is written whole.
  if (data_.Writable() && data_.Size() < static_cast<int64_t>(kTrendHeaderSize)) {
    const auto header = MakeTrendHeader(EncodeDateTime(clock_.LocalNow()));
    data_.WriteAt(0, header.data(), header.size());
  }
  return true;
}

bool TTrendFile::OpenIndex() {
  LockedFile::OpenResult result = index_.OpenExisting(indexFileName_);
  if (result == LockedFile::OpenResult::Missing) {
    result = index_.CreateNew(indexFileName_);
    if (result == LockedFile::OpenResult::Missing) result = index_.OpenExisting(indexFileName_);
  }
  return result == LockedFile::OpenResult::Opened;
}

void TTrendFile::LoadIndex() {
  timeIndexes_.clear();
  nextSameMinute_.clear();
  minutes_.clear();
  ForgetBlocks();
  const int64_t size = std::max<int64_t>(index_.Size(), 0);
  const auto expected = static_cast<size_t>(
      std::min<int64_t>(size / static_cast<int64_t>(kTrendIndexEntrySize), 1 << 21));
  timeIndexes_.reserve(expected);
  nextSameMinute_.reserve(expected);
  std::vector<uint8_t> chunk(kIndexChunkEntries * kTrendIndexEntrySize);
  int64_t offset = 0;
  for (;;) {
    const size_t got = index_.ReadAt(offset, chunk.data(), chunk.size());
    // Only whole entries count: a torn tail is left behind and written over
    // by the next append.
    const size_t whole = got / kTrendIndexEntrySize;
    for (size_t i = 0; i < whole && timeIndexes_.size() < kNoEntry - 1; ++i) {
      const uint8_t* entry = chunk.data() + i * kTrendIndexEntrySize;
      AddIndexEntry(GetDouble(entry), static_cast<int32_t>(GetUint32(entry + 8)));
    }
    offset += static_cast<int64_t>(whole * kTrendIndexEntrySize);
    if (got < chunk.size()) break;
  }
  // New entries go after the last whole entry of the file, even when a read
  // failure stopped loading early: never over an entry that may be sound.
  const auto entrySize = static_cast<int64_t>(kTrendIndexEntrySize);
  indexEnd_ = std::max(offset, size / entrySize * entrySize);
}

uint64_t TTrendFile::StampKey(double stamp) {
  if (stamp == 0.0) return 0;  // +0 and -0 compare equal
  uint64_t bits = 0;
  std::memcpy(&bits, &stamp, sizeof bits);
  return bits;
}

void TTrendFile::AddIndexEntry(double stamp, int32_t position) {
  const auto place = static_cast<uint32_t>(timeIndexes_.size());
  timeIndexes_.push_back(TIndexObject{stamp, position});
  nextSameMinute_.push_back(kNoEntry);
  if (std::isnan(stamp)) return;  // equal to no stamp at all
  MinuteEntries& minute = minutes_[StampKey(stamp)];
  if (minute.first == kNoEntry) {
    minute.first = place;
  } else {
    nextSameMinute_[minute.last] = place;
  }
  minute.last = place;
}

void TTrendFile::SetCheckSum(TrendRecord& record) {
  PutUint32(record.data() + TrendOffset::CheckSum,
            TrendCheckSum(record.data(), TrendOffset::CheckSum));
}

bool TTrendFile::CheckSumOK(const TrendRecord& record) {
  return RecordCheckSumOK(record.data());
}

bool TTrendFile::AppendRecord(const std::string& name, double read, double write, double ping,
                              double now) {
  TrendRecord record = MakeTrendRecord(name, read, write, ping);
  return AppendRecord(record, now);
}

bool TTrendFile::AppendRecord(TrendRecord& record, double now) {
  // Files that were busy or missing before may be free now (another copy closed).
  OpenFilesForRead();
  if (!data_.IsOpen() || !index_.IsOpen() || !data_.Writable() || !index_.Writable()) return false;
  ForgetBlocks();  // whatever happens now may change what the files hold
  const double stamp = MinuteStamp(now);
  PutDouble(record.data() + TrendOffset::Stamp, stamp);
  UpperCaseRecordName(record);
  const int64_t position = data_.Size();
  // Positions are stored as signed 32-bit numbers; a file past that would
  // get entries pointing at the wrong place.
  if (position < static_cast<int64_t>(kTrendHeaderSize) ||
      position > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  SetCheckSum(record);
  // The record is written before its index entry, so that an entry never
  // points at a record that a crash left unwritten; a failed write adds no
  // entry, and the next append writes its entry over a torn one.
  if (!data_.WriteAt(position, record.data(), record.size())) return false;
  const auto entry = MakeIndexEntry(stamp, static_cast<int32_t>(position));
  if (!index_.WriteAt(indexEnd_, entry.data(), entry.size())) return false;
  indexEnd_ += static_cast<int64_t>(entry.size());
  AddIndexEntry(stamp, static_cast<int32_t>(position));
  return true;
}

bool TTrendFile::IsWanted(const uint8_t* bytes, size_t available, const TrendRecord& wanted,
                          double stamp) {
  if (available < kTrendRecordSize) return false;
  if (GetDouble(bytes + TrendOffset::Stamp) != stamp) return false;
  const size_t length = wanted[TrendOffset::NameLength];
  return bytes[TrendOffset::NameLength] == length &&
         std::memcmp(bytes + TrendOffset::Name, wanted.data() + TrendOffset::Name, length) == 0;
}

bool TTrendFile::FindRecord(TrendRecord& record) {
  std::memset(record.data() + TrendOffset::Read, 0, TrendOffset::Reserved - TrendOffset::Read);
  if (!data_.IsOpen() || !index_.IsOpen()) return false;
  UpperCaseRecordName(record);
  const double stamp = MinuteStamp(GetDouble(record.data() + TrendOffset::Stamp));
  PutDouble(record.data() + TrendOffset::Stamp, stamp);
  const auto minute = minutes_.find(StampKey(stamp));
  if (minute == minutes_.end()) return false;

  if (MinuteBlock* block = MinuteBlockOf(minute->first, minute->second)) {
    const size_t got = block->bytes.size();
    size_t k = 0;
    for (uint32_t i = minute->second.first; i != kNoEntry; i = nextSameMinute_[i], ++k) {
      const int64_t position = timeIndexes_[i].Position;
      if (position < block->low) continue;
      const auto offset = static_cast<size_t>(position - block->low);
      if (offset > got) continue;
      const uint8_t* stored = block->bytes.data() + offset;
      if (!IsWanted(stored, got - offset, record, stamp)) continue;
      uint8_t& verdict = block->verdicts[k];
      if (verdict == kUnchecked) verdict = RecordCheckSumOK(stored) ? kGood : kBad;
      if (verdict == kGood) {
        std::memcpy(record.data(), stored, kTrendRecordSize);
        return true;
      }
    }
    return false;
  }
  // Entries of one minute far apart (a restart within the minute after a
  // torn write, or a damaged index): read them one by one.
  TrendRecord stored{};
  for (uint32_t i = minute->second.first; i != kNoEntry; i = nextSameMinute_[i]) {
    const int64_t position = timeIndexes_[i].Position;
    if (position < 0) continue;
    const size_t got = data_.ReadAt(position, stored.data(), stored.size());
    if (IsWanted(stored.data(), got, record, stamp) && CheckSumOK(stored)) {
      record = stored;
      return true;
    }
  }
  return false;
}

bool TTrendFile::FindRecord(const std::string& name, double stamp, TrendValues& out) {
  out = TrendValues{};
  TrendRecord record = MakeTrendRecord(name, 0, 0, 0);
  PutDouble(record.data() + TrendOffset::Stamp, stamp);
  if (!FindRecord(record)) return false;
  out.read = DecodeReal48(record.data() + TrendOffset::Read);
  out.write = DecodeReal48(record.data() + TrendOffset::Write);
  out.ping = DecodeReal48(record.data() + TrendOffset::Ping);
  return true;
}

}  // namespace tw
