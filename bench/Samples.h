#pragma once
// The inputs every benchmark works on: fixed calibration samples and a frame
// of device data (both hands, three device poses), the same on every run.

namespace samples {

// Single hand: source and target orientations.
extern const double kHandSource[4];
extern const double kHandTarget[4];
// Double hand: two positions far enough apart horizontally.
extern const double kPosition1[3];
extern const double kPosition2[3];
// All-VR: both trackers (the right one with a second quaternion, so the
// trackers decide the frame) and the headset.
extern const double kRightTrackerPosition[3];
extern const double kRightTrackerPosition2[3];
extern const double kRightTrackerQuaternion[4];
extern const double kRightTrackerQuaternion2[4];
extern const double kLeftTrackerPosition[3];
extern const double kLeftTrackerPosition2[3];
extern const double kLeftTrackerQuaternion[4];
extern const double kHeadsetPosition[3];
extern const double kHeadsetQuaternion[4];

// One frame of device data, read and overwritten by the Get exports.
struct Frame {
    double hand1[80];
    double hand2[80];
    double position1[3];
    double position2[3];
    double rightPosition[3];
    double rightQuaternion[4];
    double leftPosition[3];
    double leftQuaternion[4];
    double headsetPosition[3];
    double headsetQuaternion[4];
};

// A frame of unit quaternions and positions drawn from a fixed seed.
Frame frame();

// Every value of a and b agrees to 1e-12 of its magnitude (at least 1e-12).
bool agree(const Frame& a, const Frame& b);

}  // namespace samples
