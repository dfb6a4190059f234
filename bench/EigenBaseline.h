#pragma once
// The math of the per-frame exports written with Eigen's fixed-size types:
// the baseline each Get export is measured against. Quaternions are rows
// [w, x, y, z], positions rows [x, y, z], as in the library. The calibration
// functions run once, outside the timed loops, and, like the library, keep
// the matrices each frame applies; the apply functions do per call what the
// matching export does and are compiled out of line, so a baseline call
// costs a function call as an export call does.
#include <Eigen/Core>

namespace eigen_baseline {

using Quaternion = Eigen::Matrix<double, 1, 4>;
using Position = Eigen::Matrix<double, 1, 3>;
using Matrix3 = Eigen::Matrix<double, 3, 3, Eigen::RowMajor>;
using Matrix4 = Eigen::Matrix<double, 4, 4, Eigen::RowMajor>;

// A stored rotation q as the frames use it: a row position times cbn is
// turned by conj(q); a row quaternion p times leftProduct is conj(q) (x) p.
struct Rotation {
    Matrix3 cbn;
    Matrix4 leftProduct;
};

enum class Hand { Right, Left };

// The heading offset of InitialRHand / InitialLHand.
Rotation handOffset(Hand hand, const double* source, const double* target);
// GetCalculationData{R,L}Hand: the 20 quaternions of handData turned by the offset.
void applyHandOffset(const Rotation& offset, double* handData);

struct DoubleHandFrame {
    Rotation rotation;
    Position center;
};
// InitialDoubleCalibration with two positions it accepts.
DoubleHandFrame doubleHandFrame(const double* position1, const double* position2);
// GetDoubleHandCalibrationData.
void applyDoubleHandFrame(const DoubleHandFrame& frame, double* hand1, double* hand2, double* position1,
                          double* position2);

struct AllVRFrame {
    Rotation heading;
    Position origin;
    Rotation rightTrackerHeading;
    Rotation leftTrackerHeading;
    Rotation headsetHeading;
};
// InitialAllVRCalibration with both trackers on, far enough apart, a second
// quaternion supplied (so the trackers decide the frame) and the headset on.
AllVRFrame allVRFrameFromTrackers(const double* rightPosition, const double* rightQuaternion,
                                  const double* leftPosition, const double* leftQuaternion,
                                  const double* headsetQuaternion);
// One device of GetAllRTracker / GetAllLTracker / GetAllVRGlasses.
void convertPose(const AllVRFrame& frame, const Rotation& deviceHeading, double* position, double* quaternion);

}  // namespace eigen_baseline
