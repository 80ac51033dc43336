// The help file "TARNWICK.HLP": topics with names, context numbers and
// lightly formatted text, in a plain-text format of our own (docs/help.md).
//
//   ; a comment line
//   @topic Main_index          starts a topic (letters, digits, "_")
//   @title Tarnwick help       its heading and its line in the contents
//   @context 117 119           context numbers that pop this topic up
//   @contents no               keeps a pop-up-only topic out of the contents
//   Text lines; an empty line ends a paragraph.
//   ## A heading
//   - A list item
//   Inline: **bold**, //italic//, [[Topic_name]] or [[Topic_name|link text]].
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tw {

// A run of text with its style; a non-empty `link` names the target topic.
struct HelpSpan {
  std::string text;
  bool bold = false;
  bool italic = false;
  std::string link;
};

struct HelpBlock {
  enum class Kind { Paragraph, Heading, Item };
  Kind kind = Kind::Paragraph;
  std::vector<HelpSpan> spans;
};

struct HelpTopic {
  std::string name;
  std::string title;
  std::vector<int> contexts;
  bool inContents = true;
  std::vector<HelpBlock> blocks;
};

class HelpFile {
 public:
  // Larger files are refused (the real one is a few dozen KB).
  static constexpr size_t kMaxFileBytes = 4u << 20;

  // Parses the text; problems are collected in Problems(), never thrown.
  static HelpFile Parse(const std::string& text);
  // Reads and parses a file; nothing when it cannot be read.
  static std::optional<HelpFile> Load(const std::string& path);

  const std::vector<HelpTopic>& Topics() const { return topics_; }
  // Topic names match without regard to letter case, like the help system's.
  // Where a name or number is given twice, the first topic wins. Both
  // look-ups take constant time, so parsing stays linear in the file size.
  const HelpTopic* FindTopic(const std::string& name) const;
  const HelpTopic* FindContext(int context) const;
  // The first topic of the file: what "contents" opens.
  const HelpTopic* ContentsTopic() const { return topics_.empty() ? nullptr : &topics_.front(); }
  // Duplicate names or numbers, links to missing topics, malformed lines;
  // each with its line number.
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  std::vector<HelpTopic> topics_;
  std::vector<std::string> problems_;
  std::unordered_map<std::string, size_t> topicIndex_;  // upper-cased name -> topic
  std::unordered_map<int, size_t> contextIndex_;        // context number -> topic
};

// The inline markup of one text: bold, italic and links.
std::vector<HelpSpan> ParseHelpSpans(const std::string& text);

// The topic as HTML for a rich-text view; links become "topic:Name".
// `withTitle` puts the title first as a heading.
std::string HelpTopicToHtml(const HelpTopic& topic, bool withTitle = true);

}  // namespace tw
