// The URL list: its table, the rows it builds from the bookmarks found below
// a home folder made by the test (Netscape file, Chromium JSON, favourites),
// damaged and hostile input, the time bound, and its use as the window list.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <filesystem>

#include "dialogs/UsetURL.h"
#include "support/HomeSandbox.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

using test::HomeSandbox;

std::vector<std::pair<QString, QString>> Rows(const TSetURL& list) {
  std::vector<std::pair<QString, QString>> rows;
  for (int row = 0; row < list.URLList()->rowCount(); ++row) {
    rows.emplace_back(list.URLList()->item(row, 0)->text(), list.URLList()->item(row, 1)->text());
  }
  return rows;
}

std::vector<BookmarkEntry> Chromium(const std::string& json, size_t maxEntries = 1000) {
  std::vector<BookmarkEntry> entries;
  ParseChromiumBookmarks(QByteArray::fromStdString(json), maxEntries, entries);
  return entries;
}

class SetURLTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQtApp(); }
};

TEST_F(SetURLTest, TheTableHasItsHeaderAndColumnWidths) {
  TSetURL list;
  EXPECT_EQ(list.windowTitle(), "URL");
  EXPECT_EQ(list.URLList()->horizontalHeaderItem(0)->text(), "Name");
  EXPECT_EQ(list.URLList()->horizontalHeaderItem(1)->text(), "Address");
  EXPECT_EQ(list.URLList()->columnWidth(0), 189);
  EXPECT_EQ(list.URLList()->columnWidth(1), 129);
  EXPECT_EQ(list.URLList()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.Button1()->text(), "&Ok");
  EXPECT_EQ(list.Button2()->text(), "&Cancel");
}

TEST_F(SetURLTest, BuildsRowsFromTheBookmarksOfTheHomeFolder) {
  HomeSandbox home;
  // An older bookmark file in Latin-1: its bytes are shown as such.
  home.Write(".netscape/bookmarks.html",
             "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Caf\xE9 links</TITLE>\r\n<H1>B</H1>\r\n"
             "<DL><p>\r\n<DT><A HREF=\"http://cafe.example/\">Caf\xE9</A>\r\n"
             "<DT><A HREF=\"http://same.example/\">Same</A>\r\n");
  home.Write(".config/chromium/Default/Bookmarks",
             R"({"roots":{"other":{"type":"folder","children":[
                 {"type":"url","name":"Other one","url":"http://other.example/"}]},
               "bookmark_bar":{"type":"folder","children":[
                 {"type":"folder","name":"Sub","children":[
                   {"type":"url","name":"Deep","url":"http://deep.example/"}]},
                 {"type":"url","name":"Bar \u00e4","url":"http://bar.example/"}]}},
               "version":1})");
  home.Write("Favorites/Server.Net.Home.url", "[InternetShortcut]\r\nURL=http://same.example/\r\n");
  home.Write("Favorites/NoKey.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
  home.Write("Favorites/readme.txt", "[InternetShortcut]\r\nURL=http://no.example/\r\n");
  TSetURL list;
  EXPECT_EQ(list.BuildURLList(), 6);
  const std::vector<std::pair<QString, QString>> expected{
      {"Café", "http://cafe.example/"},
      {"Same", "http://same.example/"},
      {"Deep", "http://deep.example/"},
      {"Bar ä", "http://bar.example/"},
      {"Other one", "http://other.example/"},
      {"Server", "http://same.example/"},  // a second row with the same address
  };
  EXPECT_EQ(Rows(list), expected);
  EXPECT_EQ(list.RowCount(), 7);
  EXPECT_EQ(list.windowTitle(), "Café links");
  EXPECT_EQ(list.SelectedAddress(), "http://cafe.example/");  // the first row is chosen
  list.URLList()->selectRow(2);
  EXPECT_EQ(list.SelectedAddress(), "http://deep.example/");
}

TEST_F(SetURLTest, NothingFoundLeavesTheHeaderRowOnly) {
  HomeSandbox home;
  TSetURL list;
  EXPECT_EQ(list.BuildURLList(), 0);
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.windowTitle(), "URL");
  EXPECT_EQ(list.SelectedAddress(), "");
}

TEST_F(SetURLTest, ChromiumFilesGiveWhatCanBeRead) {
  struct Case {
    const char* what;
    std::string json;
    size_t count;
  };
  std::string deep = R"({"roots":{"bookmark_bar":)";
  for (int i = 0; i < 500; ++i) deep += R"({"type":"folder","children":[)";
  deep += R"({"type":"url","name":"n","url":"http://deep/"})";
  for (int i = 0; i < 500; ++i) deep += "]}";
  deep += "}}";
  const Case cases[] = {
      {"damaged", R"({"roots":{"bookmark_bar":{"children":[{"type":"url","url":"http://a/"})", 0},
      {"not an object", "[1,2,3]", 0},
      {"no roots", R"({"version":1})", 0},
      {"wrong types", R"({"roots":{"bookmark_bar":{"children":{"type":"url"}},"other":7}})", 0},
      {"url without address", R"({"roots":{"x":{"children":[{"type":"url","name":"n"}]}}})", 0},
      {"unknown root read too",
       R"({"roots":{"workspace":{"children":[{"type":"url","name":"w","url":"http://w/"}]}}})", 1},
      {"deeper than any real tree", deep, 0},
      {"empty", "", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Chromium(c.json).size(), c.count) << c.what;
  std::string many = R"({"roots":{"other":{"children":[)";
  for (int i = 0; i < 100; ++i)
    many += std::string(i ? "," : "") + R"({"type":"url","url":"http://m/"})";
  many += "]}}}";
  EXPECT_EQ(Chromium(many, 30).size(), 30u);
}

TEST_F(SetURLTest, LookupsAreBoundedInEntriesFilesAndTime) {
  HomeSandbox home;
  for (int i = 0; i < 300; ++i) {
    home.Write("Favorites/site" + std::to_string(i) + ".url",
               "[InternetShortcut]\nURL=http://s" + std::to_string(i) + "/\n");
  }
  const std::vector<BookmarkSource> sources = FindBookmarkSources();
  BookmarkLimits limits;
  limits.maxShortcutFiles = 100;
  EXPECT_EQ(CollectBookmarks(sources, limits).entries.size(), 100u);
  limits.maxEntries = 40;
  EXPECT_EQ(CollectBookmarks(sources, limits).entries.size(), 40u);
  limits.deadline = std::chrono::steady_clock::now();
  EXPECT_TRUE(CollectBookmarks(sources, limits).entries.empty());
}

TEST_F(SetURLTest, TheWindowListHasOneColumnOfTitles) {
  TSetURL list;
  list.SetWindowTitles({"Editor", "", "Editor", "Terminal"});
  EXPECT_EQ(list.windowTitle(), "List of windows");
  ASSERT_EQ(list.URLList()->columnCount(), 1);
  EXPECT_EQ(list.URLList()->horizontalHeaderItem(0)->text(), "Window Title");
  EXPECT_EQ(list.RowCount(), 4);  // equal titles each get a row; empty ones none
  const int scrollBar =
      list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list.URLList());
  EXPECT_EQ(list.URLList()->columnWidth(0), list.URLList()->minimumWidth() - scrollBar);
  list.URLList()->selectRow(2);
  EXPECT_EQ(list.SelectedAddress(), "Terminal");
}

TEST_F(SetURLTest, EnterTakesTheRowAndTheGridFontIsTakenWhenShown) {
  WindowParameters preferences;
  preferences.stringGridFont = {"DejaVu Sans", 15, false, false, clBlack};
  preferences.dialogFont = {"DejaVu Sans", 9, false, false, clBlack};
  TSetURL list(nullptr, &preferences);
  BookmarkList bookmarks;
  bookmarks.entries = {{"A", "http://a/"}, {"B", "http://b/"}};
  list.SetBookmarks(bookmarks);
  test::AnswerNextModal([&](QWidget*) {
    EXPECT_EQ(list.URLList()->font().pointSize(), 15);
    EXPECT_EQ(list.Button1()->font().pointSize(), 9);
    list.URLList()->selectRow(1);
    test::SendKey(list.URLList(), Qt::Key_Return);
  });
  EXPECT_EQ(list.exec(), kDialogOk);
  EXPECT_EQ(list.SelectedAddress(), "http://b/");
}

}  // namespace
}  // namespace tw
