// The bookmark file readers and the folder picker's texts: the splitting
// rules on real-looking lines, damaged and hostile input, and the mount
// table.
#include <gtest/gtest.h>

#include <random>

#include "util/BookmarkFormats.h"
#include "util/FolderNames.h"

namespace tw {
namespace {

struct Parsed {
  std::string title;
  bool titleFound = false;
  std::vector<BookmarkEntry> entries;
};

Parsed Parse(const std::string& text, size_t maxEntries = 1000) {
  Parsed parsed;
  ParseNetscapeBookmarks(text, maxEntries, parsed.title, parsed.titleFound, parsed.entries);
  return parsed;
}

TEST(NetscapeBookmarksTest, LinesGiveTitleAndRows) {
  const std::string longIcon(4000, 'Q');
  struct Case {
    const char* what;
    std::string text;
    std::string title;
    std::vector<BookmarkEntry> entries;
  };
  const Case cases[] = {
      {"title line", "<TITLE>My Links</TITLE>\n", "My Links", {}},
      {"link line",
       "<DT><A HREF=\"http://example.org/\" ADD_DATE=\"1\">Example</A>\n",
       "",
       {{"Example", "http://example.org/"}}},
      {"title and link on one line: the caption first, then the link from the rest",
       "<TITLE>Links</TITLE><DT><A HREF=\"http://a.example/\">A</A>",
       "Links",
       {{"A", "http://a.example/"}}},
      {"two equal addresses are both kept",
       "<A HREF=\"http://same/\">One</A>\r\n<A HREF=\"http://same/\">Two</A>\r\n",
       "",
       {{"One", "http://same/"}, {"Two", "http://same/"}}},
      {"no address between quotes gives no row",
       "<A HREF=\"\">Empty</A>\n<A HREF=nowhere>Bare</A>\n",
       "",
       {}},
      {"CR alone ends a line too",
       "<A HREF=\"http://a/\">A</A>\r<A HREF=\"http://b/\">B</A>",
       "",
       {{"A", "http://a/"}, {"B", "http://b/"}}},
      {"markers are case-sensitive", "<a href=\"http://lower/\">x</a>\n<title>t</title>\n", "", {}},
      {"character references are decoded",
       "<A HREF=\"http://q/?a=1&amp;b=2\">Tom &amp; Jerry &lt;3&gt; &quot;x&quot; &#39;y&#39;</A>",
       "",
       {{"Tom & Jerry <3> \"x\" 'y'", "http://q/?a=1&b=2"}}},
      // Browsers put the site icon into the line; the name after it is still found.
      {"a long line keeps its name",
       "<DT><A HREF=\"http://icon/\" ICON=\"data:image/png;base64," + longIcon + "\">Iconic</A>",
       "",
       {{"Iconic", "http://icon/"}}},
      {"a link without a closing tag gives an empty name",
       "<A HREF=\"http://open/\"",
       "",
       {{"", "http://open/"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Parsed parsed = Parse(c.text);
    EXPECT_EQ(parsed.title, c.title);
    EXPECT_EQ(parsed.titleFound, !c.title.empty());
    EXPECT_EQ(parsed.entries, c.entries);
  }
}

TEST(NetscapeBookmarksTest, TextsAreCutAtCharactersAndRowsAreBounded) {
  std::string name;
  while (name.size() < 300) name += "\xC3\xA4";  // "ä", two bytes each
  const Parsed parsed = Parse("<A HREF=\"http://x/\">" + name + "</A>");
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0].name.size(), 254u);  // 255 would split a character
  EXPECT_EQ(parsed.entries[0].name, name.substr(0, 254));

  std::string many;
  for (int i = 0; i < 50; ++i) many += "<A HREF=\"http://h" + std::to_string(i) + "/\">n</A>\n";
  EXPECT_EQ(Parse(many, 7).entries.size(), 7u);
}

TEST(NetscapeBookmarksTest, DamagedAndHostileInputGivesWhatCanBeRead) {
  std::mt19937 random(14);
  std::string noise(1 << 20, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  Parse(noise);  // anything at all, as long as it returns
  // Markers without anything after them, and a huge line of markers.
  for (const std::string& text : {std::string("HREF"), std::string("TITLE"), std::string("HREF\""),
                                  std::string("TITLE>HREF\"x"), std::string(200000, '"'), [] {
                                    std::string s;
                                    for (int i = 0; i < 100000; ++i) s += "TITLE>HREF\"a\">";
                                    return s;
                                  }()}) {
    Parse(text);
  }
  // A NUL byte inside a line does not end the reading.
  const Parsed parsed =
      Parse(std::string("<A HREF=\"http://a/\">A\0B</A>\n<A HREF=\"http://c/\">C</A>", 48));
  EXPECT_EQ(parsed.entries.size(), 2u);
}

TEST(InternetShortcutTest, ReadsTheUrlKeyLikeTheSystem) {
  struct Case {
    const char* what;
    std::string text;
    std::string url;
  };
  const Case cases[] = {
      {"plain", "[InternetShortcut]\r\nURL=http://a.example/\r\n", "http://a.example/"},
      {"names in any case, blanks around", "[internetshortcut]\n  url = http://b/  \n",
       "http://b/"},
      {"quoted value", "[InternetShortcut]\nURL=\"http://q/\"\n", "http://q/"},
      {"byte order mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=http://bom/\n", "http://bom/"},
      {"first occurrence wins", "[InternetShortcut]\nURL=http://1/\nURL=http://2/\n", "http://1/"},
      {"only the first section of the name",
       "[InternetShortcut]\nIconIndex=0\n[InternetShortcut]\nURL=http://late/\n", ""},
      {"key of another section", "[Other]\nURL=http://no/\n[InternetShortcut]\nIcon=1\n", ""},
      {"no key", "[InternetShortcut]\nWorkingDirectory=C:\\\n", ""},
      {"no section", "URL=http://no/\n", ""},
      {"empty file", "", ""},
      {"section without closing bracket", "[InternetShortcut\nURL=http://open/\n", "http://open/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(InternetShortcutUrl(c.text), c.url);
  }
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\nURL=" + std::string(1000, 'u')).size(), 255u);
}

TEST(InternetShortcutTest, ListNameIsTheFileNameUpToTheFirstDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/u/Favorites/Example.url", "Example"},
      {"/f/my.site.example.URL", "my"},
      {"C:\\Fav\\Name.With.Dots.url", "Name"},
      {"NoDot", "NoDot"},
      {"/f/.hidden.url", ""},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(ShortcutListName(path), name) << path;
}

TEST(FolderNamesTest, NetworkMountsComeFromTheMountTable) {
  const std::string table =
      "proc /proc proc rw,nosuid 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\n"
      "server:/export /mnt/nfs nfs4 rw,relatime 0 0\n"
      "//nas/share /mnt/My\\040Share cifs rw 0 0\n"
      "user@host:/ /home/u/remote fuse.sshfs rw 0 0\n"
      "server:/export /mnt/nfs nfs4 rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "broken line\n"
      "//nas/a /mnt/a\\04 smb3 rw 0 0\n";
  const std::vector<std::string> expected{"/mnt/nfs", "/mnt/My Share", "/home/u/remote",
                                          "/mnt/a\\04"};
  EXPECT_EQ(NetworkMountPoints(table), expected);
  EXPECT_TRUE(NetworkMountPoints("").empty());
}

TEST(FolderNamesTest, ChoiceTextKeepsOrLowersLettersAndBracketsPathlessNodes) {
  struct Case {
    std::string path, display;
    bool lower;
    std::string text;
  };
  const Case cases[] = {
      {"C:\\Data\\Share", "Share", true, "c:\\data\\share"},
      {"/MNT/\xC3\x84rger", "x", true, "/mnt/\xC3\x84rger"},  // only A to Z change
      // Where names keep their letter case, lowering them would name
      // another folder.
      {"/mnt/Share", "Share", false, "/mnt/Share"},
      {"", "Network", true, "[Network]"},
      {"", "", false, "[]"},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderChoiceText(c.path, c.display, c.lower), c.text);
  EXPECT_EQ(FolderChoiceText("/" + std::string(400, 'a'), "", false).size(), 255u);
}

}  // namespace
}  // namespace tw
