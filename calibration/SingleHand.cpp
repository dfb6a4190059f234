#include "calibration/SingleHand.h"

#include <cmath>

#include "calibration/CalibrationState.h"
#include "calibration/Heading.h"
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
    const double quarterTurn = std::acos(-1.0) * 0.5;
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
    const ElementBuffer& o = offsetOf(state, hand).quaternion().data;
    const double c = std::cos(angle / 2), s = -std::sin(angle / 2);
    const double turned[4] = {o[0] * c - o[3] * s, o[1] * c + o[2] * s, o[2] * c - o[1] * s, o[3] * c + o[0] * s};
    offsetOf(state, hand) = MatFunc(turned, 4);
}

void resetHandCalibrations(SingleHandState& state)
{
    state.RHandOffset = identityQuaternion();
    state.LHandOffset = identityQuaternion();
}

}  // namespace tarn
