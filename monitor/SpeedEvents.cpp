#include "monitor/SpeedEvents.h"

#include <cctype>

#include "util/Numbers.h"

namespace tw {

namespace {

// What the action column (14 or 18) asks for; only its first character
// counts, as the parameters file has always been read.
enum class EventAction {
  Unknown = -1,
  PlaySound = 0,
  RunProgram = 1,
  CloseProgram = 2,
  Notify = 3
};

EventAction ActionOf(const std::string& cell) {
  if (cell.empty() || std::isdigit(static_cast<unsigned char>(cell[0])) == 0)
    return EventAction::Unknown;
  return static_cast<EventAction>(cell[0] - '0');
}

// Texts handed to an action are cut to 255 characters.
std::string Cut(const std::string& text) {
  return text.substr(0, 255);
}

// Reads a pending-since stamp; false when the cell is not a plain decimal
// number of seconds (then the stamp is started afresh).
bool ReadStamp(const std::string& cell, int64_t& seconds) {
  if (cell.empty() || cell.size() > 18) return false;
  int64_t value = 0;
  for (char c : cell) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + (c - '0');
  }
  seconds = value;
  return true;
}

}  // namespace

int64_t EventTimeoutSeconds(const std::string& cell) {
  const int64_t seconds = ParseWholeNumber(cell);
  return seconds < 2 ? 2 : seconds;
}

int64_t SpeedEvents::NowSeconds() const {
  // The 64-bit monotonic clock does not wrap, so stamps stay comparable for
  // any uptime (a signed 32-bit millisecond counter turns negative after
  // about 24.8 days and would hold pending events for ever).
  return static_cast<int64_t>(clock_.TickMs() / 1000);
}

void SpeedEvents::Check(int row, double currentSpeed) {
  if (row < 1 || row >= table_.RowCount()) return;
  CheckEvent(kMinSpeedEvent, kMaxSpeedEvent, row, currentSpeed);
  CheckEvent(kMaxSpeedEvent, kMinSpeedEvent, row, currentSpeed);
}

void SpeedEvents::CheckEvent(const EventColumns& event, const EventColumns& other, int row,
                             double speed) {
  if (table_.Cell(event.enabled, row) != "1") return;
  const double threshold = ParseDecimal(table_.Cell(event.threshold, row));
  const bool condition = event.isMinimum ? speed <= threshold : speed >= threshold;
  if (!condition) {
    table_.SetCell(event.since, row, "");
    return;
  }
  const int64_t now = NowSeconds();
  int64_t since = 0;
  // A stamp that is unreadable or lies ahead of now (left by an earlier run
  // of the machine) would hold the event for ever: start it afresh instead.
  if (!ReadStamp(table_.Cell(event.since, row), since) || since > now) {
    table_.SetCell(event.since, row, std::to_string(now));
    return;
  }
  if (now <= since + EventTimeoutSeconds(table_.Cell(event.timeout, row))) return;
  const std::string& once = table_.Cell(event.once, row);
  const bool mayPerform = (once == "1" && table_.Cell(event.performed, row).empty()) || once == "0";
  if (!mayPerform) return;
  Perform(event, row);
  table_.SetCell(event.since, row, "");
  table_.SetCell(event.performed, row, "1");
  if (table_.Cell(event.enablesOther, row) == "1") table_.SetCell(other.performed, row, "");
}

void SpeedEvents::Perform(const EventColumns& event, int row) {
  const EventAction action = ActionOf(table_.Cell(event.action, row));
  // Copies: the cells may change while an action runs.
  const std::string sound = Cut(table_.Cell(event.sound, row));
  const std::string command = Cut(table_.Cell(event.command, row));
  const std::string folder = Cut(table_.Cell(event.folder, row));
  const std::string closeFile = Cut(table_.Cell(event.closeFile, row));
  const std::string closeTitle = Cut(table_.Cell(event.closeTitle, row));
  const std::string notifyText = Cut(table_.Cell(event.notifyText, row));
  switch (action) {
    case EventAction::PlaySound:
      if (!sound.empty()) actions_.PlaySoundFile(sound);
      break;
    case EventAction::RunProgram:
      if (!command.empty()) actions_.RunProgram(command, folder);
      break;
    case EventAction::CloseProgram:
      if (!closeFile.empty()) {
        actions_.CloseProgramByFile(closeFile);
      } else if (!closeTitle.empty()) {
        actions_.CloseProgramByTitle(closeTitle);
      }
      break;
    case EventAction::Notify:
      if (!notifyText.empty()) actions_.ShowNotification(notifyText);
      break;
    default:
      break;
  }
}

}  // namespace tw
