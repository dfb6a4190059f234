// How well the calibration frame suits heading-only calibrations, from the
// quality records the calibrator returned.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "SessionCalibrator.h"
#include "SessionTypes.h"
#include "Rotations.h"

namespace replay {

struct HandTilt {
    double source = 0.0;  // tilt of the glove's source row, radians
    double target = 0.0;  // tilt of the wrist tracker, radians
};

struct HeadingEstimate {
    std::string name;      // "tracker line", "right tracker forward", ...
    double heading = 0.0;  // frame heading it gives, radians
};

struct CalibrationQuality {
    std::array<std::optional<HandTilt>, 2> tilt;  // per Side, when glove and tracker exist
    std::optional<Vector3> trackerOffset;  // right minus left tracker position
    std::vector<HeadingEstimate> headings;
    double largestDisagreement = 0.0;  // between any two headings, radians
    std::vector<std::string> problems;  // degenerate inputs of the calibration
};

// The tilt that a heading-only calibration ignores and the frame heading
// each possible source would give (tracker line, each tracker's forward
// axis, the headset's heading), as the calibrations measured them; the
// separation of the hands; and inputs of `frame` that are NaN, zero or
// rolled onto their side (no heading).
CalibrationQuality assessCalibrationFrame(const Frame& frame, const SessionLayout& layout, std::size_t sourceRow,
                                          const CalibrationResult& result);

}  // namespace replay
