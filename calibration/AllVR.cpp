#include "calibration/AllVR.h"

#include <cmath>

#include "calibration/CalibrationState.h"
#include "calibration/Heading.h"
#include "calibration/RowTransforms.h"

namespace tarn {

namespace {

constexpr double kTrackerSeparation = 0.001;  // both trackers: minimum horizontal gap
constexpr double kPresenceThreshold = 1e-8;   // second quaternion counts as supplied
constexpr double kWristToCenter = 0.2;        // single tracker: wrist to body centre
constexpr double kHeadsetToCenter = 0.5;      // headset: forward to body centre

// Moves the origin to `centre` (or adds `centre` to it), then drops it onto
// the floor.
void placeOrigin(AllVRCalibrationState& s, const MatFunc& centre, bool replaceOrigin)
{
    s.frameOrigin = replaceOrigin ? centre : s.frameOrigin + centre;
    s.frameOrigin.data[2] = 0.0;
}

// Origin at a body-frame offset (x, y, 0) from a device position, turned by
// the frame heading; the sum is grouped (origin + offset) + position.
void placeOriginNear(AllVRCalibrationState& s, double x, double y, const double* position, bool replaceOrigin)
{
    const MatFunc offset = MatFunc({x, y, 0.0}, 1, 3) * s.frameHeading.cbn().transpose();
    const MatFunc devicePosition(position, 3);
    s.frameOrigin = replaceOrigin ? offset + devicePosition : (s.frameOrigin + offset) + devicePosition;
    s.frameOrigin.data[2] = 0.0;
}

bool calibrateFromBothTrackers(AllVRCalibrationState& s, const TrackerInput& right, const TrackerInput& left,
                               bool replaceOrigin)
{
    const MatFunc r(right.position, 3);
    const MatFunc l(left.position, 3);
    const MatFunc d = r - l;
    if (trackersTooClose(d.data[0], d.data[1])) return false;
    placeOrigin(s, (r + l) * 0.5, replaceOrigin);
    s.frameHeading = headingQuaternion(std::atan2(d.data[1], d.data[0]));
    s.rTrackerCalibrated = true;
    s.lTrackerCalibrated = true;
    s.rTrackerHeading = headingOnlyQuaternion(MatFunc(right.quaternion, 4));
    s.lTrackerHeading = headingOnlyQuaternion(MatFunc(left.quaternion, 4));
    return true;
}

// One tracker alone: forward (+y) runs from position2 to position; the
// origin lies `sideOffset` along the frame's x axis from the tracker.
void calibrateFromOneTracker(AllVRCalibrationState& s, const TrackerInput& tracker, double sideOffset,
                             bool& calibrated, PrecomputedRotation& heading, bool replaceOrigin)
{
    calibrated = true;
    const MatFunc d = MatFunc(tracker.position, 3) - MatFunc(tracker.position2, 3);
    s.frameHeading = headingQuaternion(std::atan2(-d.data[0], d.data[1]));
    placeOriginNear(s, sideOffset, 0.0, tracker.position, replaceOrigin);
    heading = headingOnlyQuaternion(MatFunc(tracker.quaternion, 4));
}

}  // namespace

bool trackersTooClose(double dx, double dy)
{
    return !(std::fabs(dx) > kTrackerSeparation || std::fabs(dy) > kTrackerSeparation);
}

bool isSupplied(const double* quaternion)
{
    if (quaternion == nullptr) return false;
    for (int k = 0; k < 4; ++k)
        if (!(std::fabs(quaternion[k]) < kPresenceThreshold)) return true;
    return false;
}

FrameDecider calibrateAllVR(AllVRCalibrationState& s, const TrackerInput& right, const TrackerInput& left,
                    const HeadsetInput& headset, bool replaceOrigin)
{
    s.rTrackerQuat2Supplied = isSupplied(right.quaternion2);
    s.lTrackerQuat2Supplied = isSupplied(left.quaternion2);

    s.vrGlassesCalibrated = headset.on;
    if (headset.on) s.vrGlassesHeading = headingOnlyQuaternion(MatFunc(headset.quaternion, 4));

    s.rTrackerCalibrated = false;
    s.lTrackerCalibrated = false;
    FrameDecider decider = FrameDecider::Nothing;
    if (right.on && left.on) {
        if (calibrateFromBothTrackers(s, right, left, replaceOrigin)) decider = FrameDecider::TrackerLine;
    } else if (right.on) {
        calibrateFromOneTracker(s, right, -kWristToCenter, s.rTrackerCalibrated, s.rTrackerHeading, replaceOrigin);
        decider = FrameDecider::RightTracker;
    } else if (left.on) {
        calibrateFromOneTracker(s, left, kWristToCenter, s.lTrackerCalibrated, s.lTrackerHeading, replaceOrigin);
        decider = FrameDecider::LeftTracker;
    }

    // Without either second quaternion the headset decides the frame.
    if (!s.rTrackerQuat2Supplied && !s.lTrackerQuat2Supplied && s.vrGlassesCalibrated) {
        s.frameHeading = s.vrGlassesHeading;
        placeOriginNear(s, 0.0, kHeadsetToCenter, headset.position, replaceOrigin);
        decider = FrameDecider::Headset;
    }
    return decider;
}

void convertVRPose(const AllVRCalibrationState& s, VRDevice device, double* position, double* quaternion)
{
    bool calibrated = false;
    const PrecomputedRotation* heading = nullptr;
    switch (device) {
    case VRDevice::RightTracker: calibrated = s.rTrackerCalibrated; heading = &s.rTrackerHeading; break;
    case VRDevice::LeftTracker: calibrated = s.lTrackerCalibrated; heading = &s.lTrackerHeading; break;
    case VRDevice::Headset: calibrated = s.vrGlassesCalibrated; heading = &s.vrGlassesHeading; break;
    }
    if (!calibrated) return;

    moveIntoFrame(position, s.frameOrigin, s.frameHeading.cbn());
    turnQuaternion(quaternion, heading->leftProductMatrix());
}

}  // namespace tarn
