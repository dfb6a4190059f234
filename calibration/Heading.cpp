#include "calibration/Heading.h"

namespace tarn {

MatFunc headingQuaternion(double psi) { return MatFunc({0.0, 0.0, psi}, 1, 3).SY("ZYX"); }

double headingAngle(const MatFunc& q) { return q.AttitudeAngle("ZYX").data[2]; }

MatFunc headingOnlyQuaternion(const MatFunc& q) { return headingQuaternion(headingAngle(q)); }

}  // namespace tarn
