#pragma once
#include "calibration/CalibrationState.h"
// Single-hand calibration: a heading offset per hand that turns the 20
// quaternions of that hand's data block about the world Z axis.

namespace tarn {

enum class Hand { Right, Left };

// Offset = S' (x) conj(T'), S' the heading-only quaternion of source and T'
// that of target turned a further quarter turn (+90 degrees right, -90
// left). source, target: 4 doubles [w, x, y, z]. Replaces the hand's offset.
void calibrateHand(SingleHandState& state, Hand hand, const double* source, const double* target);

// Replaces every row h of the 20 x 4 block handData (80 doubles) by
// conj(Offset) (x) h.
void applyHandCalibration(const SingleHandState& state, Hand hand, double* handData);

// Turns the hand's calibration so that its rows come out turned a further
// `angle` radians about Z: Offset becomes Offset (x) [cos(angle/2), 0, 0,
// -sin(angle/2)].
void turnHandCalibration(SingleHandState& state, Hand hand, double angle);

// Sets the hand's calibration so that its rows come out turned by `turn`
// radians about Z: Offset becomes the heading quaternion of -turn.
void setHandTurn(SingleHandState& state, Hand hand, double turn);

// The hand's offset.
const PrecomputedRotation& handOffset(const SingleHandState& state, Hand hand);

// Both offsets back to the identity.
void resetHandCalibrations(SingleHandState& state);

}  // namespace tarn
