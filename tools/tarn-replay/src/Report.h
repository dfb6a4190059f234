// The calibration report that tarn-replay prints on standard error.
#pragma once

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "CalibrationQuality.h"
#include "SessionCalibrator.h"
#include "SessionTypes.h"
#include "SessionScan.h"

namespace replay {

struct ReportInput {
    const std::string& sessionPath;
    const SessionLayout& layout;
    const SessionScan& scan;
    long calibrationLine;     // line of the calibration frame in the file
    double calibrationTime;   // its time, seconds
    const CalibrationSettings& settings;
    const CalibrationResult& result;
    const CalibrationQuality& quality;
    const std::vector<OtherColumn>& otherColumns;
    const std::vector<std::string>& warnings;  // the session reader's, about the header
    const std::array<DriftResult, 2>& drift;  // indexed by Side
};

// Writes the report: the session, each calibration's outcome with the
// values read back from the library (degrees, tracking units), what fills
// the output, the quality section, and each glove's drift.
void writeReport(std::ostream& out, const ReportInput& input);

// The same report as one JSON object, for scripts that replay many
// recordings: angles in degrees, positions in tracking units, absent values
// as null. docs/session-format.md lists its fields.
nlohmann::json jsonReport(const ReportInput& input);
void writeJsonReport(std::ostream& out, const ReportInput& input);

}  // namespace replay
