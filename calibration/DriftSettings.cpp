#include "calibration/DriftSettings.h"

#include <cmath>

namespace tarn {

namespace {

bool positiveFinite(double value) { return std::isfinite(value) && value > 0.0; }
bool notNegativeFinite(double value) { return std::isfinite(value) && value >= 0.0; }

}  // namespace

bool validDriftSettings(const DriftSettings& s)
{
    return s.referenceRow >= 0 && s.referenceRow < DriftSettings::kRows && positiveFinite(s.threshold) &&
           notNegativeFinite(s.holdTime) && positiveFinite(s.stillSpeed) && notNegativeFinite(s.stillTime) &&
           s.window >= DriftSettings::kShortestWindow && s.window <= DriftSettings::kLongestWindow &&
           s.autoRecalibrate <= 1 && s.compensate <= 1 && positiveFinite(s.compensateWithin);
}

}  // namespace tarn
