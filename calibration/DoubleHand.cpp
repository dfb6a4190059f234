#include "calibration/DoubleHand.h"

#include <cmath>

#include "calibration/CalibrationState.h"
#include "calibration/Heading.h"
#include "calibration/RowTransforms.h"

namespace tarn {

namespace {

constexpr double kHorizontalTolerance = 0.001;

}  // namespace

bool handsTooClose(double dx, double dy)
{
    return std::fabs(dx) < kHorizontalTolerance && std::fabs(dy) < kHorizontalTolerance;
}

bool calibrateDoubleHand(DoubleHandState& state, const double* position1, const double* position2)
{
    const MatFunc p1(position1, 3);
    const MatFunc p2(position2, 3);
    const MatFunc d = p1 - p2;
    if (handsTooClose(d.data[0], d.data[1])) {
        state.DoubleHandCalibrated = false;
        return false;
    }
    state.DoubleHandCenter = (p1 + p2) * 0.5;
    state.DoubleHandRotation = headingQuaternion(std::atan2(d.data[1], d.data[0]));
    state.DoubleHandCalibrated = true;
    return true;
}

void applyDoubleHandCalibration(const DoubleHandState& s, double* hand1, double* hand2, double* position1,
                                double* position2)
{
    if (!s.DoubleHandCalibrated) return;

    moveIntoFrame(position1, s.DoubleHandCenter, s.DoubleHandRotation.cbn());
    moveIntoFrame(position2, s.DoubleHandCenter, s.DoubleHandRotation.cbn());
    turnQuaternions(hand1, 20, s.DoubleHandRotation.leftProductMatrix());
    turnQuaternions(hand2, 20, s.DoubleHandRotation.leftProductMatrix());
}

void resetDoubleHandCalibration(DoubleHandState& s)
{
    s.DoubleHandRotation = identityQuaternion();
    s.DoubleHandCenter = zeroPosition();
    s.DoubleHandCalibrated = false;
}

}  // namespace tarn
