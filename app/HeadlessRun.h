// `tarnwick --headless`: the event loop of the program without a window.
#pragma once

#include <string>

namespace tw {

// Writes one log line to standard error: "tarnwick: " and `line`, with line
// breaks and other control characters made blanks, so that every event is
// one line in the journal.
void HeadlessLogLine(const std::string& line);

struct ProgramOptions;

// Runs the measurements without a window or a display until SIGTERM or
// SIGINT; SIGHUP reads the parameters file again. Serves the metrics where
// the options say. Returns the exit code: 0 after a clean stop, 2 when the
// parameters file cannot be loaded, 3 when the metrics endpoint cannot
// listen where told.
int RunHeadless(int argc, char** argv, const ProgramOptions& options);

}  // namespace tw
