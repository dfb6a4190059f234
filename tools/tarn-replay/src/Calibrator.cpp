#include "Calibrator.h"

#include <cmath>

#include "DevicePoseExport.h"
#include "Rotation.h"
#include "TarnHandCalibrationSDK.h"

namespace {

constexpr double kHorizontalTolerance = 0.001;  // both the double-hand and All-VR limit
constexpr double kSuppliedThreshold = 1e-8;     // a second quaternion counts from here

Device trackerOf(Hand hand)
{
    return hand == Hand::Right ? Device::RightTracker : Device::LeftTracker;
}

// The library's test for a supplied second quaternion.
bool countsAsSupplied(const Quat& q)
{
    for (const double c : q) {
        if (!(std::fabs(c) < kSuppliedThreshold)) {
            return true;
        }
    }
    return false;
}

bool closeHorizontally(const Vec3& a, const Vec3& b)
{
    return !(std::fabs(a[0] - b[0]) > kHorizontalTolerance || std::fabs(a[1] - b[1]) > kHorizontalTolerance);
}

// One unit behind the tracker along its own forward (+y) axis.
Vec3 pointBehind(const Pose& tracker)
{
    const Vec3 forward = rotate(tracker.orientation, {0.0, 1.0, 0.0});
    return {tracker.position[0] - forward[0], tracker.position[1] - forward[1], tracker.position[2] - forward[2]};
}

}  // namespace

Calibrator::Calibrator(const SessionLayout& layout, const CalibrationSettings& settings)
    : layout_(layout), settings_(settings)
{
}

CalibrationResult Calibrator::calibrate(const Frame& frame)
{
    result_.hand[index(Hand::Right)] = calibrateHand(Hand::Right, frame);
    result_.hand[index(Hand::Left)] = calibrateHand(Hand::Left, frame);
    result_.doubleHand = calibrateBothHands(frame);
    result_.allVR = calibrateAllVR(frame);
    return result_;
}

HandResult Calibrator::calibrateHand(Hand hand, const Frame& frame) const
{
    HandResult result;
    if (!layout_.has(hand)) {
        result.reason = "no " + handName(hand) + " columns";
        return result;
    }
    const Device tracker = trackerOf(hand);
    if (!layout_.has(tracker)) {
        result.reason = "no " + deviceName(tracker) + " to take the target heading from";
        return result;
    }
    const double* source = frame.glove[index(hand)].data() + 4 * settings_.sourceRow;
    const double* target = frame.device[index(tracker)].orientation.data();
    if (hand == Hand::Right) {
        InitialRHand(source, target);
    } else {
        InitialLHand(source, target);
    }
    result.calibrated = true;
    result.turn = probeHandTurn(hand);
    return result;
}

DoubleHandResult Calibrator::calibrateBothHands(const Frame& frame) const
{
    DoubleHandResult result;
    if (!layout_.has(Device::RightTracker) || !layout_.has(Device::LeftTracker)) {
        result.reason = "needs both wrist trackers for the hand positions";
        return result;
    }
    const Vec3& right = frame.device[index(Device::RightTracker)].position;
    const Vec3& left = frame.device[index(Device::LeftTracker)].position;
    result.attempted = true;
    result.accepted = InitialDoubleCalibration(right.data(), left.data());
    if (result.accepted) {
        result.frame = probeDoubleHandFrame();
    } else {
        result.reason = "hands too close horizontally (closer than 0.001 along both x and y)";
    }
    return result;
}

AllVRResult Calibrator::calibrateAllVR(const Frame& frame) const
{
    AllVRResult result;
    const bool rOn = layout_.has(Device::RightTracker);
    const bool lOn = layout_.has(Device::LeftTracker);
    const bool headsetOn = layout_.has(Device::Headset);
    if (!rOn && !lOn && !headsetOn) {
        result.decidedBy = "nothing: no tracker or headset columns";
        return result;
    }
    const Pose& r = frame.device[index(Device::RightTracker)];
    const Pose& l = frame.device[index(Device::LeftTracker)];
    const Pose& headset = frame.device[index(Device::Headset)];
    const Vec3 rBehind = pointBehind(r);
    const Vec3 lBehind = pointBehind(l);
    const bool passSecond = settings_.frameFrom == FrameSource::Trackers;
    const double* rQuat2 = passSecond && rOn ? r.orientation.data() : nullptr;
    const double* lQuat2 = passSecond && lOn ? l.orientation.data() : nullptr;

    InitialAllVRCalibration(rOn, r.position.data(), rBehind.data(), r.orientation.data(), rQuat2,
                            lOn, l.position.data(), lBehind.data(), l.orientation.data(), lQuat2,
                            headsetOn, headset.position.data(), headset.orientation.data());
    result.attempted = true;

    // Which devices the library covers and what decided the frame follow
    // the rules documented in the public header.
    const bool trackersTooClose = rOn && lOn && closeHorizontally(r.position, l.position);
    result.covered[index(Device::RightTracker)] = rOn && !trackersTooClose;
    result.covered[index(Device::LeftTracker)] = lOn && !trackersTooClose;
    result.covered[index(Device::Headset)] = headsetOn;
    if (trackersTooClose) {
        result.note = "trackers too close horizontally (within 0.001 along both x and y): neither is calibrated";
    }
    const bool secondSupplied = (rQuat2 && countsAsSupplied(r.orientation)) ||
                                (lQuat2 && countsAsSupplied(l.orientation));
    if (headsetOn && !secondSupplied) {
        result.decidedBy = "headset yaw (origin 0.5 in front of the headset)";
    } else if (rOn && lOn) {
        result.decidedBy = trackersTooClose ? "nothing: the frame keeps its earlier values"
                                            : "tracker line (origin below the trackers' midpoint)";
    } else if (rOn || lOn) {
        result.decidedBy = std::string(rOn ? "right" : "left") +
                           " tracker forward (origin 0.2 inwards of the tracker)";
    }
    for (const Device device : kDevices) {
        if (result.covered[index(device)]) {
            result.frame = probeAllVRFrame(device);
            break;
        }
    }
    return result;
}

void Calibrator::apply(Frame& frame) const
{
    if (settings_.hands == HandsOutput::Single) {
        if (result_.hand[index(Hand::Right)].calibrated) {
            GetCalculationDataRHand(frame.glove[index(Hand::Right)].data());
        }
        if (result_.hand[index(Hand::Left)].calibrated) {
            GetCalculationDataLHand(frame.glove[index(Hand::Left)].data());
        }
    } else if (result_.doubleHand.accepted) {
        // The hand positions come out in the double-hand frame; the device
        // columns take the All-VR poses instead, so these copies are dropped.
        // An absent glove's block is converted too but never written.
        Vec3 right = frame.device[index(Device::RightTracker)].position;
        Vec3 left = frame.device[index(Device::LeftTracker)].position;
        GetDoubleHandCalibrationData(frame.glove[index(Hand::Right)].data(), frame.glove[index(Hand::Left)].data(),
                                     right.data(), left.data());
    }
    for (const Device device : kDevices) {
        if (result_.allVR.covered[index(device)]) {
            Pose& pose = frame.device[index(device)];
            convertDevicePose(device, pose.position.data(), pose.orientation.data());
        }
    }
}
