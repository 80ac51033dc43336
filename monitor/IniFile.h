// An INI document read and written the way the Windows private-profile
// functions treat such files, so that a file written there and one written
// here are interchangeable:
// - section and key names match without regard to ASCII letter case;
// - the first occurrence of a section or key wins;
// - blanks around names and values are ignored; a value enclosed in a
//   matching pair of double (or single) quotes reads without them;
// - lines may end in CR LF or LF; written lines end in CR LF, as "key=value"
//   without blanks around "=".
// The document keeps every line it does not change, in its place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tw {

class IniFile {
 public:
  // Files larger than this are not read: 1000 resources, the most the
  // program keeps, take about 4 MB (10 MB with long texts in every cell).
  // The reader treats larger files as
  // unreadable.
  static constexpr size_t kMaxFileBytes = 32u << 20;

  IniFile() = default;
  // Parses the text of an INI file. A UTF-8 byte-order mark at its start (as
  // some editors write it) is skipped; it is not written back.
  static IniFile FromText(const std::string& text);
  // Reads a file; nothing when it is missing, unreadable or too large.
  static std::optional<IniFile> Load(const std::string& path);

  // The value of a key, or nothing when the section or key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // Decimal, or hexadecimal after "0x" or "$"; anything else (and a value
  // beyond 32 bits) reads as `fallback`.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
  // An integer: true when not 0.
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

  // Sets the first occurrence of a key, or adds the key at the end of its
  // section, or the section at the end of the document.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Writes the value as given (line breaks still become blanks), for values
  // whose blanks at the ends carry no meaning, such as the scale texts.
  void WriteVerbatim(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int64_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  // Removes every key of a section (the section header stays).
  void ClearSection(const std::string& section);

  // The document as file text with CR LF line ends.
  std::string ToText() const;

  // How a value is written so that it reads back unchanged: line breaks
  // become blanks, and a value with blanks at an end or enclosed in quotes is
  // put in double quotes.
  static std::string EncodeValue(const std::string& value);

 private:
  struct Line {
    std::string text;  // the line as read or written, without its line end
    bool isKey = false;
    std::string value;  // value as read: trimmed and unquoted (key lines only)
  };
  struct Section {
    std::string header;       // the "[name]" line as read or written
    std::string name;         // trimmed name
    bool duplicate = false;   // a later section of an earlier name: never read
    std::vector<Line> lines;  // the lines after the header
    // Upper-cased key name -> index of its first line in `lines`.
    std::unordered_map<std::string, size_t> keys;
  };

  Section* FindSection(const std::string& name);
  const Section* FindSection(const std::string& name) const;
  void AddLine(const std::string& raw);
  static Line KeyLine(const std::string& key, const std::string& encoded);
  void SetKey(const std::string& section, const std::string& key, const std::string& encoded);

  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  // Upper-cased section name -> index of its first section in `sections_`,
  // so that a file of many sections still reads in linear time.
  std::unordered_map<std::string, size_t> sectionIndex_;
};

}  // namespace tw
