#pragma once
// A drift monitor's settings (include/TarnCalibrator.h gives their
// defaults and meaning to hosts) and the one rule that says which are
// valid. Times in seconds, angles in radians.
#include "attitude/Attitude.h"

namespace tarn {

struct DriftSettings {
    // The window's bounds: at least the span compensation needs.
    static constexpr double kShortestWindow = 30.0, kLongestWindow = 3600.0;
    // Beyond these no setting means anything: a drift threshold beyond a
    // quarter turn, a hand turning faster than two turns a second while
    // still, an hour's hold or stillness.
    static constexpr double kLargestThreshold = 90 * kDegree, kFastestStill = 720 * kDegree, kLongestTime = 3600.0;
    static constexpr int kRows = 20;

    int referenceRow = 0;              // glove row compared with the tracker, 0-19
    double threshold = 5 * kDegree;
    double holdTime = 3.0;             // the trend residual beyond `threshold` this long raises the flag
    double stillSpeed = 15 * kDegree;  // a second
    double stillTime = 1.0;            // glove and tracker slower than `stillSpeed` this long: still
    double window = 300.0;             // seconds of bins the rate is fitted over
    unsigned autoRecalibrate = 0;      // 0 or 1: re-calibrate while the flag is up and the hand still
    unsigned compensate = 0;           // 0 or 1: turn the calibration by the fitted drift
    // Compensation starts once the fitted drift is known to within this: the
    // rate's standard error times the span it was fitted over.
    double compensateWithin = 2.5 * kDegree;
};

// The first setting out of range, in the order of the fields: a row
// 0-19; a threshold above 0 and at most kLargestThreshold; hold and still
// times 0 to kLongestTime; a still speed above 0 and at most kFastestStill;
// a window of kShortestWindow to kLongestWindow; flags 0 or 1;
// compensateWithin positive and finite. NaN is out of every range.
enum class DriftSetting { None, ReferenceRow, Threshold, HoldTime, StillSpeed, StillTime, Window, AutoRecalibrate,
                          Compensate, CompensateWithin };
DriftSetting outOfRange(const DriftSettings& settings);
inline bool validDriftSettings(const DriftSettings& settings) { return outOfRange(settings) == DriftSetting::None; }

}  // namespace tarn
