#include "monitor/IniFile.h"

#include "util/FileText.h"
#include "util/Text.h"

namespace tw {

namespace {

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// A value in a matching pair of quotes reads without them.
std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool ParseUnsigned(const std::string& digits, int base, uint64_t& out) {
  if (digits.empty()) return false;
  uint64_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0) return false;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return false;
  }
  out = value;
  return true;
}

}  // namespace

IniFile IniFile::FromText(const std::string& text) {
  IniFile ini;
  static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
  size_t start = text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ini.AddLine(line);
    start = end + 1;
  }
  return ini;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
  const auto text = ReadFileBounded(path, kMaxFileBytes);
  if (!text) return std::nullopt;
  return FromText(*text);
}

void IniFile::AddLine(const std::string& raw) {
  const std::string trimmed = Trim(raw);
  if (!trimmed.empty() && trimmed.front() == '[') {
    const size_t close = trimmed.find(']');
    Section section;
    section.header = raw;
    section.name =
        Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    section.duplicate = !sectionIndex_.emplace(AsciiUpper(section.name), sections_.size()).second;
    sections_.push_back(std::move(section));
    return;
  }
  if (sections_.empty()) {
    preamble_.push_back(raw);
    return;
  }
  Section& section = sections_.back();
  Line line;
  line.text = raw;
  if (const size_t eq = raw.find('='); eq != std::string::npos) {
    const std::string key = Trim(raw.substr(0, eq));
    if (!key.empty()) {
      line.isKey = true;
      line.value = Unquote(Trim(raw.substr(eq + 1)));
      section.keys.emplace(AsciiUpper(key), section.lines.size());
    }
  }
  section.lines.push_back(std::move(line));
}

IniFile::Section* IniFile::FindSection(const std::string& name) {
  const auto found = sectionIndex_.find(AsciiUpper(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
  return const_cast<IniFile*>(this)->FindSection(name);
}

IniFile::Line IniFile::KeyLine(const std::string& key, const std::string& encoded) {
  Line line;
  line.text = key + "=" + encoded;
  line.isKey = true;
  line.value = Unquote(Trim(encoded));
  return line;
}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(Trim(section));
  if (s == nullptr) return std::nullopt;
  const auto found = s->keys.find(AsciiUpper(Trim(key)));
  if (found == s->keys.end()) return std::nullopt;
  return s->lines[found->second].value;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  return Find(section, key).value_or(fallback);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t fallback) const {
  const auto found = Find(section, key);
  if (!found) return fallback;
  std::string text = Trim(*found);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.erase(0, 1);
  }
  uint64_t magnitude = 0;
  if (!text.empty() && text[0] == '$') {
    if (!ParseUnsigned(text.substr(1), 16, magnitude)) return fallback;
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (!ParseUnsigned(text.substr(2), 16, magnitude)) return fallback;
  } else {
    if (!ParseUnsigned(text, 10, magnitude) || magnitude > 0x7FFFFFFFull + (negative ? 1 : 0))
      return fallback;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
  }
  // Hexadecimal values carry bit patterns (colours): keep all 32 bits.
  const auto bits = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
  return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(bits)) : bits;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::string IniFile::EncodeValue(const std::string& value) {
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  const bool blankAtEnd = !clean.empty() && (static_cast<unsigned char>(clean.front()) <= ' ' ||
                                             static_cast<unsigned char>(clean.back()) <= ' ');
  const bool quoted = clean.size() >= 2 && IsQuote(clean.front()) && clean.back() == clean.front();
  if (blankAtEnd || quoted) return '"' + clean + '"';
  return clean;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  SetKey(section, key, EncodeValue(value));
}

void IniFile::WriteVerbatim(const std::string& section, const std::string& key,
                            const std::string& value) {
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  SetKey(section, key, clean);
}

void IniFile::SetKey(const std::string& section, const std::string& key,
                     const std::string& encoded) {
  const std::string sectionName = Trim(section);
  const std::string keyName = Trim(key);
  Section* s = FindSection(sectionName);
  if (s == nullptr) {
    // A new section goes at the end, after an empty line.
    std::vector<Line>* last = sections_.empty() ? nullptr : &sections_.back().lines;
    if (last != nullptr && (last->empty() || !Trim(last->back().text).empty()))
      last->push_back(Line{});
    if (last == nullptr && !preamble_.empty() && !Trim(preamble_.back()).empty())
      preamble_.emplace_back();
    sectionIndex_.emplace(AsciiUpper(sectionName), sections_.size());
    sections_.push_back(Section{"[" + sectionName + "]", sectionName, false, {}, {}});
    s = &sections_.back();
  }
  const std::string upperKey = AsciiUpper(keyName);
  if (const auto found = s->keys.find(upperKey); found != s->keys.end()) {
    s->lines[found->second] = KeyLine(keyName, encoded);
    return;
  }
  // After the section's last key: blank lines before the next section stay.
  size_t insertAt = s->lines.size();
  while (insertAt > 0 && Trim(s->lines[insertAt - 1].text).empty()) --insertAt;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  KeyLine(keyName, encoded));
  s->keys.emplace(upperKey, insertAt);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::ClearSection(const std::string& section) {
  Section* s = FindSection(Trim(section));
  if (s == nullptr) return;
  std::vector<Line> kept;
  for (Line& line : s->lines) {
    if (!line.isKey) kept.push_back(std::move(line));
  }
  s->lines = std::move(kept);
  s->keys.clear();
}

std::string IniFile::ToText() const {
  std::string text;
  auto add = [&text](const std::string& line) {
    text += line;
    text += "\r\n";
  };
  for (const std::string& line : preamble_) add(line);
  for (const Section& section : sections_) {
    add(section.header);
    for (const Line& line : section.lines) add(line.text);
  }
  return text;
}

}  // namespace tw
