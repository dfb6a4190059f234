// One generated session of wear (WearModel.h) calibrated two ways through
// the integrator API: from all its motion, and from its first frame as a
// single snapshot; each compared with the truth. The ground-truth tests
// and the accuracy benchmark share it.
#pragma once

#include "TarnCalibrator.h"
#include "WearModel.h"

namespace replay {

struct MotionTrial {
    tarn_status status;          // of the motion calibration
    tarn_motion_result result;
    double headingError;         // the solved heading offset less the truth, radians
    double mountError;           // the angle between the solved mount and the truth
    double strapTurnError;       // the solved strap turn less the truth
    double snapshotError;        // the snapshot calibration's heading error; NaN if refused
};

// Generates `seconds` of the session `truth` describes and calibrates it.
MotionTrial runMotionTrial(const WearTruth& truth, double seconds);

}  // namespace replay
