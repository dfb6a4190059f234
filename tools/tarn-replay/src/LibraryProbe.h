// Reads calibration results back out of the library. The library keeps its
// calibrations private; the Get exports only transform the arrays passed to
// them, so converting probe values (never session data) shows what is in
// force without changing anything.
#pragma once

#include "Frame.h"
#include "Rotation.h"

// A frame as the library applies it: positions are made relative to
// `origin` and turned by -heading about Z.
struct ProbedFrame {
    double heading = 0.0;  // radians
    Vec3 origin{};
};

// Turn about Z that GetCalculationData<R|L>Hand applies to every row
// (radians, in (-pi, pi]), from a row holding the identity quaternion.
double probeHandTurn(Hand hand);

// The All-VR frame, from two probe positions converted through the pose
// output of `covered`, a device that the last All-VR calibration covered.
ProbedFrame probeAllVRFrame(Device covered);

// The double-hand frame; only meaningful while a double-hand calibration is
// in force.
ProbedFrame probeDoubleHandFrame();
