#include "calibration/DriftSettings.h"

#include <cmath>

namespace tarn {

namespace {

// Whether low < value <= high (open below) or low <= value <= high.
bool within(double value, double low, double high, bool openBelow)
{
    return (openBelow ? value > low : value >= low) && value <= high;
}

}  // namespace

DriftSetting outOfRange(const DriftSettings& s)
{
    using S = DriftSettings;
    if (s.referenceRow < 0 || s.referenceRow >= S::kRows) return DriftSetting::ReferenceRow;
    if (!within(s.threshold, 0.0, S::kLargestThreshold, true)) return DriftSetting::Threshold;
    if (!within(s.holdTime, 0.0, S::kLongestTime, false)) return DriftSetting::HoldTime;
    if (!within(s.stillSpeed, 0.0, S::kFastestStill, true)) return DriftSetting::StillSpeed;
    if (!within(s.stillTime, 0.0, S::kLongestTime, false)) return DriftSetting::StillTime;
    if (!within(s.window, S::kShortestWindow, S::kLongestWindow, false)) return DriftSetting::Window;
    if (s.autoRecalibrate > 1) return DriftSetting::AutoRecalibrate;
    if (s.compensate > 1) return DriftSetting::Compensate;
    if (!(s.compensateWithin > 0.0 && std::isfinite(s.compensateWithin))) return DriftSetting::CompensateWithin;
    return DriftSetting::None;
}

}  // namespace tarn
