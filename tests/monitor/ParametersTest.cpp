// Loading and saving the parameters file with real files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "monitor/Parameters.h"
#include "platform/SafeFile.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "support/Watchdog.h"

namespace tw {
namespace {

using test::ReadAll;

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Fills rows 1..count with distinct texts in every cell.
ResourceTable TableWith(int count) {
  ResourceTable table;
  table.SetRowCount(count + 1);
  for (int row = 1; row <= count; ++row) {
    for (int col = 0; col < Col::Count; ++col)
      table.SetCell(col, row, "r" + std::to_string(row) + "c" + std::to_string(col));
  }
  return table;
}

// Key names of one section, in file order.
std::vector<std::string> KeysOf(const std::string& text, const std::string& section) {
  std::vector<std::string> keys;
  std::istringstream in(text);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + section + "]";
    } else if (inside && line.find('=') != std::string::npos) {
      keys.push_back(line.substr(0, line.find('=')));
    }
  }
  return keys;
}

class ParametersTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("TARNWICK_STATE_DIR", state_.Path().c_str(), 1); }
  void TearDown() override { unsetenv("TARNWICK_STATE_DIR"); }

  test::TempDir folder_;
  test::TempDir state_;
  std::string path_ = folder_.File(kParametersFileName);
};

TEST_F(ParametersTest, FirstStartWithoutFileAppliesTheDefaultsOfAnInvalidFile) {
  ResourceTable table;
  WindowParameters params;
  params.trend = true;
  EXPECT_EQ(LoadParameters(path_, table, params), LoadOutcome::Invalid);
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_FALSE(params.trend);  // trend screen hidden
  EXPECT_EQ(params.dialUpTable, DefaultDialUpTable());
  ASSERT_EQ(params.dialUpTable.size(), 3u);
  EXPECT_EQ(params.dialUpTable[1].dialogTitle, "Dial-Up Networking");
  EXPECT_EQ(params.dialogFont.color, SystemColorValue(SystemColor::BtnText));
  EXPECT_EQ(params.stringGridFont.color, SystemColorValue(SystemColor::BtnText));
  EXPECT_EQ(params.editLineFont.color, clLime);
  EXPECT_FALSE(ParametersSavedBefore(path_));
}

TEST_F(ParametersTest, OnlyTheExactSignatureMakesAFileValid) {
  const std::pair<const char*, LoadOutcome> cases[] = {
      {"[Main]\r\nSign=Network speed\r\n", LoadOutcome::Loaded},
      {"[MAIN]\nsign =  Network speed \n", LoadOutcome::Loaded},
      {"[Main]\r\nSign=network speed\r\n", LoadOutcome::Invalid},
      {"[Main]\r\nSign=NETWORK SPEED\r\n", LoadOutcome::Invalid},
      {"[Main]\r\nSign=Network  speed\r\n", LoadOutcome::Invalid},
      {"[Main]\r\nSign=\r\n", LoadOutcome::Invalid},
      {"[Other]\r\nSign=Network speed\r\n", LoadOutcome::Invalid},
      {"", LoadOutcome::Invalid},
  };
  for (const auto& [text, expected] : cases) {
    WriteAll(path_, text);
    ResourceTable table;
    WindowParameters params;
    EXPECT_EQ(LoadParameters(path_, table, params), expected) << text;
  }
}

TEST_F(ParametersTest, ThreeResourcesWrite114ObjectKeysInRowOrder) {
  ResourceTable table = TableWith(3);
  for (int row = 1; row <= 3; ++row) table.SetCell(Col::MaxNotifyText, row, "");
  for (int row = 1; row <= 2; ++row) table.SetCell(Col::MinNotifyText, row, "");
  ASSERT_TRUE(SaveParameters(path_, table, WindowParameters{}));
  const std::string text = ReadAll(path_);
  const std::vector<std::string> keys = KeysOf(text, "Objects");
  // 38 classic columns; the notification texts (38, 39) only where set.
  ASSERT_EQ(keys.size(), 1u + 114u + 1u);
  EXPECT_EQ(keys[0], "Number");
  EXPECT_EQ(keys[1], "Object10");
  EXPECT_EQ(keys[38], "Object137");
  EXPECT_EQ(keys[39], "Object20");
  EXPECT_EQ(keys[114], "Object337");
  EXPECT_EQ(keys[115], "Object338");
  EXPECT_NE(text.find("\r\nObject110=r1c10\r\n"), std::string::npos);
  // Section order, fixed key forms and CR LF line ends.
  const char* const order[] = {
      "[Main]\r\nSign=Network speed\r\n",
      "[Objects]\r\nNumber=3\r\n",
      "[Position]\r\nLeft=",
      "[Buttons]\r\nPing objects=0\r\nTrend=0\r\nHGrdBtn=1\r\nVGrdBtn=1\r\nHTrendGrdBtn=1\r\n"
      "VTrendGrdBtn=1\r\nShrinked=0\r\nStayOnTop=0\r\n",
      "[Resource Window]\r\nColWidth 1=10\r\nColWidth 2=101\r\nColWidth 3=76\r\nColWidth 4=77\r\n"
      "ColWidth 5=93\r\n",
      "[Scale]\r\nScale= 2.00000000000000E+0000\r\nTrendScale= 2.00000000000000E+0000\r\n",
      "[Dial_Up]\r\nEnabled=0\r\nInterval=3000\r\nNumber=2\r\nDialog1=\r\nButton1=\r\n",
      "[Fonts]\r\nDialog Text Font Name=MS Sans Serif\r\nDialog Text Font Size=8\r\n"
      "Dialog Text Font Bold=1\r\nDialog Text Font Italic=0\r\nDialog Text Font Color=clBlack\r\n",
      "Edit Line Font Color=clLime\r\n",
      "[Trend]\r\nEnabled=1\r\n",
      "[Misc]\r\nUserKnownCDFileSize=0\r\n"};
  size_t at = 0;
  for (const char* part : order) {
    const size_t found = text.find(part, at);
    ASSERT_NE(found, std::string::npos) << part;
    at = found;
  }
}

TEST_F(ParametersTest, ScalesUseTheScientificFormAndTheirLimits) {
  const std::pair<double, const char*> written[] = {
      {2, " 2.00000000000000E+0000"},   {1000, " 1.00000000000000E+0003"},
      {0.5, " 5.00000000000000E-0001"}, {0, " 0.00000000000000E+0000"},
      {-3, "-3.00000000000000E+0000"},  {123456.789, " 1.23456789000000E+0005"}};
  for (const auto& [value, text] : written) {
    EXPECT_EQ(ScaleText(value), text);
    EXPECT_EQ(ScaleText(value).size(), 23u);
  }
  const std::pair<const char*, double> read[] = {{" 1.00000000000000E+0003", 1000},
                                                 {" 2.00000000000000E+0005", 200000},
                                                 {" 1.00000000000000E+0007", 10000000},
                                                 {" 2.00000000000000E+0008", 10000000},
                                                 {"", 1000},
                                                 {"abc", 1000},
                                                 {"0", 1000},
                                                 {"100000", 100000},
                                                 {" 5.00000000000000E-0001", 0.5},
                                                 {"-5", 1000},
                                                 {"20", 20}};
  for (const auto& [text, value] : read) EXPECT_DOUBLE_EQ(ScaleFromText(text), value) << text;

  WriteAll(path_, "[Main]\r\nSign=Network speed\r\n[Scale]\r\nScale= 1.00000000000000E+0003\r\n");
  ResourceTable table;
  WindowParameters params;
  ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
  EXPECT_DOUBLE_EQ(params.scale, 1000);
  EXPECT_DOUBLE_EQ(params.trendScale, 1000);  // missing
}

TEST_F(ParametersTest, FontStylesAreOnlyAddedAndMissingKeysKeepTheCurrentFont) {
  WriteAll(path_,
           "[Main]\r\nSign=Network speed\r\n[Fonts]\r\n"
           "Dialog Text Font Bold=0\r\nDialog Text Font Italic=1\r\nDialog Text Font Size=12\r\n"
           "String Grid Text Font Name=Courier New\r\nString Grid Text Font Color=$000000FF\r\n"
           "String Grid Text Font Size=0\r\nEdit Line Font Color=no colour\r\n");
  ResourceTable table;
  WindowParameters params;
  params.stringGridFont.bold = false;
  ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
  EXPECT_TRUE(params.dialogFont.bold);  // "Bold" = 0 keeps the bold style
  EXPECT_TRUE(params.dialogFont.italic);
  EXPECT_EQ(params.dialogFont.size, 12);
  EXPECT_EQ(params.dialogFont.name, "MS Sans Serif");
  EXPECT_FALSE(params.stringGridFont.bold);  // missing key keeps the current style
  EXPECT_EQ(params.stringGridFont.name, "Courier New");
  EXPECT_EQ(params.stringGridFont.color, clRed);
  EXPECT_EQ(params.stringGridFont.size, 8);  // an impossible size keeps the current one
  EXPECT_EQ(params.editLineFont.color, clLime);
}

TEST_F(ParametersTest, EverySettingSurvivesASaveAndALoad) {
  WindowParameters saved;
  saved.left = -20;
  saved.top = 345;
  saved.pingObjects = true;
  saved.trend = true;
  saved.hGrid = false;
  saved.vTrendGrid = false;
  saved.shrinked = true;
  saved.stayOnTop = true;
  saved.columnWidths = {11, 12, 13, 14, 15};
  saved.scale = 50;
  saved.trendScale = 20000;
  saved.dialUpEnabled = true;
  saved.dialUpIntervalMs = 7000;
  saved.dialUpTable = {{"Connect To", "Connect"}, {" Padded title ", "\"OK\""}};
  saved.dialogFont = {"Arial", 10, true, true, clNavy};
  saved.stringGridFont = {"Courier New", 9, false, false,
                          SystemColorValue(SystemColor::WindowText)};
  saved.editLineFont = {"Verdana", 11, true, false, static_cast<ColorValue>(0x00123456)};
  saved.trendEnabled = false;
  saved.userKnownCDFileSize = true;
  saved.closeToTray = true;
  ResourceTable table = TableWith(2);
  table.SetCell(Col::WriteSpeed, 1, "     1.50 Kbps");
  ASSERT_TRUE(SaveParameters(path_, table, saved));

  ResourceTable loadedTable;
  WindowParameters loaded;
  loaded.stringGridFont.bold = false;  // as the window had it
  loaded.editLineFont.bold = true;
  ASSERT_EQ(LoadParameters(path_, loadedTable, loaded), LoadOutcome::Loaded);
  EXPECT_EQ(loaded.left, -20);
  EXPECT_EQ(loaded.top, 345);
  EXPECT_TRUE(loaded.pingObjects && loaded.trend && loaded.shrinked && loaded.stayOnTop);
  EXPECT_FALSE(loaded.hGrid || loaded.vTrendGrid);
  EXPECT_TRUE(loaded.vGrid && loaded.hTrendGrid);
  EXPECT_EQ(loaded.columnWidths, saved.columnWidths);
  EXPECT_DOUBLE_EQ(loaded.scale, 50);
  EXPECT_DOUBLE_EQ(loaded.trendScale, 20000);
  EXPECT_TRUE(loaded.dialUpEnabled);
  EXPECT_EQ(loaded.dialUpIntervalMs, 7000);
  EXPECT_EQ(loaded.dialUpTable, saved.dialUpTable);
  for (auto font : {&WindowParameters::dialogFont, &WindowParameters::stringGridFont,
                    &WindowParameters::editLineFont}) {
    EXPECT_EQ((loaded.*font).name, (saved.*font).name);
    EXPECT_EQ((loaded.*font).size, (saved.*font).size);
    EXPECT_EQ((loaded.*font).bold, (saved.*font).bold);
    EXPECT_EQ((loaded.*font).italic, (saved.*font).italic);
    EXPECT_EQ((loaded.*font).color, (saved.*font).color);
  }
  EXPECT_FALSE(loaded.trendEnabled);
  EXPECT_TRUE(loaded.userKnownCDFileSize);
  EXPECT_TRUE(loaded.closeToTray);
  ASSERT_EQ(loadedTable.RowCount(), 3);
  EXPECT_EQ(loadedTable.Cell(Col::WriteSpeed, 1), "     1.50 Kbps");
  EXPECT_EQ(loadedTable.Cell(Col::MaxCloseTitle, 2), "r2c37");
  // The event bookkeeping is written like every cell and cleared at load.
  for (int col : {Col::MinSince, Col::MinPerformed, Col::MaxPerformed, Col::MaxSince}) {
    EXPECT_EQ(loadedTable.Cell(col, 1), "");
  }
  EXPECT_TRUE(ParametersSavedBefore(path_));
}

// Kind "4" (a web download) is read and written as the text it is, so a file
// shared with an older version, which idles such rows, keeps them.
TEST_F(ParametersTest, AWebRowKeepsItsKindThroughALoadAndASave) {
  const std::string file =
      "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=1\r\n"
      "Object11=https://www.example.com/big.bin\r\nObject15=4\r\nObject110=4000000\r\n";
  WriteAll(path_, file);
  ResourceTable table;
  WindowParameters params;
  ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.Cell(Col::Kind, 1), "4");
  EXPECT_EQ(table.Kind(1), ResourceKind::Web);
  EXPECT_EQ(table.Cell(Col::PacketSize, 1), "4000000");
  ASSERT_TRUE(SaveParameters(path_, table, params));
  const std::string saved = ReadAll(path_);
  EXPECT_NE(saved.find("\r\nObject15=4\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nObject11=https://www.example.com/big.bin\r\n"), std::string::npos);
}

TEST_F(ParametersTest, HundredResourcesSurviveAndTenKeepTheClassicKeys) {
  for (int count : {1, 10, 11, 100}) {
    SCOPED_TRACE(count);
    const ResourceTable table = TableWith(count);
    ASSERT_TRUE(SaveParameters(path_, table, WindowParameters{}));
    const std::string text = ReadAll(path_);
    const bool classic = count <= 10;
    EXPECT_EQ(text.find("\r\nObject110="),
              classic && count >= 1 ? text.find("\r\nObject110=r1c10") : std::string::npos);
    EXPECT_EQ(text.find("Object1_0=") != std::string::npos, !classic);
    ResourceTable loaded;
    WindowParameters params;
    ASSERT_EQ(LoadParameters(path_, loaded, params), LoadOutcome::Loaded);
    ASSERT_EQ(loaded.ResourceCount(), count);
    for (int row = 1; row <= count; ++row) {
      for (int col = 0; col < Col::Count; ++col) {
        if (col == Col::MinSince || col == Col::MinPerformed || col == Col::MaxPerformed ||
            col == Col::MaxSince)
          continue;
        ASSERT_EQ(loaded.Cell(col, row), table.Cell(col, row)) << "row " << row << " col " << col;
      }
    }
  }
}

TEST_F(ParametersTest, AnOlderFileWithElevenResourcesReadsAsItsWriterWould) {
  // The classic keys of row 11 column 0 and row 1 column 10 coincide; the
  // first occurrence wins, as the older writer's own reader had it.
  WriteAll(path_,
           "[Main]\r\nSign=Network "
           "speed\r\n[Objects]\r\nNumber=11\r\nObject10=first\r\nObject110=shared\r\n"
           "Object111=x\r\nObject21=2\r\nObject31=3\r\nObject41=4\r\nObject51=5\r\n"
           "Object61=6\r\nObject71=7\r\nObject81=8\r\nObject91=9\r\nObject101=10\r\n");
  ResourceTable table;
  WindowParameters params;
  ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
  EXPECT_EQ(table.Cell(0, 1), "first");
  EXPECT_EQ(table.Cell(10, 1), "shared");
  EXPECT_EQ(table.Cell(0, 11), "shared");
  EXPECT_EQ(table.Cell(1, 11), "x");
}

TEST_F(ParametersTest, DamagedCountsAreBoundedAndEmptyRowsAreNotMade) {
  struct Case {
    const char* number;
    const char* rows;  // keys of [Objects] and [Dial_Up] besides Number
    std::vector<std::string> resources;
    std::vector<DialUpEntry> dialUp;
  } cases[] = {
      {"2147483647", "", {}, {DialUpEntry{}}},
      {"2000000000", "", {}, {DialUpEntry{}}},
      {"0x7FFFFFFF", "", {}, {DialUpEntry{}}},
      // Rows and entries present in the file are read; the empty ones
      // between them are left out.
      {"2147483647",
       "Object1_1=first\r\nObject5_5=only a kind\r\nDialog7=Title\r\nButton9=Push\r\n",
       {"first", ""},
       {{"Title", ""}, {"", "Push"}}},
      // Row 4 holds only event bookkeeping, which is cleared at load.
      {"4",
       "Object11=a\r\nObject21=\r\nObject31=c\r\nObject428=1\r\nDialog2=D\r\nButton2=B\r\n",
       {"a", "c"},
       {{"D", "B"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.number) + " " + c.rows);
    WriteAll(path_, std::string("[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=") + c.number +
                        "\r\n" + c.rows + "[Dial_Up]\r\nNumber=" + c.number + "\r\n" + c.rows);
    ResourceTable table;
    WindowParameters params;
    ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
    ASSERT_EQ(table.ResourceCount(), static_cast<int>(c.resources.size()));
    for (size_t i = 0; i < c.resources.size(); ++i)
      EXPECT_EQ(table.Cell(Col::Resource, static_cast<int>(i) + 1), c.resources[i]);
    EXPECT_EQ(params.dialUpTable, c.dialUp);
    // What is saved back is as small as what was read.
    ASSERT_TRUE(SaveParameters(path_, table, params));
    EXPECT_LT(ReadAll(path_).size(), 4000u + 2000u * c.resources.size());
  }
  // A damaged dial-up count alone is harmless: the table keeps one entry.
  WriteAll(path_, "[Main]\r\nSign=Network speed\r\n[Dial_Up]\r\nNumber=-5\r\n");
  ResourceTable table;
  WindowParameters params;
  ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
  EXPECT_EQ(params.dialUpTable, std::vector<DialUpEntry>{DialUpEntry{}});
}

TEST_F(ParametersTest, KeysOfOtherWritersSurviveASave) {
  WriteAll(path_,
           "[Main]\r\nSign=Network "
           "speed\r\nComment=kept\r\n[Objects]\r\nNumber=12\r\nObject12_5=stale\r\n"
           "[Extra]\r\nA=1\r\n");
  ASSERT_TRUE(SaveParameters(path_, TableWith(1), WindowParameters{}));
  const std::string text = ReadAll(path_);
  EXPECT_NE(text.find("Comment=kept\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Extra]\r\nA=1\r\n"), std::string::npos);
  EXPECT_EQ(text.find("stale"), std::string::npos);  // the resource list is written afresh
}

TEST_F(ParametersTest, AFailedSaveLeavesTheOldFileIntact) {
  ASSERT_TRUE(SaveParameters(path_, TableWith(2), WindowParameters{}));
  const std::string before = ReadAll(path_);

  // A file-size limit makes the write fail half way, as a full disk would.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool saved = SaveParameters(path_, TableWith(100), WindowParameters{}, &error);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(saved);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadAll(path_), before);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);  // no temporary file left behind

  // A folder that does not exist fails without creating anything.
  EXPECT_FALSE(
      SaveParameters(folder_.File("missing/RAREDARI.INI"), TableWith(1), WindowParameters{}));
}

TEST_F(ParametersTest, SavedBeforeIsRememberedOutsideTheFile) {
  EXPECT_FALSE(ParametersSavedBefore(path_));
  ASSERT_TRUE(SaveParameters(path_, TableWith(0), WindowParameters{}));
  EXPECT_TRUE(ParametersSavedBefore(path_));
  EXPECT_FALSE(ParametersSavedBefore(folder_.File("other.ini")));
  EXPECT_EQ(ReadAll(path_).find(state_.Path()), std::string::npos);
  std::filesystem::remove(path_);
  EXPECT_TRUE(ParametersSavedBefore(path_));  // a lost file is still known to have existed
}

// What a case leaves at the path, and how its kept copy is checked.
struct UnloadedCase {
  const char* name;
  std::function<void(const std::string& path)> make;
  bool loads = false;   // the file is good after all
  bool asUser = false;  // permissions matter: load and keep as a user
};

std::string ValidWithResource(const std::string& number = "1") {
  return "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=" + number +
         "\r\nObject11=10.0.0.1\r\nObject15=3\r\n[Extra]\r\nMine=kept\r\n";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Loads as the window does at start-up, keeps the file it could not load
// and saves new settings; 0 when every step went as it must.
int LoadKeepAndSave(const std::string& path) {
  ResourceTable table;
  WindowParameters params;
  bool found = false;
  if (LoadParameters(path, table, params, &found) != LoadOutcome::Invalid) return 1;
  if (!found) return 2;
  const std::string kept = KeepUnloadedFile(path);
  if (kept != path + ".bad") return 3;
  if (UnloadedFileMessage(path, kept).find("\r" + kept + "\r") == std::string::npos) return 4;
  return SaveParameters(path, TableWith(1), WindowParameters{}) ? 0 : 5;
}

TEST_F(ParametersTest, EveryFileThatWasNotLoadedIsKeptByteForByte) {
  const std::string sign = "[Main]\r\nSign=";
  const UnloadedCase cases[] = {
      {"missing Sign", [](auto& p) { WriteAll(p, "[Objects]\r\nNumber=1\r\nObject10=h\r\n"); }},
      {"lower-case sign",
       [&](auto& p) { WriteAll(p, sign + "network speed\r\n[Objects]\r\nNumber=1\r\n"); }},
      {"byte-order mark", [](auto& p) { WriteAll(p, "\xEF\xBB\xBF" + ValidWithResource()); }, true},
      {"NUL in the Sign line",
       [&](auto& p) { WriteBytes(p, sign + std::string("Network\0speed\r\n", 16) + "[X]\r\n"); }},
      {"cut inside the Sign line", [&](auto& p) { WriteAll(p, sign + "Network sp"); }},
      {"Number=-5", [](auto& p) { WriteAll(p, ValidWithResource("-5")); }},
      {"Number=0xFFFFFFFF", [](auto& p) { WriteAll(p, ValidWithResource("0xFFFFFFFF")); }},
      {"over the read limit",
       [](auto& p) {
         WriteAll(p, ValidWithResource());
         std::filesystem::resize_file(p, IniFile::kMaxFileBytes + 1);
       }},
      {"unreadable",
       [](auto& p) {
         WriteAll(p, ValidWithResource());
         chmod(p.c_str(), 0);
       },
       false, true},
      {"a folder",
       [](auto& p) {
         std::filesystem::create_directory(p);
         WriteAll(p + "/inside", "x");
       }},
      {"a FIFO", [](auto& p) { mkfifo(p.c_str(), 0600); }},
  };
  for (const UnloadedCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir folder;
    const std::string path = folder.File(kParametersFileName);
    c.make(path);
    if (c.loads) {
      ResourceTable table;
      WindowParameters params;
      ASSERT_EQ(LoadParameters(path, table, params), LoadOutcome::Loaded);
      EXPECT_EQ(table.Cell(Col::Resource, 1), "10.0.0.1");
      continue;
    }
    const bool regular = std::filesystem::is_regular_file(path);
    const std::string before = regular ? ReadAll(path) : "";
    const auto type = std::filesystem::symlink_status(path).type();
    int result = 0;
    if (c.asUser) {
      // No watchdog thread here: a thread starting while the child is forked
      // could leave the child a held allocator lock. The child has its own
      // time limit.
      ASSERT_EQ(chown(folder.Path().c_str(), test::UnprivilegedUid(), static_cast<gid_t>(-1)), 0);
      result = test::RunUnprivileged([&] { return LoadKeepAndSave(path); });
    } else {
      test::Watchdog watchdog(60, c.name);
      result = LoadKeepAndSave(path);
    }
    EXPECT_EQ(result, 0);
    const std::string kept = path + ".bad";
    EXPECT_EQ(std::filesystem::symlink_status(kept).type(), type);
    if (regular) {
      EXPECT_TRUE(ReadAll(kept) == before) << "the kept copy differs";
    }
    if (type == std::filesystem::file_type::directory) {
      EXPECT_EQ(ReadAll(kept + "/inside"), "x");
    }
    // In its place, the new settings.
    ResourceTable table;
    WindowParameters params;
    EXPECT_EQ(LoadParameters(path, table, params), LoadOutcome::Loaded);
  }
}

TEST_F(ParametersTest, KeptFilesTakeTheNextFreeNameAndReplaceNone) {
  test::TempDir folder;
  const std::string path = folder.File(kParametersFileName);
  WriteAll(path + ".bad", "first");
  WriteAll(path + ".bad1", "second");
  WriteAll(path, "third");
  EXPECT_EQ(KeepUnloadedFile(path), path + ".bad2");
  EXPECT_EQ(ReadAll(path + ".bad"), "first");
  EXPECT_EQ(ReadAll(path + ".bad1"), "second");
  EXPECT_EQ(ReadAll(path + ".bad2"), "third");
  EXPECT_FALSE(std::filesystem::exists(path));
  std::string error;
  EXPECT_EQ(KeepUnloadedFile(path, &error), "");  // nothing left to keep
  EXPECT_FALSE(error.empty());
  const std::string message = UnloadedFileMessage(path, "");
  EXPECT_EQ(message.rfind("An ERROR occured during reading parameters file\r" + path + "\r", 0),
            0u);
  EXPECT_NE(message.find("not be saved"), std::string::npos);
}

TEST_F(ParametersTest, ASaveNeverReplacesAFileItCannotRead) {
  // Loaded well at start-up, but unreadable by the time of the save.
  std::filesystem::create_directory(path_);
  WriteAll(path_ + "/inside", "x");
  std::string keptAs;
  ASSERT_TRUE(SaveParameters(path_, TableWith(1), WindowParameters{}, nullptr, &keptAs));
  EXPECT_EQ(keptAs, path_ + ".bad");
  EXPECT_EQ(ReadAll(path_ + ".bad/inside"), "x");
  ResourceTable table;
  WindowParameters params;
  EXPECT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST_F(ParametersTest, SavedFilesAreForTheOwnerOnlyWhateverTheUmask) {
  const std::string stateFolder = state_.File("new/tarnwick");
  setenv("TARNWICK_STATE_DIR", stateFolder.c_str(), 1);
  WriteAll(path_, ValidWithResource());
  chmod(path_.c_str(), 0666);
  const mode_t old = umask(0);
  const bool saved = SaveParameters(path_, TableWith(1), WindowParameters{});
  umask(old);
  ASSERT_TRUE(saved);
  EXPECT_EQ(ModeOf(path_), 0600u);  // it holds command lines the program runs
  EXPECT_EQ(ModeOf(stateFolder + "/saved-parameters"), 0600u);
  EXPECT_EQ(ModeOf(stateFolder), 0700u);
  EXPECT_EQ(ModeOf(state_.File("new")), 0700u);
  EXPECT_TRUE(ParametersSavedBefore(path_));
}

TEST_F(ParametersTest, ALinkIsReadThroughButTheSaveReplacesTheLinkNotItsTarget) {
  const std::string target = folder_.File("dotfiles-RAREDARI.INI");
  WriteAll(target, ValidWithResource());
  std::filesystem::create_symlink(target, path_);
  ResourceTable table;
  WindowParameters params;
  ASSERT_EQ(LoadParameters(path_, table, params), LoadOutcome::Loaded);
  EXPECT_EQ(table.Cell(Col::Resource, 1), "10.0.0.1");
  ASSERT_TRUE(SaveParameters(path_, TableWith(2), params));
  EXPECT_EQ(ReadAll(target), ValidWithResource());
  EXPECT_FALSE(std::filesystem::is_symlink(path_));
  EXPECT_NE(ReadAll(path_).find("Mine=kept"), std::string::npos);
}

TEST_F(ParametersTest, SpecialFilesAreRefusedWithoutWaiting) {
  const std::function<void(const std::string&)> makers[] = {
      [](const std::string& p) { mkfifo(p.c_str(), 0600); },
      [](const std::string& p) { std::filesystem::create_directory(p); },
      [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
  };
  for (const auto& make : makers) {
    std::filesystem::remove_all(path_);
    make(path_);
    test::Watchdog watchdog(20, "loading " + path_);
    ResourceTable table;
    WindowParameters params;
    bool found = false;
    EXPECT_EQ(LoadParameters(path_, table, params, &found), LoadOutcome::Invalid);
    EXPECT_TRUE(found);
    // The marker of earlier saves is read the same way.
    std::filesystem::remove_all(state_.File("saved-parameters"));
    make(state_.File("saved-parameters"));
    EXPECT_FALSE(ParametersSavedBefore(path_));
    std::filesystem::remove_all(state_.File("saved-parameters"));
  }
}

TEST_F(ParametersTest, AFileThatIsNotLoadedSaysWhyInOneLine) {
  const struct {
    std::function<void(const std::string&)> make;
    std::string problem;
  } cases[] = {
      {[](const std::string&) {}, "it does not exist"},
      {[](const std::string& p) { std::filesystem::create_directory(p); },
       "it is not a regular file"},
      {[](const std::string& p) { mkfifo(p.c_str(), 0600); }, "it is not a regular file"},
      {[](const std::string& p) {
         WriteAll(p, "");
         std::filesystem::resize_file(p, IniFile::kMaxFileBytes + 1);
       },
       "it is larger than 32 MB"},
      {[](const std::string& p) { WriteAll(p, "[Main]\r\nSign=network speed\r\n"); },
       "it is not a parameters file (no \"Sign=Network speed\" in [Main])"},
      {[](const std::string& p) {
         WriteAll(p, "[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=0xFFFFFFFF\r\n");
       },
       "its resource count ([Objects] Number) is damaged"},
      {[](const std::string& p) { WriteAll(p, "[Main]\r\nSign=Network speed\r\n"); }, ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(path_);
    c.make(path_);
    ResourceTable table;
    WindowParameters params;
    std::string problem = "stale";
    const LoadOutcome outcome = LoadParameters(path_, table, params, nullptr, &problem);
    EXPECT_EQ(outcome, c.problem.empty() ? LoadOutcome::Loaded : LoadOutcome::Invalid);
    EXPECT_EQ(problem, c.problem);
  }
  // Unreadable for its user: the system's reason follows.
  std::filesystem::remove_all(path_);
  WriteAll(path_, "[Main]\r\nSign=Network speed\r\n");
  chmod(path_.c_str(), 0);
  chmod(folder_.Path().c_str(), 0755);
  const std::string path = path_;
  EXPECT_EQ(test::RunUnprivileged([&path] {
              ResourceTable table;
              WindowParameters params;
              std::string problem;
              LoadParameters(path, table, params, nullptr, &problem);
              return problem.rfind("it cannot be read: ", 0) == 0 ? 0 : 1;
            }),
            0);
}

}  // namespace
}  // namespace tw
