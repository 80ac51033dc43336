#include "monitor/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

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
constexpr double kMaxScale = 100000;
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

void ReadObjects(const IniFile& ini, ResourceTable& table) {
  const int count = std::clamp(ini.ReadInteger(kObjects, "Number", 0), 0, kMaxResources);
  table.SetRowCount(count + 1);
  for (int row = 1; row <= count; ++row) {
    for (int col = 0; col < Col::Count; ++col) {
      auto value = ini.Find(kObjects, ObjectKey(row, col, count));
      // A file with more than ten resources from an older writer only has
      // the classic keys; read them as that writer would.
      if (!value && count > kClassicObjectKeyRows)
        value = ini.Find(kObjects, ObjectKey(row, col, 1));
      table.SetCell(col, row, value.value_or(""));
    }
    table.ClearEventBookkeeping(row);
  }
}

void ReadDialUp(const IniFile& ini, WindowParameters& p) {
  p.dialUpEnabled = ini.ReadBool(kDialUp, "Enabled", p.dialUpEnabled);
  p.dialUpIntervalMs = ini.ReadInteger(kDialUp, "Interval", p.dialUpIntervalMs);
  const int current = static_cast<int>(p.dialUpTable.size()) + 1;
  const int number = std::clamp(ini.ReadInteger(kDialUp, "Number", current), 0, kMaxDialUpRows + 1);
  // The table keeps at least its header row and one entry row.
  p.dialUpTable.resize(static_cast<size_t>(std::max(number, 2) - 1));
  for (int row = 1; row < number; ++row) {
    DialUpEntry& entry = p.dialUpTable[static_cast<size_t>(row - 1)];
    entry.dialogTitle = ini.ReadString(kDialUp, "Dialog" + std::to_string(row), entry.dialogTitle);
    entry.buttonText = ini.ReadString(kDialUp, "Button" + std::to_string(row), entry.buttonText);
  }
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

LoadOutcome LoadParameters(const std::string& path, ResourceTable& table,
                           WindowParameters& params) {
  const std::optional<IniFile> ini = IniFile::Load(path);
  return ReadParameters(ini.value_or(IniFile{}), table, params);
}

LoadOutcome ReadParameters(const IniFile& ini, ResourceTable& table, WindowParameters& p) {
  if (ini.ReadString(kMain, "Sign", "") != kParametersSignature) {
    ApplyInvalidFileDefaults(p);
    return LoadOutcome::Invalid;
  }
  ReadObjects(ini, table);
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
  return LoadOutcome::Loaded;
}

void WriteParameters(IniFile& ini, const ResourceTable& table, const WindowParameters& p) {
  ini.WriteString(kMain, "Sign", kParametersSignature);
  const int count = table.ResourceCount();
  // Keys of an earlier, longer or differently keyed list must not linger.
  ini.ClearSection(kObjects);
  ini.WriteInteger(kObjects, "Number", count);
  for (int row = 1; row <= count; ++row) {
    for (int col = 0; col < Col::Count; ++col)
      ini.WriteString(kObjects, ObjectKey(row, col, count), table.Cell(col, row));
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
}

bool SaveParameters(const std::string& path, const ResourceTable& table,
                    const WindowParameters& params, std::string* error) {
  // Keys that other versions or the user added survive the save.
  IniFile ini = IniFile::Load(path).value_or(IniFile{});
  WriteParameters(ini, table, params);
  if (!ReplaceFileContents(path, ini.ToText(), error)) return false;
  RememberParametersSaved(path);
  return true;
}

bool ParametersSavedBefore(const std::string& path) {
  const std::string marker = MarkerFile();
  if (marker.empty()) return false;
  std::ifstream in(marker);
  const std::string wanted = CanonicalName(path);
  std::string line;
  for (int lines = 0; lines < 10000 && std::getline(in, line); ++lines) {
    if (line == wanted) return true;
  }
  return false;
}

void RememberParametersSaved(const std::string& path) {
  if (ParametersSavedBefore(path)) return;
  const std::string marker = MarkerFile();
  if (marker.empty()) return;
  std::ofstream out(marker, std::ios::app);
  out << CanonicalName(path) << '\n';
}

}  // namespace tw
