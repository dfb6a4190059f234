#pragma once
// The calibration state: the three families' calibrations as one object.
// The 16 exports keep one instance per process (api/ProcessState.h); each
// calibrator of the integrator API holds its own. The families are members
// of one structure so that they are constructed in a defined order
// (All-VR, double hand, single hand) and destroyed in the reverse order.
// Each family's source file reads and writes only its own member.
#include "calibration/PrecomputedRotation.h"
#include "matrix/MatFunc.h"

namespace tarn {

// The identity rotation [1, 0, 0, 0] as a 1 x 4 quaternion.
MatFunc identityQuaternion();
// The point [0, 0, 0] as a 1 x 3 row.
MatFunc zeroPosition();

// All-VR calibration (AllVR.cpp).
struct AllVRCalibrationState {
    PrecomputedRotation frameHeading = identityQuaternion();  // heading quaternion of the frame
    MatFunc frameOrigin = zeroPosition();                     // origin on the floor, z = 0
    PrecomputedRotation rTrackerHeading;   // heading-only quaternion of each device at
    PrecomputedRotation lTrackerHeading;   // calibration; 1 x 4 once set, read only
    PrecomputedRotation vrGlassesHeading;  // while the matching flag is true
    bool rTrackerCalibrated = false;
    bool lTrackerCalibrated = false;
    bool vrGlassesCalibrated = false;
    bool rTrackerQuat2Supplied = false;
    bool lTrackerQuat2Supplied = false;
};

// Double-hand calibration (DoubleHand.cpp).
struct DoubleHandState {
    PrecomputedRotation DoubleHandRotation = identityQuaternion();  // rotation about Z by the frame heading
    MatFunc DoubleHandCenter = zeroPosition();                      // midpoint of the two positions
    bool DoubleHandCalibrated = false;
};

// Single-hand calibration (SingleHand.cpp).
struct SingleHandState {
    PrecomputedRotation RHandOffset = identityQuaternion();
    PrecomputedRotation LHandOffset = identityQuaternion();
};

struct CalibrationState {
    AllVRCalibrationState allVR;
    DoubleHandState doubleHand;
    SingleHandState singleHand;
};

}  // namespace tarn
