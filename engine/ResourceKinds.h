// The kinds of resource a row can measure, and everything that differs
// between them in one descriptor per kind: a new kind is one measurement
// file and one line in the table of engine/ResourceKinds.cpp.
#pragma once

#include <memory>
#include <string>

#include "engine/MeasurementTypes.h"

namespace tw {

class Measurement;

// One of the three measured speeds. The order is that of the speed columns
// (write, read, ping), of the trend blocks and of a trend record's values.
enum class Series { Write = 0, Read = 1, Ping = 2 };

// A line the charts draw for a kind: its series and the colour column it
// takes (0 = the write colour, 1 = the read colour), and its hover label.
struct ChartLine {
  Series series;
  int colourSlot;
  const char* label;
};

// The texts the resource wizard shows for a kind.
struct WizardTexts {
  const char* choice;       // the kind's radio button
  const char* topic;        // the hint under the resource name
  const char* colourLabel;  // the label of the read colour
  bool writeColour;         // whether the write colour can be chosen
  bool timeout;             // whether the echo timeout can be set
  bool blockSize;           // whether the block size can be set
};

struct KindDescriptor {
  ResourceKind kind;
  const char* code;  // the kind's text in the parameters file
  ChartLine lines[2];
  int lineCount;
  Series statusSeries;  // whose column shows the status text
  Series mainSeries;    // drives the speed events, the icon and the title
  const char* mainLabel;
  int priorityClass;  // the thread's priority class before it measures
  bool needsEcho;     // idles when ICMP echo cannot be used
  std::unique_ptr<Measurement> (*newMeasurement)();
  WizardTexts wizard;
};

// The descriptor of `kind`; for ResourceKind::None one with no lines and no
// measurement (the row idles).
const KindDescriptor& Describe(ResourceKind kind);
// The kind a parameters-file text names; ResourceKind::None for any other.
ResourceKind KindFromText(const std::string& text);
// The parameters-file text of `kind`; empty for ResourceKind::None.
std::string KindText(ResourceKind kind);

// The speed of `series` in a snapshot, and its history.
double SeriesSpeed(const MeasurementSnapshot& results, Series series);
const SpeedHistory& SeriesHistory(const MeasurementSnapshot& results, Series series);

}  // namespace tw
