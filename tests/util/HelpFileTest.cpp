// The help file format and the committed help file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include <sys/stat.h>
#include <filesystem>

#include "support/TempDir.h"
#include "support/Watchdog.h"
#include "util/HelpFile.h"
#include "util/HelpIds.h"

namespace tw {
namespace {

TEST(HelpFileTest, ParsesTopicsContextsAndBlocks) {
  const HelpFile file = HelpFile::Parse(
      "; comment\r\n"
      "@topic First\r\n@title The first\r\n@context 5 7\r\n"
      "Two lines of\r\none paragraph with **bold** and //italic//.\r\n\r\n"
      "## Heading\r\n- item one\r\n  continued\r\n- item [[second|two]]\r\n"
      "@topic second\r\n@contents no\r\nSee http://example.com and [[First]].\r\n");
  EXPECT_TRUE(file.Problems().empty()) << file.Problems().front();
  ASSERT_EQ(file.Topics().size(), 2u);
  const HelpTopic& first = file.Topics()[0];
  EXPECT_EQ(first.title, "The first");
  EXPECT_EQ(file.FindContext(7), &first);
  EXPECT_EQ(file.FindTopic("SECOND"), &file.Topics()[1]);
  EXPECT_EQ(file.FindContext(6), nullptr);
  EXPECT_EQ(file.ContentsTopic(), &first);
  EXPECT_FALSE(file.Topics()[1].inContents);
  ASSERT_EQ(first.blocks.size(), 4u);
  EXPECT_EQ(first.blocks[0].spans[0].text, "Two lines of one paragraph with ");
  EXPECT_TRUE(first.blocks[0].spans[1].bold);
  EXPECT_TRUE(first.blocks[0].spans[3].italic);
  EXPECT_EQ(first.blocks[1].kind, HelpBlock::Kind::Heading);
  EXPECT_EQ(first.blocks[2].spans[0].text, "item one continued");
  EXPECT_EQ(first.blocks[3].spans[1].link, "second");
  EXPECT_EQ(first.blocks[3].spans[1].text, "two");
  EXPECT_EQ(HelpTopicToHtml(file.Topics()[1], false),
            "<p>See http://example.com and <a href=\"topic:First\">First</a>.</p>\n");
}

TEST(HelpFileTest, ReportsBrokenFilesWithoutFailing) {
  const struct {
    const char* text;
    const char* problem;
  } cases[] = {
      {"@topic A\n@topic a\n", "defined twice"},
      {"@topic A\n@context 1\n@topic B\n@context 1\n", "context 1 used twice"},
      {"@topic A\n@context x1\n", "bad context number"},
      {"@topic A\nsee [[Nowhere]]\n", "missing topic"},
      {"text first\n@topic A\n", "before the first topic"},
      {"@topic bad name\n", "bad topic name"},
      {"@topic A\n@colour red\n", "unknown directive"},
  };
  for (const auto& c : cases) {
    const HelpFile file = HelpFile::Parse(c.text);
    ASSERT_FALSE(file.Problems().empty()) << c.text;
    EXPECT_NE(file.Problems().front().find(c.problem), std::string::npos)
        << file.Problems().front();
  }
}

TEST(HelpFileTest, HtmlEscapesTheText) {
  const HelpFile file = HelpFile::Parse("@topic A\n@title a<b\nx < y & \"z\"\n");
  EXPECT_EQ(HelpTopicToHtml(file.Topics()[0]),
            "<h2>a&lt;b</h2>\n<p>x &lt; y &amp; &quot;z&quot;</p>\n");
}

TEST(HelpFileTest, ArbitraryTextParsesSafely) {
  const std::string alphabet = "@topic context title contents no 12 [[]]|**//##- \r\n;:A_";
  std::mt19937 random(777);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const size_t length = random() % 300;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    const HelpFile file = HelpFile::Parse(text);
    for (const HelpTopic& topic : file.Topics()) HelpTopicToHtml(topic);
  }
}

// 160,000 topics (about 3 MB, under the size limit): every topic and number
// is found by a hash look-up, so the parse is linear. A quadratic parse
// takes minutes here and the test runner's timeout stops it.
TEST(HelpFileTest, AFileOf160000TopicsParsesAndFindsItsLastTopic) {
  constexpr int kTopics = 160000;
  std::string text;
  for (int i = 0; i < kTopics; ++i) {
    text += "@topic T" + std::to_string(i) + "\n";
    if (i % 2 == 1) text += "@context " + std::to_string(i) + "\n";
    if (i % 10 == 9) text += "[[T" + std::to_string(i - 9) + "]]\n";
  }
  ASSERT_LT(text.size(), HelpFile::kMaxFileBytes);
  test::TempDir folder;
  std::ofstream(folder.File("TARNWICK.HLP"), std::ios::binary) << text;
  const auto file = HelpFile::Load(folder.File("TARNWICK.HLP"));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->Topics().size(), static_cast<size_t>(kTopics));
  EXPECT_TRUE(file->Problems().empty());
  const std::string last = "t" + std::to_string(kTopics - 1);
  ASSERT_NE(file->FindTopic(last), nullptr);
  EXPECT_EQ(file->FindTopic(last)->name, "T" + std::to_string(kTopics - 1));
  ASSERT_NE(file->FindContext(kTopics - 1), nullptr);
  EXPECT_EQ(file->FindContext(kTopics - 1), file->FindTopic(last));
  EXPECT_EQ(file->FindContext(kTopics - 2), nullptr);
}

// The first of two topics with one name or number is the one found.
TEST(HelpFileTest, TheFirstOfTwiceGivenNamesAndNumbersWins) {
  const HelpFile file =
      HelpFile::Parse("@topic A\n@context 5\n@topic a\n@context 5 6\n@title second\n");
  ASSERT_EQ(file.Topics().size(), 2u);
  EXPECT_EQ(file.FindTopic("A"), &file.Topics()[0]);
  EXPECT_EQ(file.FindContext(5), &file.Topics()[0]);
  EXPECT_EQ(file.FindContext(6), &file.Topics()[1]);
  EXPECT_EQ(file.Problems().size(), 2u);
}

// A text full of link openers without a close is read once, not once per
// opener.
TEST(HelpFileTest, ALineOfUnclosedLinksParsesInLinearTime) {
  std::string opener;
  for (int i = 0; i < 1000000; ++i) opener += "[[";
  const HelpFile file = HelpFile::Parse("@topic A\n" + opener + "\n@topic B\n" + opener + "]]\n");
  ASSERT_EQ(file.Topics().size(), 2u);
  ASSERT_EQ(file.Topics()[0].blocks.size(), 1u);
  EXPECT_EQ(file.Topics()[0].blocks[0].spans[0].text, opener);
}

// A FIFO or a folder in the help file's place is refused at once.
TEST(HelpFileTest, SpecialFilesAreRefusedWithoutWaiting) {
  test::TempDir folder;
  mkfifo(folder.File("fifo").c_str(), 0600);
  std::filesystem::create_directory(folder.File("folder"));
  test::Watchdog watchdog(20, "loading a FIFO as the help file");
  EXPECT_FALSE(HelpFile::Load(folder.File("fifo")).has_value());
  EXPECT_FALSE(HelpFile::Load(folder.File("folder")).has_value());
}

// Every topic name and context number the windows use opens a topic with
// text, in the source file and in the copy beside the program.
TEST(HelpFileTest, EveryTopicAndContextTheProgramUsesResolves) {
  const char* source = std::getenv("TARNWICK_SOURCE_DIR");
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (source == nullptr) GTEST_SKIP() << "TARNWICK_SOURCE_DIR is not set";
  std::vector<std::string> paths{std::string(source) + "/resources/TARNWICK.HLP"};
  // The copy beside the program exists in builds with the windows.
  if (bin != nullptr && std::ifstream(std::string(bin) + "/TARNWICK.HLP"))
    paths.push_back(std::string(bin) + "/TARNWICK.HLP");
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const auto file = HelpFile::Load(path);
    ASSERT_TRUE(file.has_value());
    for (const std::string& problem : file->Problems()) ADD_FAILURE() << problem;
    EXPECT_EQ(file->ContentsTopic()->name, HelpTopicName::MainIndex);
    for (const char* name : kAllHelpTopics) {
      const HelpTopic* topic = file->FindTopic(name);
      ASSERT_NE(topic, nullptr) << name;
      EXPECT_GE(topic->blocks.size(), 1u) << name;
    }
    for (int context : kAllHelpContexts) {
      const HelpTopic* topic = file->FindContext(context);
      ASSERT_NE(topic, nullptr) << context;
      EXPECT_GE(topic->blocks.size(), 1u) << context;
    }
  }
}

}  // namespace
}  // namespace tw
