#include "monitor/ResourceWizard.h"

#include <array>

#include "engine/ResourceKinds.h"
#include "util/Numbers.h"

namespace tw {

namespace {

constexpr std::array<int, kEventTextCount> kMinEventColumns{
    Col::MinOnce,    Col::MinTimeout, Col::MinAction,    Col::MinEnablesMax, Col::MinSound,
    Col::MinCommand, Col::MinFolder,  Col::MinCloseFile, Col::MinCloseTitle, Col::MinNotifyText};
constexpr std::array<int, kEventTextCount> kMaxEventColumns{
    Col::MaxOnce,    Col::MaxTimeout, Col::MaxAction,    Col::MaxEnablesMin, Col::MaxSound,
    Col::MaxCommand, Col::MaxFolder,  Col::MaxCloseFile, Col::MaxCloseTitle, Col::MaxNotifyText};

constexpr std::array<ColorValue, 9> kCandidateColors{
    clLime, clYellow, clAqua, clFuchsia, clBlue, clPurple, clRed, clSilver, clWhite};

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return text;
}

std::string Flag(bool on) {
  return on ? "1" : "0";
}

bool ReadsNonZero(const std::string& text) {
  return ParseWholeNumber(text) != 0;
}

bool ColorInUse(const ResourceTable& table, ColorValue color) {
  for (int row = 1; row < table.RowCount(); ++row) {
    for (int col : {Col::WriteColor, Col::ReadColor}) {
      if (StringToColor(table.Cell(col, row)) == color) return true;
    }
  }
  return false;
}

ColorValue RandomColor(const std::function<int()>& randomPart) {
  ColorValue color = 0;
  for (int shift : {0, 8, 16}) color |= (128 + randomPart()) << shift;
  return color;
}

}  // namespace

const std::array<int, kEventTextCount>& EventRecordColumns(bool minimumEvent) {
  return minimumEvent ? kMinEventColumns : kMaxEventColumns;
}

void FillRowFromWizard(ResourceTable& table, int row, const WizardResult& result) {
  table.SetCell(Col::Resource, row, OneLine(result.resource));
  table.SetCell(Col::Kind, row, KindText(result.kind));
  table.SetCell(Col::WriteColor, row, ColorToString(result.writeColor));
  table.SetCell(Col::ReadColor, row, ColorToString(result.readColor));
  table.SetCell(Col::ProcessDelay, row, OneLine(result.processDelay));
  table.SetCell(Col::AutoSize, row, Flag(result.autoSize));
  table.SetCell(Col::PacketSize, row, OneLine(result.packetSize));
  table.SetCell(Col::Timeout, row, OneLine(result.timeout));
  table.SetCell(Col::MinSpeed, row, OneLine(result.minSpeed));
  table.SetCell(Col::MaxSpeed, row, OneLine(result.maxSpeed));
  table.SetCell(Col::PerformMinSpeed, row, Flag(result.performMinSpeed));
  table.SetCell(Col::PerformMaxSpeed, row, Flag(result.performMaxSpeed));
  for (bool minimum : {true, false}) {
    const EventRecord& record = minimum ? result.minEvent : result.maxEvent;
    for (size_t i = 0; i < kEventTextCount; ++i)
      table.SetCell(EventRecordColumns(minimum)[i], row, OneLine(record[i]));
  }
  table.ClearEventBookkeeping(row);
}

WizardResult WizardFromRow(const ResourceTable& table, int row, ResourceKind defaultKind) {
  WizardResult result;
  result.resource = table.Cell(Col::Resource, row);
  const ResourceKind kind = table.Kind(row);
  result.kind = kind == ResourceKind::None ? defaultKind : kind;
  result.writeColor = StringToColor(table.Cell(Col::WriteColor, row)).value_or(result.writeColor);
  result.readColor = StringToColor(table.Cell(Col::ReadColor, row)).value_or(result.readColor);
  result.processDelay = table.Cell(Col::ProcessDelay, row);
  result.autoSize = ReadsNonZero(table.Cell(Col::AutoSize, row));
  result.packetSize = table.Cell(Col::PacketSize, row);
  result.timeout = table.Cell(Col::Timeout, row);
  result.minSpeed = table.Cell(Col::MinSpeed, row);
  result.maxSpeed = table.Cell(Col::MaxSpeed, row);
  result.performMinSpeed = ReadsNonZero(table.Cell(Col::PerformMinSpeed, row));
  result.performMaxSpeed = ReadsNonZero(table.Cell(Col::PerformMaxSpeed, row));
  for (bool minimum : {true, false}) {
    EventRecord& record = minimum ? result.minEvent : result.maxEvent;
    for (size_t i = 0; i < kEventTextCount; ++i)
      record[i] = table.Cell(EventRecordColumns(minimum)[i], row);
  }
  return result;
}

LineColors ChooseLineColors(const ResourceTable& table, const std::function<int()>& randomPart) {
  std::vector<ColorValue> free;
  for (ColorValue candidate : kCandidateColors) {
    if (!ColorInUse(table, candidate)) free.push_back(candidate);
    if (free.size() == 2) break;
  }
  LineColors colors;
  colors.write = free.size() > 1 ? free[1] : RandomColor(randomPart);
  if (!free.empty()) {
    colors.read = free[0];
  } else {
    do colors.read = RandomColor(randomPart);
    while (colors.read == colors.write);
  }
  return colors;
}

// "[2001:db8::1]:8080" is an IPv6 address with a port: the address alone.
static std::string WithoutBrackets(const std::string& piece) {
  const size_t close = piece.find(']');
  if (piece.empty() || piece[0] != '[' || close == std::string::npos) return piece;
  return piece.substr(1, close - 1);
}

std::string ProposedHost(const std::string& path) {
  const std::string text = path.substr(0, 255);
  size_t start = text.find('/');
  if (start == std::string::npos) return text;
  std::string piece;
  while (piece.empty() && start != std::string::npos) {
    const size_t end = text.find('/', start + 1);
    piece = text.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    start = end;
  }
  return WithoutBrackets(piece);
}

}  // namespace tw
