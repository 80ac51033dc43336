// One speed event of a resource as the event setup dialog edits it: ten
// texts of at most 255 characters, the first nine in the order of the
// settings table's classic event columns, then the notification text.
#pragma once

#include <array>
#include <string>

namespace tw {

enum EventText : size_t {
  etPerformOnce = 0,  // "1" once, "0" every time
  etTimeout,          // seconds
  etActionKind,       // "0" sound, "1" run, "2" close; empty: none
  etEnableOther,      // "1": enable the other event after this one
  etSoundFile,
  etCommandLine,
  etWorkingFolder,
  etCloseFile,   // program file to close
  etCloseTitle,  // window title text to close
  etNotifyText,  // text of a desktop notification
  kEventTextCount
};

using EventRecord = std::array<std::string, kEventTextCount>;

// The record of a new resource: performed once, 3 seconds, the other event
// enabled again afterwards, no action.
inline EventRecord NewEventRecord() {
  EventRecord record;
  record[etPerformOnce] = "1";
  record[etTimeout] = "3";
  record[etEnableOther] = "1";
  return record;
}

// True when the record names something to act on (sound file, program,
// program file or window title): the wizard turns the event on exactly then.
inline bool HasActionTarget(const EventRecord& record) {
  return !record[etSoundFile].empty() || !record[etCommandLine].empty() ||
         !record[etCloseFile].empty() || !record[etCloseTitle].empty() ||
         !record[etNotifyText].empty();
}

}  // namespace tw
