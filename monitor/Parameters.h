// The parameters file "RAREDARI.INI": every setting of the program that
// survives a restart. Loading fills the resource settings table and a plain
// record of the window-level settings; the main window applies that record to
// its widgets and creates the threads. Saving writes both back.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "monitor/IniFile.h"
#include "monitor/ResourceTable.h"
#include "util/Colour.h"

namespace tw {

// The file's name inside the program folder.
inline constexpr const char* kParametersFileName = "RAREDARI.INI";
// The value of "Main"/"Sign" that makes a file valid (letter case counts).
inline constexpr const char* kParametersSignature = "Network speed";

// A font as the file keeps it. The name is kept as written (for example
// "MS Sans Serif") even where the desktop lacks that family; the window
// substitutes a family when it builds the real font.
struct FontSetting {
  std::string name = "MS Sans Serif";
  int size = 8;  // points
  bool bold = true;
  bool italic = false;
  ColorValue color = clBlack;  // colour value (see util/Colour.h), may be a desktop colour
};

// One row of the dial-up keeper's table `ConnectWindowsTable` (rows 1..).
struct DialUpEntry {
  std::string dialogTitle;  // title of the dialog box to look for
  std::string buttonText;   // caption of the button to push in it
  bool operator==(const DialUpEntry& other) const {
    return dialogTitle == other.dialogTitle && buttonText == other.buttonText;
  }
};

// The window-level settings. A default-constructed record holds the main
// window's values at creation; loading reads every key with the record's
// current value as its default.
struct WindowParameters {
  // Main window position on the screen: left and top edge, pixels.
  int left = 0;
  int top = 0;

  // "Buttons" section: the states of the main window's toggle buttons.
  bool pingObjects = false;  // sampling ran (Start down) when the window closed
  bool trend = false;        // trend screen shown (`TrendBmp` down)
  bool hGrid = true;         // live chart horizontal grid lines (`HGrdBtn`)
  bool vGrid = true;         // live chart vertical grid lines (`VGrdBtn`)
  bool hTrendGrid = true;    // trend chart horizontal grid lines (`HTrendGrdBtn`)
  bool vTrendGrid = true;    // trend chart vertical grid lines (`VTrendGrdBtn`)
  bool shrinked = false;     // compact view: window shrunk to the live chart
  bool stayOnTop = false;    // window stays on top (applied after start-up)

  // Widths of the status table's columns 0..4, pixels.
  std::array<int, 5> columnWidths{10, 101, 76, 77, 93};

  // Full scale of the live chart and of the trend chart, Kbps. 2 at window
  // creation; a loaded 0 becomes 1000, anything above 10,000,000 becomes 10,000,000.
  double scale = 2;
  double trendScale = 2;

  // Dial-up keeper: timer on, its period in milliseconds, and the table rows
  // 1.. of `ConnectWindowsTable` (its header row 0 is not stored here). The
  // table always has at least one row.
  bool dialUpEnabled = false;
  int dialUpIntervalMs = 3000;
  std::vector<DialUpEntry> dialUpTable{DialUpEntry{}};

  // The main window's font, also taken by every dialog ("Dialog Text Font").
  FontSetting dialogFont;
  // The font of the tables, `StringGridsFont` ("String Grid Text Font").
  FontSetting stringGridFont;
  // The font of edit fields and the trend date panel, `EditLineFont`.
  FontSetting editLineFont{"MS Sans Serif", 8, true, false, clLime};

  // Measurement threads write trend records.
  bool trendEnabled = true;
  // The user asked never to see the note on a small read-only test file.
  bool userKnownCDFileSize = false;
  // Closing the window keeps the program running in the system tray
  // ("Misc"/"CloseToTray"; off: closing ends the program).
  bool closeToTray = false;
};

// The three rows the dial-up table gets when no valid file exists.
std::vector<DialUpEntry> DefaultDialUpTable();

// Limits that keep a damaged or hostile file from exhausting memory.
inline constexpr int kMaxResources = 1000;
inline constexpr int kMaxDialUpRows = 1000;

// Files with up to this many resources use the classic key form
// "Object" + row + column; more resources use "Object" + row + "_" + column,
// because from row 11 on the classic form is ambiguous (row 11 column 0 and
// row 1 column 10 are both "Object110").
inline constexpr int kClassicObjectKeyRows = 10;
std::string ObjectKey(int row, int column, int resourceCount);

// A scale in the fixed 23-character scientific form, e.g.
// " 2.00000000000000E+0000".
std::string ScaleText(double value);
// A scale read from the file: 0 (or unreadable, negative) becomes 1000,
// above 10,000,000 becomes 10,000,000.
double ScaleFromText(const std::string& text);

enum class LoadOutcome { Loaded, Invalid };

// Loads the file at `path` into `table` (resource rows 1..N, bookkeeping
// cells cleared; threads are the caller's) and `params` (which holds the
// current values, used as defaults). A missing, unreadable or oversized
// file, anything but a regular file, a wrong signature or a damaged
// resource count applies the defaults of an invalid file and returns
// Invalid; the table is then left as it was (only its header row at
// start-up). `fileFound` (when given) tells whether anything was at `path`:
// an Invalid outcome with a file found means the user's file was not taken,
// and it must be kept (KeepUnloadedFile) before anything is saved.
// `problem` (when given) receives, for an Invalid outcome, one line saying
// why the file was not taken ("it does not exist", ...); it is emptied on
// success.
LoadOutcome LoadParameters(const std::string& path, ResourceTable& table, WindowParameters& params,
                           bool* fileFound = nullptr, std::string* problem = nullptr);

// Reads what is already in `ini` (the same rules as LoadParameters).
LoadOutcome ReadParameters(const IniFile& ini, ResourceTable& table, WindowParameters& params);

// Moves a parameters file that exists but was not loaded out of the way, so
// that no save can overwrite it: to `path` + ".bad", or ".bad1", ".bad2",
// ... when that name is taken (an earlier damaged file is never replaced).
// The file is renamed, not copied, so whatever it is (a folder, a FIFO, a
// link, a file nobody may read) is kept exactly as it was. Returns the new
// name; empty when it could not be moved, with the reason in `error`.
std::string KeepUnloadedFile(const std::string& path, std::string* error = nullptr);

// The message that tells the user a parameters file was not read and where
// it is kept (`keptAs` empty: it could not be moved and is left untouched).
std::string UnloadedFileMessage(const std::string& path, const std::string& keptAs);

// Writes every key in its order into `ini` (keys it does not know stay).
void WriteParameters(IniFile& ini, const ResourceTable& table, const WindowParameters& params);

// Saves to `path` in one step: the old file is replaced only when the new
// one is completely written; on failure the old file stays as it was.
// Returns false on failure, with a short reason in `error`. The file is
// written for its owner only (mode 0600): it holds command lines the
// program runs. Keys of the file on disk that the program does not know
// are kept; when that file cannot be read any more, it is first kept aside
// (KeepUnloadedFile, its new name in `keptAs`) rather than replaced.
bool SaveParameters(const std::string& path, const ResourceTable& table,
                    const WindowParameters& params, std::string* error = nullptr,
                    std::string* keptAs = nullptr);

// Whether this program has saved a parameters file at `path` on this
// machine before (kept in the state folder, not in the file itself).
bool ParametersSavedBefore(const std::string& path);
// Records a successful save of `path`.
void RememberParametersSaved(const std::string& path);

}  // namespace tw
