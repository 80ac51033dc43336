#include "util/HelpFile.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "util/FileText.h"
#include "util/Text.h"

namespace tw {

namespace {

bool ValidTopicName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  }
  return true;
}

std::string Where(int line) {
  return "line " + std::to_string(line) + ": ";
}

// Collects the lines of one paragraph or item until a block ends.
class BlockBuilder {
 public:
  explicit BlockBuilder(HelpTopic& topic) : topic_(topic) {}
  void Start(HelpBlock::Kind kind, const std::string& text) {
    Flush();
    kind_ = kind;
    text_ = text;
    open_ = true;
    if (kind == HelpBlock::Kind::Heading) Flush();
  }
  void Continue(const std::string& text) {
    if (!open_) {
      Start(HelpBlock::Kind::Paragraph, text);
      return;
    }
    text_ += ' ';
    text_ += text;
  }
  void Flush() {
    if (!open_) return;
    topic_.blocks.push_back(HelpBlock{kind_, ParseHelpSpans(text_)});
    open_ = false;
  }

 private:
  HelpTopic& topic_;
  HelpBlock::Kind kind_ = HelpBlock::Kind::Paragraph;
  std::string text_;
  bool open_ = false;
};

// Finds the first "]]" at or after a position that only grows, reusing the
// last search, so that a text full of "[[" is still read once.
class LinkCloser {
 public:
  explicit LinkCloser(const std::string& text) : text_(text) {}
  size_t At(size_t from) {
    const bool stillAhead = searched_ && (found_ == std::string::npos || found_ >= from);
    if (!stillAhead) found_ = text_.find("]]", from);
    searched_ = true;
    return found_;
  }

 private:
  const std::string& text_;
  bool searched_ = false;
  size_t found_ = std::string::npos;
};

std::string EscapeHtml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string SpansToHtml(const std::vector<HelpSpan>& spans) {
  std::string html;
  for (const HelpSpan& span : spans) {
    std::string piece = EscapeHtml(span.text);
    if (span.italic) piece = "<i>" + piece + "</i>";
    if (span.bold) piece = "<b>" + piece + "</b>";
    if (!span.link.empty())
      piece = "<a href=\"topic:" + EscapeHtml(span.link) + "\">" + piece + "</a>";
    html += piece;
  }
  return html;
}

}  // namespace

std::vector<HelpSpan> ParseHelpSpans(const std::string& text) {
  std::vector<HelpSpan> spans;
  LinkCloser closer(text);
  bool bold = false;
  bool italic = false;
  std::string current;
  auto flush = [&] {
    if (!current.empty()) spans.push_back(HelpSpan{current, bold, italic, ""});
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "**") == 0) {
      flush();
      bold = !bold;
      ++i;
    } else if (text.compare(i, 2, "//") == 0 && !(i > 0 && text[i - 1] == ':')) {
      // "://" of an address is text, not a style mark.
      flush();
      italic = !italic;
      ++i;
    } else if (text.compare(i, 2, "[[") == 0 && closer.At(i + 2) != std::string::npos) {
      flush();
      const size_t end = closer.At(i + 2);
      const std::string inner = text.substr(i + 2, end - i - 2);
      const auto [target, label] = SplitAtFirst(inner, "|");
      spans.push_back(HelpSpan{label.empty() ? Trim(target) : label, bold, italic, Trim(target)});
      i = end + 1;
    } else {
      // Plain text up to the next possible mark goes in at once.
      const size_t next = std::min(text.find_first_of("*/[", i + 1), text.size());
      current.append(text, i, next - i);
      i = next - 1;
    }
  }
  flush();
  return spans;
}

namespace {

// Topics and context numbers in the text, counted ahead so that the look-up
// tables are made once at their size.
size_t CountOf(const std::string& text, const char* directive) {
  size_t count = 0;
  for (size_t at = text.find(directive); at != std::string::npos; at = text.find(directive, at + 1))
    ++count;
  return count;
}

}  // namespace

HelpFile HelpFile::Parse(const std::string& text) {
  HelpFile file;
  const size_t topics = CountOf(text, "\n@topic") + 1;
  file.topics_.reserve(topics);
  file.topicIndex_.reserve(topics);
  file.contextIndex_.reserve(CountOf(text, "\n@context") * 2 + 1);
  std::string line;
  size_t lineStart = 0;
  int number = 0;
  HelpTopic* topic = nullptr;
  std::optional<BlockBuilder> blocks;
  std::vector<std::pair<std::string, int>> links;  // target, line
  auto finishTopic = [&] {
    if (blocks) blocks->Flush();
    blocks.reset();
  };
  while (lineStart < text.size()) {
    const size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
    line.assign(text, lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == ';') continue;
    const std::string trimmed = Trim(line);
    if (line.rfind("@topic", 0) == 0) {
      finishTopic();
      const std::string name = Trim(line.substr(6));
      if (!ValidTopicName(name))
        file.problems_.push_back(Where(number) + "bad topic name \"" + name + "\"");
      if (!file.topicIndex_.emplace(AsciiUpper(name), file.topics_.size()).second)
        file.problems_.push_back(Where(number) + "topic \"" + name + "\" defined twice");
      file.topics_.push_back(HelpTopic{name, name, {}, true, {}});
      topic = &file.topics_.back();
      blocks.emplace(*topic);
      continue;
    }
    if (topic == nullptr) {
      if (!trimmed.empty()) file.problems_.push_back(Where(number) + "text before the first topic");
      continue;
    }
    if (line.rfind("@title", 0) == 0) {
      topic->title = Trim(line.substr(6));
    } else if (line.rfind("@context", 0) == 0) {
      std::istringstream numbers(line.substr(8));
      std::string word;
      while (numbers >> word) {
        const bool digits =
            word.find_first_not_of("0123456789") == std::string::npos && word.size() < 9;
        if (!digits) {
          file.problems_.push_back(Where(number) + "bad context number \"" + word + "\"");
          continue;
        }
        const int context = std::stoi(word);
        if (!file.contextIndex_.emplace(context, file.topics_.size() - 1).second)
          file.problems_.push_back(Where(number) + "context " + word + " used twice");
        topic->contexts.push_back(context);
      }
    } else if (line.rfind("@contents", 0) == 0) {
      topic->inContents = Trim(line.substr(9)) != "no";
    } else if (!line.empty() && line[0] == '@') {
      file.problems_.push_back(Where(number) + "unknown directive");
    } else if (trimmed.empty()) {
      blocks->Flush();
    } else if (line.rfind("## ", 0) == 0) {
      blocks->Start(HelpBlock::Kind::Heading, Trim(line.substr(3)));
    } else if (line.rfind("- ", 0) == 0) {
      blocks->Start(HelpBlock::Kind::Item, Trim(line.substr(2)));
    } else {
      blocks->Continue(trimmed);
      // Links do not nest: the next one starts after this one's end.
      for (size_t at = line.find("[["); at != std::string::npos; at = line.find("[[", at)) {
        const size_t end = line.find("]]", at + 2);
        if (end == std::string::npos) break;
        links.emplace_back(Trim(SplitAtFirst(line.substr(at + 2, end - at - 2), "|").first),
                           number);
        at = end + 2;
      }
    }
  }
  finishTopic();
  for (const auto& [target, at] : links) {
    if (file.FindTopic(target) == nullptr)
      file.problems_.push_back(Where(at) + "link to missing topic \"" + target + "\"");
  }
  return file;
}

std::optional<HelpFile> HelpFile::Load(const std::string& path) {
  const auto text = ReadFileBounded(path, kMaxFileBytes);
  if (!text) return std::nullopt;
  return Parse(*text);
}

const HelpTopic* HelpFile::FindTopic(const std::string& name) const {
  const auto found = topicIndex_.find(AsciiUpper(name));
  return found == topicIndex_.end() ? nullptr : &topics_[found->second];
}

const HelpTopic* HelpFile::FindContext(int context) const {
  const auto found = contextIndex_.find(context);
  return found == contextIndex_.end() ? nullptr : &topics_[found->second];
}

std::string HelpTopicToHtml(const HelpTopic& topic, bool withTitle) {
  std::string html;
  if (withTitle) html += "<h2>" + EscapeHtml(topic.title) + "</h2>\n";
  bool inList = false;
  for (const HelpBlock& block : topic.blocks) {
    const bool item = block.kind == HelpBlock::Kind::Item;
    if (item && !inList) html += "<ul>\n";
    if (!item && inList) html += "</ul>\n";
    inList = item;
    const std::string body = SpansToHtml(block.spans);
    switch (block.kind) {
      case HelpBlock::Kind::Heading:
        html += "<h3>" + body + "</h3>\n";
        break;
      case HelpBlock::Kind::Item:
        html += "<li>" + body + "</li>\n";
        break;
      case HelpBlock::Kind::Paragraph:
        html += "<p>" + body + "</p>\n";
        break;
    }
  }
  if (inList) html += "</ul>\n";
  return html;
}

}  // namespace tw
