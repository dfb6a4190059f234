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

// Runs one calibration. replaceOrigin: the new origin replaces the stored
// one, otherwise it is added to it. Arrays of devices that are off are not
// read. Always returns true.
bool calibrateAllVR(AllVRCalibrationState& state, const TrackerInput& right, const TrackerInput& left,
                    const HeadsetInput& headset, bool replaceOrigin);

enum class VRDevice { RightTracker, LeftTracker, Headset };

// Converts one device pose in place: position (3 doubles) relative to the
// frame origin and turned by minus the frame heading; quaternion (4 doubles)
// with the device's heading at calibration taken out. Does nothing (reads
// nothing) when the last calibration did not cover the device.
void convertVRPose(const AllVRCalibrationState& state, VRDevice device, double* position, double* quaternion);

}  // namespace tarn
