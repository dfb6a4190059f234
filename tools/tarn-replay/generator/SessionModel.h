// The person of the sample session: a known body motion, the devices worn
// on it, and what a correct calibration makes of their recordings.
//
// Room frame: the All-VR frame of the calibration pose (+x from the left
// wrist to the right one, +y forward, origin on the floor below the midpoint
// of the wrists, Z up). The person is modelled in this frame; the recording
// sees it through an unknown heading and origin of the tracking space, and
// each glove reports in a reference of its own, turned about Z.
//
// At t = 0 the person stands in the calibration pose: wrists 0.4 apart,
// 0.3 in front of the body at height 1.0, trackers worn with a small heading
// mount error and tilt, the headset looking a little aside. From 0.5 s on
// the person turns left by 70 degrees and walks, the arms swing and the
// fingers curl.
#pragma once

#include <array>

#include "SessionTypes.h"
#include "Rotations.h"

namespace replay {

constexpr double kSampleRate = 90.0;      // frames per second
constexpr std::size_t kSampleFrames = 360;  // 4 seconds

// The quantities a calibration has to recover, all in the tracking space.
struct GroundTruth {
    double frameHeading = radians(178.5);     // heading of the room frame
    Vector3 frameOrigin{2.35, -1.20, 0.0};       // origin of the room frame
    std::array<double, 2> gloveReference{radians(71.0), radians(-28.0)};  // per Side: glove reference heading
    std::array<double, 2> trackerMount{radians(4.0), radians(-3.0)};      // per Side: tracker heading error
    std::array<double, 2> trackerTilt{radians(3.0), radians(-2.0)};       // per Side, about the tracker's x
    std::array<double, 2> sourceTilt{radians(10.0), radians(12.0)};       // per Side: glove row 0 at t = 0
    double headsetYaw = radians(2.0);         // headset heading at t = 0, room frame
    double headsetNod = radians(-5.0);
    double wristHalfSpan = 0.2;
    double wristReach = 0.3;
    double wristHeight = 1.0;
};

// One frame of the sample: what the devices record, and the output a
// correct replay (single-hand gloves, All-VR devices from the tracker line)
// must give:
//  - glove rows: the hand bones' orientations in the tracking space (the
//    glove's reference heading taken out; each glove is worn so that its
//    row 0 points a quarter turn inwards of its tracker's forward, the pose
//    the single-hand calibration assumes);
//  - device positions: the room-frame positions;
//  - device orientations: the tracking-space orientation with the device's
//    heading at t = 0 taken out.
// Headings enter quaternions as angles in (-180, 180] degrees, as the
// library's heading quaternions do, which fixes the sign of each result.
struct SampleFrame {
    Frame recorded;
    Frame calibrated;
};

SampleFrame sampleFrame(const GroundTruth& truth, double time);

}  // namespace replay
