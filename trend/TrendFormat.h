// The byte layout of the trend files "MERLISK.D" and "MERLISK.ND": the data
// file header, the 288-byte trend record, the 12-byte index entry, the 6-byte
// real of the speeds, the checksum and the minute stamp. All numbers are
// little-endian. Other programs read these files: keep them byte for byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tw {

constexpr size_t kTrendHeaderSize = 12;
constexpr size_t kTrendRecordSize = 288;
constexpr size_t kTrendIndexEntrySize = 12;
constexpr size_t kTrendNameMax = 255;

// Offsets inside a trend record.
namespace TrendOffset {
constexpr size_t NameLength = 0;  // 1 byte, 0..255
constexpr size_t Name = 1;        // 255 bytes
constexpr size_t Read = 256;      // 6-byte real, Kbps
constexpr size_t Write = 262;     // 6-byte real, Kbps
constexpr size_t Ping = 268;      // 6-byte real, Kbps
constexpr size_t Reserved = 274;  // 2 bytes, not read
constexpr size_t Stamp = 276;     // double, minute stamp
constexpr size_t CheckSum = 284;  // 4 bytes over bytes 0..283
}  // namespace TrendOffset

using TrendRecord = std::array<uint8_t, kTrendRecordSize>;
using Real48 = std::array<uint8_t, 6>;

// The 6-byte real nearest to `value` (halves away from zero). Values too
// small for the format (below 2^-128 in magnitude) and NaN become 0; values
// too large become the largest one of their sign.
Real48 EncodeReal48(double value);
double DecodeReal48(const uint8_t* bytes);

// The checksum of the files: the XOR of all bytes times 65,536 plus the sum of
// every byte times (its 1-based place mod 256), mod 65,536. "abc" gives 0x0060024E.
uint32_t TrendCheckSum(const uint8_t* bytes, size_t count);

// A date-time (days since 30 December 1899) rounded to its minute: the minute
// count rounded half to even, times 1/1440 in 64-bit-mantissa precision, then
// rounded to a double. Computed in integers so that every build and platform
// gives the very bits that writing and looking up compare.
double MinuteStamp(double dateTime);

void PutUint32(uint8_t* at, uint32_t value);
uint32_t GetUint32(const uint8_t* at);
void PutDouble(uint8_t* at, double value);
double GetDouble(const uint8_t* at);

// The 12-byte header of a new data file for a creation stamp.
std::array<uint8_t, kTrendHeaderSize> MakeTrendHeader(double stamp);

// One index entry: the record's minute stamp and its byte position in the data file.
std::array<uint8_t, kTrendIndexEntrySize> MakeIndexEntry(double stamp, int32_t position);

// A record holding `name` (cut to 255 bytes, not upper-cased) and three speeds
// in Kbps; every other byte is 0.
TrendRecord MakeTrendRecord(const std::string& name, double read, double write, double ping);

// Upper-cases the record's name bytes in place (a..z and 224..255 lowered by 32).
void UpperCaseRecordName(TrendRecord& record);

}  // namespace tw
