// Fuzz target for the parameters reader: any bytes as the text of
// "RAREDARI.INI". Reading must never crash, hang or use memory without
// bound, and settings that were read must survive a save and a new read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "monitor/IniFile.h"
#include "monitor/Parameters.h"

namespace {

using namespace tw;

// A value written to the file has its NUL bytes and line breaks (a lone CR
// inside a line reads as part of the value) turned into blanks.
std::string AsWritten(std::string text) {
  for (char& c : text) {
    if (c == '\0' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckRoundTrip(const IniFile& read, const ResourceTable& table,
                    const WindowParameters& params) {
  IniFile saved = read;
  WriteParameters(saved, table, params);
  const std::string text = saved.ToText();
  const IniFile reread = IniFile::FromText(text);
  // The written document reads back to the same document.
  Require(reread.ToText() == IniFile::FromText(reread.ToText()).ToText());
  ResourceTable table2;
  WindowParameters params2;
  Require(ReadParameters(reread, table2, params2) == LoadOutcome::Loaded);
  Require(table2.RowCount() == table.RowCount());
  for (int row = 1; row < table.RowCount(); ++row) {
    for (int col = 0; col < Col::Count; ++col)
      Require(table2.Cell(col, row) == AsWritten(table.Cell(col, row)));
  }
  Require(params2.dialUpTable.size() == params.dialUpTable.size());
  Require(params2.dialogFont.name == AsWritten(params.dialogFont.name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const IniFile ini = IniFile::FromText(text);
  ResourceTable table;
  WindowParameters params;
  if (ReadParameters(ini, table, params) == LoadOutcome::Loaded) CheckRoundTrip(ini, table, params);
  return 0;
}
