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
    std::string html;                     // the report as an HTML page too; empty: not written
};

// Replays a session file through the library: reads up to the
// calibration frame (the first frame whose time is at or after
// calibrateAt), calibrates, then converts and writes every frame on two
// threads (ConvertPipeline.h), counting degenerate frames. The report goes
// to `report`, and as JSON and an HTML page where asked for. Throws
// ReplayError or SessionError for every problem with the input, the
// options or the output; writes no report then, and leaves no page.
void replaySession(const ReplayOptions& options, std::ostream& report);

}  // namespace replay
