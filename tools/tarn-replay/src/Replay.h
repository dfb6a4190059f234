// The whole replay: read, calibrate, convert, write, report.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "Calibrator.h"
#include "ExitCode.h"

struct ReplayOptions {
    std::string session;                  // input CSV
    std::string output;                   // output CSV; empty: standard output
    std::optional<double> calibrateAt;    // seconds; empty: the first frame
    CalibrationSettings calibration;
};

// Replays a session file through the library. The file is read twice: the
// first pass checks every row, finds the calibration frame (the first frame
// whose time is at or after calibrateAt) and counts degenerate frames; the
// second converts and writes each frame. The report goes to `report`.
// Throws ReplayError for every problem with the input, the options or the
// output; writes no report then.
void replaySession(const ReplayOptions& options, std::ostream& report);
