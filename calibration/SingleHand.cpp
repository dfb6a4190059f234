#include "calibration/SingleHand.h"

#include <cmath>

#include "calibration/CalibrationState.h"
#include "calibration/Heading.h"
#include "attitude/Attitude.h"
#include "calibration/RowTransforms.h"

namespace tarn {

namespace {

template <class State>
auto& offsetOf(State& state, Hand hand)
{
    return hand == Hand::Right ? state.RHandOffset : state.LHandOffset;
}

}  // namespace

void calibrateHand(SingleHandState& state, Hand hand, const double* source, const double* target)
{
    const double quarterTurn = kPi * 0.5;
    const MatFunc sourceHeading = headingOnlyQuaternion(MatFunc(source, 4));
    const double targetAngle = headingAngle(MatFunc(target, 4));
    const MatFunc targetHeading =
        headingQuaternion(hand == Hand::Right ? targetAngle + quarterTurn : targetAngle - quarterTurn);
    offsetOf(state, hand) = sourceHeading * targetHeading.w_matrix_function(1);
}

void applyHandCalibration(const SingleHandState& state, Hand hand, double* handData)
{
    turnQuaternions(handData, 20, offsetOf(state, hand).leftProductMatrix());
}

void turnHandCalibration(SingleHandState& state, Hand hand, double angle)
{
    const Quaternion turned = product(quaternionAt(offsetOf(state, hand).quaternion().data.data()), aboutZ(-angle));
    offsetOf(state, hand) = MatFunc(turned.data(), 4);
}

void setHandTurn(SingleHandState& state, Hand hand, double turn) { offsetOf(state, hand) = headingQuaternion(-turn); }

const PrecomputedRotation& handOffset(const SingleHandState& state, Hand hand) { return offsetOf(state, hand); }

void resetHandCalibrations(SingleHandState& state)
{
    state.RHandOffset = identityQuaternion();
    state.LHandOffset = identityQuaternion();
}

}  // namespace tarn
