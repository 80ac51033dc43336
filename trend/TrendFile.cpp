#include "trend/TrendFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "util/DateTime.h"

namespace tw {

namespace {

// How many bytes of minute blocks are kept for further lookups: a day of
// 1000 resources (96 x 1000 records) fits, so a redraw reads each minute once.
constexpr size_t kMaxBlockBytes = 32 << 20;
constexpr uint8_t kUnchecked = 0, kGood = 1, kBad = 2;
constexpr auto kHeader = static_cast<int64_t>(kTrendHeaderSize);
constexpr auto kRecord = static_cast<int64_t>(kTrendRecordSize);

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
  ClearIndex();
  indexEnd_ = 0;
}

void TTrendFile::ForgetBlocks() {
  blocks_.clear();
  blockBytes_ = 0;
}

TTrendFile::MinuteBlock& TTrendFile::MinuteBlockOf(uint64_t key, const MinuteEntries& entries) {
  const auto known = blocks_.find(key);
  if (known != blocks_.end()) return known->second;
  std::vector<int64_t> positions;
  positions.reserve(entries.count);
  int64_t low = std::numeric_limits<int64_t>::max();
  int64_t high = 0;
  for (uint32_t i = entries.first; i != kNoEntry; i = nextSameMinute_[i]) {
    const int64_t position = PositionOf(entries_[i]);
    positions.push_back(position);
    low = std::min(low, position);
    high = std::max(high, position + kRecord);
  }
  MinuteBlock block;
  // A minute's records normally lie side by side and are read at once; when
  // they lie far apart (a clock set back, a damaged index) each is read alone.
  const auto total = static_cast<int64_t>(positions.size()) * kRecord;
  if (high - low <= 2 * total) {
    ReadSpan(block, positions, low, high);
  } else {
    GatherRecords(block, positions);
  }
  block.verdicts.assign(positions.size(), kUnchecked);
  if (blockBytes_ + block.bytes.size() > kMaxBlockBytes) ForgetBlocks();
  blockBytes_ += block.bytes.size();
  return blocks_.emplace(key, std::move(block)).first->second;
}

void TTrendFile::ReadSpan(MinuteBlock& block, const std::vector<int64_t>& positions, int64_t low,
                          int64_t high) const {
  block.bytes.resize(static_cast<size_t>(high - low));
  block.bytes.resize(data_.ReadAt(low, block.bytes.data(), block.bytes.size()));
  block.offsets.reserve(positions.size());
  for (const int64_t position : positions) {
    const auto offset = static_cast<size_t>(position - low);
    const bool whole = offset + kTrendRecordSize <= block.bytes.size();
    block.offsets.push_back(whole ? static_cast<uint32_t>(offset) : kNoRecord);
  }
}

void TTrendFile::GatherRecords(MinuteBlock& block, const std::vector<int64_t>& positions) const {
  block.bytes.resize(positions.size() * kTrendRecordSize);
  block.offsets.reserve(positions.size());
  for (size_t k = 0; k < positions.size(); ++k) {
    uint8_t* at = block.bytes.data() + k * kTrendRecordSize;
    const bool whole = data_.ReadAt(positions[k], at, kTrendRecordSize) == kTrendRecordSize;
    block.offsets.push_back(whole ? static_cast<uint32_t>(k * kTrendRecordSize) : kNoRecord);
  }
}

uint64_t TTrendFile::StampKey(double stamp) {
  if (stamp == 0.0) return 0;  // +0 and -0 compare equal
  uint64_t bits = 0;
  std::memcpy(&bits, &stamp, sizeof bits);
  return bits;
}

void TTrendFile::AddIndexEntry(double stamp, int32_t position) {
  const auto place = static_cast<uint32_t>(entries_.size());
  const auto record = static_cast<uint32_t>((position - kHeader) / kRecord);
  entries_.push_back(KeptEntry{record, MinuteOf(stamp)});
  nextSameMinute_.push_back(kNoEntry);
  if (!LinkIntoMinute(place)) {
    entries_.pop_back();
    nextSameMinute_.pop_back();
  }
}

int64_t TTrendFile::PositionOf(const KeptEntry& entry) {
  return kHeader + static_cast<int64_t>(entry.record) * kRecord;
}

std::vector<TIndexObject> TTrendFile::TimeIndexes() const {
  std::vector<TIndexObject> list;
  list.reserve(entries_.size());
  for (const KeptEntry& entry : entries_) {
    list.push_back(
        TIndexObject{minuteList_[entry.minute].stamp, static_cast<int32_t>(PositionOf(entry))});
  }
  return list;
}

int64_t TTrendFile::NextRecordPosition() const {
  // Records go on their boundaries, where loading looks for them. A torn
  // record that a crash or a full disk left at the end is written over: it
  // has no index entry, because an entry is written only after its record.
  const int64_t size = data_.Size();
  if (size < kHeader) return -1;
  return kHeader + (size - kHeader) / kRecord * kRecord;
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
  const int64_t position = NextRecordPosition();
  // Positions are stored as signed 32-bit numbers; a file past that would
  // get entries pointing at the wrong place.
  if (position < kHeader || position > std::numeric_limits<int32_t>::max()) {
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
  try {
    AddIndexEntry(stamp, static_cast<int32_t>(position));
  } catch (const std::bad_alloc&) {
    // Stored all the same; only this run's lookups miss it.
  }
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
  const uint64_t key = StampKey(stamp);
  const auto minute = minuteIds_.find(key);
  if (minute == minuteIds_.end()) return false;
  try {
    return FindInMinute(record, stamp, key, minuteList_[minute->second]);
  } catch (const std::bad_alloc&) {
    ForgetBlocks();
    return false;
  }
}

bool TTrendFile::FindInMinute(TrendRecord& record, double stamp, uint64_t key,
                              const MinuteEntries& entries) {
  MinuteBlock& block = MinuteBlockOf(key, entries);
  for (size_t k = 0; k < block.offsets.size(); ++k) {
    if (block.offsets[k] == kNoRecord) continue;
    const uint8_t* stored = block.bytes.data() + block.offsets[k];
    if (!IsWanted(stored, kTrendRecordSize, record, stamp)) continue;
    uint8_t& verdict = block.verdicts[k];
    if (verdict == kUnchecked) verdict = RecordCheckSumOK(stored) ? kGood : kBad;
    if (verdict == kGood) {
      std::memcpy(record.data(), stored, kTrendRecordSize);
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
