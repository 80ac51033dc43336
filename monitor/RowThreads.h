// Between a row of the settings table and its measurement thread: the
// settings a thread takes from its row, and what it shows there.
#pragma once

#include <vector>

#include "engine/MeasurementTypes.h"
#include "engine/PingThread.h"
#include "engine/ResourceKinds.h"
#include "monitor/ResourceTable.h"

namespace tw {

// Cells 1, 5, 8, 9, 10 and 11 of `row`.
ThreadSettings RowSettings(const ResourceTable& table, int row);

// Hands the settings of the thread's row to the thread.
void LoadRowSettings(TPingThread& thread, const ResourceTable& table);

// Gives every resource row of a freshly loaded table its suspended thread
// with the row's settings; they run once sampling starts.
void AttachRowThreads(ResourceTable& table, const EngineServices& services);

// The speed column of a series (write, read or ping).
int SpeedColumn(Series series);

// Writes a thread's status text or speeds into the speed cells of `row`;
// returns the columns written, to be repainted.
std::vector<int> ShowInRow(ResourceTable& table, int row, const DisplayUpdate& update);

}  // namespace tw
