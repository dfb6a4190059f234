// The whole replay: read, calibrate, convert, write, report.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "SessionCalibrator.h"
#include "ExitCode.h"

namespace replay {

struct ReplayOptions {
    std::string session;                  // input CSV
    std::string output;                   // output CSV; empty: standard output
    std::string reportJson;               // the report as JSON too; empty: not written
    std::optional<double> calibrateAt;    // seconds; empty: the first frame
    CalibrationSettings calibration;
    bool allowDegenerate = false;         // replay although a calibration was refused
    bool allowRepeatedTime = false;       // accept frames with the time of the one before
    bool strictColumns = false;           // near misses of known column names are errors
    bool driftColumns = false;            // the output gains each glove's drift residual
};

// Replays a session file through the library. The file is read twice: the
// first pass checks every row, finds the calibration frame (the first frame
// whose time is at or after calibrateAt) and counts degenerate frames; the
// second converts and writes each frame. The report goes to `report`.
// Throws ReplayError for every problem with the input, the options or the
// output; writes no report then.
void replaySession(const ReplayOptions& options, std::ostream& report);

}  // namespace replay
