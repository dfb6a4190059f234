#pragma once
#include "calibration/CalibrationState.h"
// Double-hand calibration: a frame for both hands from their two positions.
// Origin: the midpoint; X axis: horizontal, from position2 to position1;
// Z: vertical.

namespace tarn {

// The refusal rule: both horizontal components of position1 - position2
// (dx, dy) below 0.001 in absolute value. NaN is not refused.
bool handsTooClose(double dx, double dy);

// Positions: 3 doubles each. Refuses (returns false, leaves the family
// uncalibrated) when both horizontal components of position1 - position2 are
// below 0.001 in absolute value; a NaN component is not refused.
bool calibrateDoubleHand(DoubleHandState& state, const double* position1, const double* position2);

// Re-expresses positions (3 doubles each) and hand blocks (80 doubles each)
// in the frame, in place. Writes nothing while uncalibrated.
void applyDoubleHandCalibration(const DoubleHandState& state, double* hand1, double* hand2, double* position1,
                                double* position2);

// Back to the state at load.
void resetDoubleHandCalibration(DoubleHandState& state);

}  // namespace tarn
