#pragma once
// Headings: rotations about the vertical Z axis, shared by every
// calibration family. Angles in radians, rotation order "ZYX".
#include "matrix/MatFunc.h"

namespace tarn {

// The heading quaternion of psi: SY of (0, 0, psi), i.e.
// [cos(psi/2), 0, 0, sin(psi/2)].
MatFunc headingQuaternion(double psi);

// The angle about Z of quaternion q (a 1 x 4 row, any length): the Z column
// of AttitudeAngle. A zero quaternion gives NaN.
double headingAngle(const MatFunc& q);

// The heading-only quaternion of q: q with its pitch and roll removed, the
// rotation about Z by headingAngle(q).
MatFunc headingOnlyQuaternion(const MatFunc& q);

}  // namespace tarn
