#include "util/BookmarkFormats.h"

#include "util/Text.h"

namespace tw {

namespace {

// Calls `line` for every line of `text`; stops when it returns false.
template <typename LineFn>
void ForEachLine(const std::string& text, LineFn line) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    const size_t stop = end == std::string::npos ? text.size() : end;
    if (!line(text.substr(start, stop - start))) return;
    if (end == std::string::npos) return;
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

std::string DecodeReferences(const std::string& text) {
  static const std::pair<const char*, char> kReferences[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
  if (text.find('&') == std::string::npos) return text;
  std::string decoded;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [reference, character] : kReferences) {
      const std::string name = reference;
      if (text.compare(i, name.size(), name) == 0) {
        decoded += character;
        i += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) decoded += text[i++];
  }
  return decoded;
}

// The text of a row, decoded and cut to the length the fields take.
std::string RowText(const std::string& raw) {
  // A reference is at most six bytes, so this much raw text is enough.
  return CutUtf8(DecodeReferences(raw.substr(0, kMaxBookmarkText * 6)), kMaxBookmarkText);
}

// Applies the title rule and the link rule to one line.
void ReadLine(std::string line, std::string& title, bool& titleFound,
              std::vector<BookmarkEntry>& entries) {
  if (line.find("TITLE") != std::string::npos) {
    line = SplitAtFirst(line, "TITLE").second;
    line = SplitAtFirst(line, ">").second;
    auto [caption, rest] = SplitAtFirst(line, "<");
    title = RowText(caption);
    titleFound = true;
    line = rest;
  }
  if (line.find("HREF") == std::string::npos) return;
  line = SplitAtFirst(line, "HREF").second;
  line = SplitAtFirst(line, "\"").second;
  auto [address, rest] = SplitAtFirst(line, "\"");
  rest = SplitAtFirst(rest, ">").second;
  const std::string name = SplitAtFirst(rest, "<").first;
  if (!address.empty()) entries.push_back({RowText(name), RowText(address)});
}

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

void ParseNetscapeBookmarks(const std::string& text, size_t maxEntries, std::string& title,
                            bool& titleFound, std::vector<BookmarkEntry>& entries) {
  ForEachLine(text, [&](const std::string& line) {
    if (entries.size() >= maxEntries) return false;
    ReadLine(line, title, titleFound, entries);
    return true;
  });
}

std::string InternetShortcutUrl(const std::string& text) {
  const std::string body = text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
  bool inSection = false;
  bool sectionSeen = false;
  std::string url;
  ForEachLine(body, [&](const std::string& raw) {
    const std::string line = TrimBlanks(raw);
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      const std::string name =
          TrimBlanks(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      // Only the first section of that name counts.
      inSection = !sectionSeen && EqualsIgnoreCase(name, "InternetShortcut");
      sectionSeen = sectionSeen || inSection;
      return true;
    }
    const size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos) return true;
    if (!EqualsIgnoreCase(TrimBlanks(line.substr(0, equals)), "URL")) return true;
    url = Unquote(TrimBlanks(line.substr(equals + 1)));
    return false;
  });
  return CutUtf8(url, kMaxBookmarkText);
}

std::string ShortcutListName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return SplitAtFirst(name, ".").first;
}

std::string CutUtf8(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t end = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of a character.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace tw
