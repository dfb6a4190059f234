#include "calibration/CalibrationState.h"

namespace tarn {

MatFunc identityQuaternion() { return MatFunc({1.0, 0.0, 0.0, 0.0}, 1, 4); }

MatFunc zeroPosition() { return MatFunc({0.0, 0.0, 0.0}, 1, 3); }


}  // namespace tarn
