#pragma once
#include "calibration/CalibrationState.h"
// All-VR calibration: one frame (heading about Z and an origin on the floor)
// for the right wrist tracker, the left wrist tracker and the headset, and
// the conversion of later device poses into that frame.

namespace tarn {

// One wrist tracker's part of a calibration call.
struct TrackerInput {
    bool on;
    const double* position;   // 3 doubles
    const double* position2;  // 3 doubles: forward runs from here to position
    const double* quaternion; // 4 doubles
    const double* quaternion2;// 4 doubles or null; only its presence matters
};

// The headset's part of a calibration call.
struct HeadsetInput {
    bool on;
    const double* position;   // 3 doubles
    const double* quaternion; // 4 doubles
};

// Whether two trackers at these horizontal offsets (right minus left) are
// too close to give a line: neither |dx| nor |dy| above 0.001 (NaN is too
// close). The calibration then leaves the frame alone and covers neither
// tracker.
bool trackersTooClose(double dx, double dy);

// Whether a second quaternion counts as supplied: not null and some
// component of magnitude 1e-8 or more (NaN counts). Without one from either
// tracker, a headset that is on decides the frame.
bool isSupplied(const double* quaternion);

// What decided the frame of a calibration: the line between both trackers,
// where a tracker alone points, the headset, or nothing (the frame kept its
// earlier values).
enum class FrameDecider { Nothing, TrackerLine, RightTracker, LeftTracker, Headset };

// Runs one calibration and says what decided the frame. replaceOrigin: the
// new origin replaces the stored one, otherwise it is added to it. Arrays
// of devices that are off are not read. (The exports return true whatever
// decided.)
FrameDecider calibrateAllVR(AllVRCalibrationState& state, const TrackerInput& right, const TrackerInput& left,
                    const HeadsetInput& headset, bool replaceOrigin);

enum class VRDevice { RightTracker, LeftTracker, Headset };

// Converts one device pose in place: position (3 doubles) relative to the
// frame origin and turned by minus the frame heading; quaternion (4 doubles)
// with the device's heading at calibration taken out. Does nothing (reads
// nothing) when the last calibration did not cover the device.
void convertVRPose(const AllVRCalibrationState& state, VRDevice device, double* position, double* quaternion);

}  // namespace tarn
