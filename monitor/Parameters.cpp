#include "monitor/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "platform/SafeFile.h"
#include "platform/StateFolder.h"
#include "util/Numbers.h"

namespace tw {

namespace {

constexpr const char* kMain = "Main";
constexpr const char* kObjects = "Objects";
constexpr const char* kPosition = "Position";
constexpr const char* kButtons = "Buttons";
constexpr const char* kResourceWindow = "Resource Window";
constexpr const char* kScale = "Scale";
constexpr const char* kDialUp = "Dial_Up";
constexpr const char* kFonts = "Fonts";
constexpr const char* kTrend = "Trend";
constexpr const char* kMisc = "Misc";

constexpr double kScaleOfZero = 1000;
constexpr int kClassicColumns = 38;
// The charts' highest full scale (10 GB/s); older versions stopped at 100000.
constexpr double kMaxScale = 10000000;
constexpr int kMaxFontSize = 200;  // points

// The three fonts in the order of the file, with their key prefixes.
struct FontKeys {
  const char* prefix;
  FontSetting WindowParameters::*font;
};
constexpr FontKeys kFontKeys[] = {
    {"Dialog Text Font ", &WindowParameters::dialogFont},
    {"String Grid Text Font ", &WindowParameters::stringGridFont},
    {"Edit Line Font ", &WindowParameters::editLineFont},
};

struct ButtonKey {
  const char* key;
  bool WindowParameters::*flag;
};
// "StayOnTop" is read after "Shrinked" and written with the others.
constexpr ButtonKey kButtonKeys[] = {
    {"Ping objects", &WindowParameters::pingObjects},
    {"Trend", &WindowParameters::trend},
    {"HGrdBtn", &WindowParameters::hGrid},
    {"VGrdBtn", &WindowParameters::vGrid},
    {"HTrendGrdBtn", &WindowParameters::hTrendGrid},
    {"VTrendGrdBtn", &WindowParameters::vTrendGrid},
    {"Shrinked", &WindowParameters::shrinked},
    {"StayOnTop", &WindowParameters::stayOnTop},
};

std::string ColumnWidthKey(int column) {
  return "ColWidth " + std::to_string(column + 1);
}

// The resource count of the file: 0 when the key is missing, at most
// kMaxResources; nothing when the key holds no count (a negative number, a
// 32-bit pattern such as 0xFFFFFFFF, or no number), which marks a damaged
// file whose resource keys must not be taken as an empty list.
std::optional<int> ResourceCountOf(const IniFile& ini) {
  if (!ini.Find(kObjects, "Number")) return 0;
  const int number = ini.ReadInteger(kObjects, "Number", -1);
  if (number < 0) return std::nullopt;
  return std::min(number, kMaxResources);
}

using ResourceCells = std::array<std::string, Col::Count>;

ResourceCells ReadResourceRow(const IniFile& ini, int row, int count) {
  ResourceCells cells;
  for (int col = 0; col < Col::Count; ++col) {
    auto value = ini.Find(kObjects, ObjectKey(row, col, count));
    // A file with more than ten resources from an older writer only has
    // the classic keys; read them as that writer would.
    if (!value && count > kClassicObjectKeyRows) value = ini.Find(kObjects, ObjectKey(row, col, 1));
    cells[static_cast<size_t>(col)] = value.value_or("");
  }
  // The event bookkeeping is run-time state: it is cleared at load and
  // makes no resource.
  for (int col : {Col::MinSince, Col::MinPerformed, Col::MaxPerformed, Col::MaxSince})
    cells[static_cast<size_t>(col)].clear();
  return cells;
}

bool AllEmpty(const ResourceCells& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

// Rows whose cells are all empty in the file are no resources (a damaged
// count would otherwise make up to kMaxResources of them, each with a
// thread); they are left out and the later rows move up.
void ReadObjects(const IniFile& ini, int count, ResourceTable& table) {
  std::vector<ResourceCells> rows;
  for (int row = 1; row <= count; ++row) {
    ResourceCells cells = ReadResourceRow(ini, row, count);
    if (!AllEmpty(cells)) rows.push_back(std::move(cells));
  }
  table.SetRowCount(static_cast<int>(rows.size()) + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    for (int col = 0; col < Col::Count; ++col)
      table.SetCell(col, row, std::move(rows[i][static_cast<size_t>(col)]));
  }
}

// Entries with neither a title nor a button are left out like empty
// resource rows; the table keeps at least one entry row.
void ReadDialUp(const IniFile& ini, WindowParameters& p) {
  p.dialUpEnabled = ini.ReadBool(kDialUp, "Enabled", p.dialUpEnabled);
  p.dialUpIntervalMs = ini.ReadInteger(kDialUp, "Interval", p.dialUpIntervalMs);
  const int current = static_cast<int>(p.dialUpTable.size()) + 1;
  const int number = std::clamp(ini.ReadInteger(kDialUp, "Number", current), 0, kMaxDialUpRows + 1);
  std::vector<DialUpEntry> entries;
  for (int row = 1; row < number; ++row) {
    const size_t index = static_cast<size_t>(row - 1);
    DialUpEntry entry = index < p.dialUpTable.size() ? p.dialUpTable[index] : DialUpEntry{};
    entry.dialogTitle = ini.ReadString(kDialUp, "Dialog" + std::to_string(row), entry.dialogTitle);
    entry.buttonText = ini.ReadString(kDialUp, "Button" + std::to_string(row), entry.buttonText);
    if (!entry.dialogTitle.empty() || !entry.buttonText.empty()) entries.push_back(entry);
  }
  if (entries.empty()) entries.emplace_back();
  p.dialUpTable = std::move(entries);
}

void ReadFont(const IniFile& ini, const std::string& prefix, FontSetting& font) {
  font.name = ini.ReadString(kFonts, prefix + "Name", font.name);
  const int size = ini.ReadInteger(kFonts, prefix + "Size", font.size);
  if (size >= 1 && size <= kMaxFontSize) font.size = size;
  // Bold and italic are only ever added to the style, never removed.
  if (ini.ReadBool(kFonts, prefix + "Bold", font.bold)) font.bold = true;
  if (ini.ReadBool(kFonts, prefix + "Italic", font.italic)) font.italic = true;
  if (auto color = ini.Find(kFonts, prefix + "Color")) {
    if (auto value = StringToColor(*color)) font.color = *value;
  }
}

void ApplyInvalidFileDefaults(WindowParameters& p) {
  p.trend = false;
  p.dialUpTable = DefaultDialUpTable();
  p.dialogFont.color = SystemColorValue(SystemColor::BtnText);
  p.stringGridFont.color = SystemColorValue(SystemColor::BtnText);
}

void WriteFont(IniFile& ini, const std::string& prefix, const FontSetting& font) {
  ini.WriteString(kFonts, prefix + "Name", font.name);
  ini.WriteInteger(kFonts, prefix + "Size", font.size);
  ini.WriteBool(kFonts, prefix + "Bold", font.bold);
  ini.WriteBool(kFonts, prefix + "Italic", font.italic);
  ini.WriteString(kFonts, prefix + "Color", ColorToString(font.color));
}

std::string MarkerFile() {
  const std::string folder = StateFolder();
  return folder.empty() ? "" : folder + "/saved-parameters";
}

// The list of saved paths is small; a larger file is not ours.
constexpr size_t kMaxMarkerBytes = 1u << 20;
// Names tried for a kept file: ".bad", ".bad1" ... ".bad999".
constexpr int kMaxKeptNames = 1000;

std::string CanonicalName(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::absolute(path, ignored).lexically_normal().string();
}

}  // namespace

std::vector<DialUpEntry> DefaultDialUpTable() {
  return {{"Connect To", "Connect"},
          {"Dial-Up Networking", "OK"},
          {"Reestablish Connection", "Reconnect"}};
}

std::string ObjectKey(int row, int column, int resourceCount) {
  std::string key = "Object" + std::to_string(row);
  if (resourceCount > kClassicObjectKeyRows) key += '_';
  return key + std::to_string(column);
}

std::string ScaleText(double value) {
  if (!std::isfinite(value)) value = 0;
  // d.ddddddddddddddE+xxxx after a sign column (blank for positive values).
  return (value < 0 ? "-" : " ") + ScientificText(std::fabs(value), 14, 4);
}

double ScaleFromText(const std::string& text) {
  const double value = ParseDecimal(text);
  // A negative scale cannot be drawn; it is treated like an unreadable one.
  if (value <= 0) return kScaleOfZero;
  return std::min(value, kMaxScale);
}

namespace {

std::string ReadProblem(const FileRead& read) {
  switch (read.status) {
    case FileReadStatus::Ok:
      return {};
    case FileReadStatus::Missing:
      return "it does not exist";
    case FileReadStatus::NotRegular:
      return "it is not a regular file";
    case FileReadStatus::TooLarge:
      return "it is larger than " + std::to_string(IniFile::kMaxFileBytes >> 20) + " MB";
    case FileReadStatus::Unreadable:
      break;
  }
  return "it cannot be read" + (read.error.empty() ? "" : ": " + read.error);
}

std::string ContentProblem(const IniFile& ini) {
  if (ini.ReadString(kMain, "Sign", "") != kParametersSignature) {
    return std::string("it is not a parameters file (no \"Sign=") + kParametersSignature +
           "\" in [Main])";
  }
  return "its resource count ([Objects] Number) is damaged";
}

}  // namespace

LoadOutcome LoadParameters(const std::string& path, ResourceTable& table, WindowParameters& params,
                           bool* fileFound, std::string* problem) {
  const FileRead read = ReadRegularFile(path, IniFile::kMaxFileBytes);
  if (fileFound != nullptr) *fileFound = read.status != FileReadStatus::Missing;
  const IniFile ini = read.status == FileReadStatus::Ok ? IniFile::FromText(read.bytes) : IniFile{};
  const LoadOutcome outcome = ReadParameters(ini, table, params);
  if (problem != nullptr) {
    *problem = outcome == LoadOutcome::Loaded      ? std::string()
               : read.status != FileReadStatus::Ok ? ReadProblem(read)
                                                   : ContentProblem(ini);
  }
  return outcome;
}

LoadOutcome ReadParameters(const IniFile& ini, ResourceTable& table, WindowParameters& p) {
  const std::optional<int> count = ResourceCountOf(ini);
  if (ini.ReadString(kMain, "Sign", "") != kParametersSignature || !count) {
    ApplyInvalidFileDefaults(p);
    return LoadOutcome::Invalid;
  }
  ReadObjects(ini, *count, table);
  p.left = ini.ReadInteger(kPosition, "Left", p.left);
  p.top = ini.ReadInteger(kPosition, "Top", p.top);
  for (const ButtonKey& button : kButtonKeys)
    p.*button.flag = ini.ReadBool(kButtons, button.key, p.*button.flag);
  for (int col = 0; col < 5; ++col) {
    int& width = p.columnWidths[static_cast<size_t>(col)];
    width = ini.ReadInteger(kResourceWindow, ColumnWidthKey(col), width);
  }
  p.scale = ScaleFromText(ini.ReadString(kScale, "Scale", ""));
  p.trendScale = ScaleFromText(ini.ReadString(kScale, "TrendScale", ""));
  ReadDialUp(ini, p);
  for (const FontKeys& font : kFontKeys) ReadFont(ini, font.prefix, p.*font.font);
  p.trendEnabled = ini.ReadBool(kTrend, "Enabled", p.trendEnabled);
  p.userKnownCDFileSize = ini.ReadBool(kMisc, "UserKnownCDFileSize", p.userKnownCDFileSize);
  p.closeToTray = ini.ReadBool(kMisc, "CloseToTray", p.closeToTray);
  return LoadOutcome::Loaded;
}

void WriteParameters(IniFile& ini, const ResourceTable& table, const WindowParameters& p) {
  ini.WriteString(kMain, "Sign", kParametersSignature);
  const int count = table.ResourceCount();
  // Keys of an earlier, longer or differently keyed list must not linger.
  ini.ClearSection(kObjects);
  ini.WriteInteger(kObjects, "Number", count);
  for (int row = 1; row <= count; ++row) {
    for (int col = 0; col < Col::Count; ++col) {
      // Cells beyond the classic 38 only when set: a file without them is
      // written byte for byte as before.
      if (col >= kClassicColumns && table.Cell(col, row).empty()) continue;
      ini.WriteString(kObjects, ObjectKey(row, col, count), table.Cell(col, row));
    }
  }
  ini.WriteInteger(kPosition, "Left", p.left);
  ini.WriteInteger(kPosition, "Top", p.top);
  for (const ButtonKey& button : kButtonKeys) ini.WriteBool(kButtons, button.key, p.*button.flag);
  for (int col = 0; col < 5; ++col)
    ini.WriteInteger(kResourceWindow, ColumnWidthKey(col),
                     p.columnWidths[static_cast<size_t>(col)]);
  ini.WriteVerbatim(kScale, "Scale", ScaleText(p.scale));
  ini.WriteVerbatim(kScale, "TrendScale", ScaleText(p.trendScale));
  ini.WriteBool(kDialUp, "Enabled", p.dialUpEnabled);
  ini.WriteInteger(kDialUp, "Interval", p.dialUpIntervalMs);
  const int number = static_cast<int>(p.dialUpTable.size()) + 1;
  ini.WriteInteger(kDialUp, "Number", number);
  for (int row = 1; row < number; ++row) {
    const DialUpEntry& entry = p.dialUpTable[static_cast<size_t>(row - 1)];
    ini.WriteString(kDialUp, "Dialog" + std::to_string(row), entry.dialogTitle);
    ini.WriteString(kDialUp, "Button" + std::to_string(row), entry.buttonText);
  }
  for (const FontKeys& font : kFontKeys) WriteFont(ini, font.prefix, p.*font.font);
  ini.WriteBool(kTrend, "Enabled", p.trendEnabled);
  ini.WriteBool(kMisc, "UserKnownCDFileSize", p.userKnownCDFileSize);
  ini.WriteBool(kMisc, "CloseToTray", p.closeToTray);
}

std::string KeepUnloadedFile(const std::string& path, std::string* error) {
  for (int n = 0; n < kMaxKeptNames; ++n) {
    const std::string name = path + ".bad" + (n == 0 ? "" : std::to_string(n));
    switch (RenameWithoutReplacing(path, name, error)) {
      case RenameOutcome::Done:
        return name;
      case RenameOutcome::NameTaken:
        continue;
      case RenameOutcome::Failed:
        return "";
    }
  }
  if (error != nullptr) *error = "every name for a kept file is taken";
  return "";
}

std::string UnloadedFileMessage(const std::string& path, const std::string& keptAs) {
  const std::string head = "An ERROR occured during reading parameters file\r" + path + "\r";
  if (keptAs.empty())
    return head +
           "It could not be moved aside, so it is left as it is and this session's "
           "settings will not be saved.";
  return head + "It is kept as\r" + keptAs + "\rand new settings will be saved in its place.";
}

bool SaveParameters(const std::string& path, const ResourceTable& table,
                    const WindowParameters& params, std::string* error, std::string* keptAs) {
  // Keys that other versions or the user added survive the save.
  const FileRead read = ReadRegularFile(path, IniFile::kMaxFileBytes);
  IniFile ini = read.status == FileReadStatus::Ok ? IniFile::FromText(read.bytes) : IniFile{};
  if (read.status != FileReadStatus::Ok && read.status != FileReadStatus::Missing) {
    // What cannot be read cannot be merged: keep it rather than replace it.
    const std::string kept = KeepUnloadedFile(path, error);
    if (kept.empty()) return false;
    if (keptAs != nullptr) *keptAs = kept;
  }
  WriteParameters(ini, table, params);
  if (!ReplaceFileContents(path, ini.ToText(), error)) return false;
  RememberParametersSaved(path);
  return true;
}

namespace {

std::vector<std::string> SavedPaths() {
  std::vector<std::string> paths;
  const std::string marker = MarkerFile();
  if (marker.empty()) return paths;
  const FileRead read = ReadRegularFile(marker, kMaxMarkerBytes);
  std::istringstream in(read.bytes);
  std::string line;
  while (std::getline(in, line)) paths.push_back(line);
  return paths;
}

}  // namespace

bool ParametersSavedBefore(const std::string& path) {
  const std::vector<std::string> paths = SavedPaths();
  return std::find(paths.begin(), paths.end(), CanonicalName(path)) != paths.end();
}

void RememberParametersSaved(const std::string& path) {
  const std::string marker = MarkerFile();
  if (marker.empty()) return;
  std::vector<std::string> paths = SavedPaths();
  const std::string name = CanonicalName(path);
  if (std::find(paths.begin(), paths.end(), name) != paths.end()) return;
  paths.push_back(name);
  std::string text;
  for (const std::string& line : paths) text += line + '\n';
  // Replaced in one step and for the owner only, like the parameters file.
  ReplaceFileContents(marker, text);
}

}  // namespace tw
