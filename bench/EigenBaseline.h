#pragma once
// The math of the per-frame exports written with Eigen's fixed-size types:
// the baseline each Get export is measured against. Quaternions are rows
// [w, x, y, z], positions rows [x, y, z], as in the library. The calibration
// functions run once, outside the timed loops; the apply functions do per
// call what the matching export does and are compiled out of line, so a
// baseline call costs a function call as an export call does.
#include <Eigen/Core>

namespace eigen_baseline {

using Quaternion = Eigen::Matrix<double, 1, 4>;
using Position = Eigen::Matrix<double, 1, 3>;

enum class Hand { Right, Left };

// The heading offset of InitialRHand / InitialLHand.
Quaternion handOffset(Hand hand, const double* source, const double* target);
// GetCalculationData{R,L}Hand: the 20 quaternions of handData turned by the offset.
void applyHandOffset(const Quaternion& offset, double* handData);

struct DoubleHandFrame {
    Quaternion rotation;
    Position center;
};
// InitialDoubleCalibration with two positions it accepts.
DoubleHandFrame doubleHandFrame(const double* position1, const double* position2);
// GetDoubleHandCalibrationData.
void applyDoubleHandFrame(const DoubleHandFrame& frame, double* hand1, double* hand2, double* position1,
                          double* position2);

struct AllVRFrame {
    Quaternion heading;
    Position origin;
    Quaternion rightTrackerHeading;
    Quaternion leftTrackerHeading;
    Quaternion headsetHeading;
};
// InitialAllVRCalibration with both trackers on, far enough apart, a second
// quaternion supplied (so the trackers decide the frame) and the headset on.
AllVRFrame allVRFrameFromTrackers(const double* rightPosition, const double* rightQuaternion,
                                  const double* leftPosition, const double* leftQuaternion,
                                  const double* headsetQuaternion);
// One device of GetAllRTracker / GetAllLTracker / GetAllVRGlasses.
void convertPose(const AllVRFrame& frame, const Quaternion& deviceHeading, double* position, double* quaternion);

}  // namespace eigen_baseline
