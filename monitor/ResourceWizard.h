// What the resource wizard hands back and the rules it follows that need no
// window: the row a result fills, the result a row loads, the line colours of
// a new resource and the host proposed for a typed address.
#pragma once

#include <functional>
#include <string>

#include "engine/MeasurementTypes.h"
#include "monitor/EventRecord.h"
#include "monitor/ResourceTable.h"
#include "util/Colour.h"

namespace tw {

// The values of one resource as the wizard's controls hold them. Numbers
// stay the texts the user sees, as the settings table keeps them.
struct WizardResult {
  std::string resource;                     // column 1
  ResourceKind kind = ResourceKind::Echo;   // column 5 ("1", "2", "3", "4")
  ColorValue writeColor = clYellow;         // column 6
  ColorValue readColor = clLime;            // column 7
  std::string processDelay = "1000";        // column 8, ms
  bool autoSize = true;                     // column 9
  std::string packetSize = "1024";          // column 10, bytes
  std::string timeout = "30000";            // column 11, ms
  std::string minSpeed = "0";               // column 12, Kbps
  std::string maxSpeed = "2";               // column 13, Kbps
  bool performMinSpeed = false;             // column 26
  bool performMaxSpeed = false;             // column 27
  EventRecord minEvent = NewEventRecord();  // columns 22, 23, 14, 31, 15, 16, 17, 34, 36
  EventRecord maxEvent = NewEventRecord();  // columns 24, 25, 18, 32, 19, 20, 21, 35, 37
};

// The settings-table columns of the nine texts of an event record.
const std::array<int, kEventTextCount>& EventRecordColumns(bool minimumEvent);

// Writes a result into `row`: columns 1 and 5..27 and 31..37 from the result,
// the event bookkeeping (28, 29, 30, 33) emptied; the speed cells 2..4 are
// left as they are. Control characters in the resource text become spaces,
// so that nothing typed can break a line of the parameters file.
void FillRowFromWizard(ResourceTable& table, int row, const WizardResult& result);

// The result a row loads into the wizard in edit mode. A column 5 that names
// no kind keeps `defaultKind`; an unreadable colour keeps the default one.
WizardResult WizardFromRow(const ResourceTable& table, int row,
                           ResourceKind defaultKind = ResourceKind::Echo);

// Colours of a new resource: the first two of lime, yellow, aqua, fuchsia,
// blue, purple, red, silver and white that no row uses as write or read
// colour (read takes the first, write the second). Where the candidates run
// out, random colours of 128 + `randomPart`() per part (0..126) are used,
// the read colour drawn until it differs from the write colour.
struct LineColors {
  ColorValue read = clLime;
  ColorValue write = clYellow;
};
LineColors ChooseLineColors(const ResourceTable& table, const std::function<int()>& randomPart);

// The host part of an address typed for an Internet host: the first
// non-empty piece between slashes after the first piece (of at most 255
// characters). "http://host/page" gives "host", "host/folder" gives
// "folder", "host/" gives "", "http://[2001:db8::1]:8080/x" gives the
// IPv6 address "2001:db8::1". Only asked when `path` holds a slash.
std::string ProposedHost(const std::string& path);

}  // namespace tw
