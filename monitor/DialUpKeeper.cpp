#include "monitor/DialUpKeeper.h"

#include <set>
#include <utility>

namespace tw {

namespace {
const std::string kEmpty;
}

ConnectWindowsTable::ConnectWindowsTable() : rows_(2) {
  rows_[0] = {"Dialog Box Title", "Button To Push"};
}

const std::string& ConnectWindowsTable::Cell(int col, int row) const {
  if (col < 0 || col > 1 || row < 0 || row >= RowCount()) return kEmpty;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void ConnectWindowsTable::SetCell(int col, int row, std::string text) {
  if (col < 0 || col > 1 || row < 1 || row >= RowCount()) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = std::move(text);
}

void ConnectWindowsTable::SetRowCount(int count) {
  rows_.resize(static_cast<size_t>(count < 1 ? 1 : count));
}

void ConnectWindowsTable::SetDefaultEntries() {
  SetRowCount(4);
  rows_[1] = {"Connect To", "Connect"};
  rows_[2] = {"Dial-Up Networking", "OK"};
  rows_[3] = {"Reestablish Connection", "Reconnect"};
}

void DialUpKeeper::DialUpTimerTimer() {
  const std::vector<TopWindow> windows = windows_.List();
  for (int row = 1; row < table_.RowCount(); ++row) {
    const std::string title = table_.Cell(ConnectWindowsTable::TitleCol, row).substr(0, 255);
    if (title.empty()) continue;
    const std::string button = table_.Cell(ConnectWindowsTable::ButtonCol, row).substr(0, 255);
    // An empty button text occurs in no control's name.
    if (button.empty()) continue;
    // One press reaches every window of a program with that exact title, so
    // two same-titled dialogs of one program take one post between them.
    std::set<std::pair<int64_t, std::string>> posted;
    for (const TopWindow& window : windows) {
      // Titles are compared by their first 255 characters.
      const std::string text = window.title.substr(0, 255);
      if (text.empty() || text.find(title) == std::string::npos) continue;
      if (posted.emplace(window.pid, window.title).second) {
        buttons_.PostPress(window.pid, window.title, button);
      }
    }
  }
}

}  // namespace tw
